// The colour rules editor.
#include "color/ui/frmcolordlg.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/cp1251input.h"
#include "color/colorgrid.h"
#include "color/coloritem.h"
#include "filter/ui/formulahighlighter.h"
#include "forms/ui/qtdialoghost.h"
#include "host/ui/qtcolor.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

enum TColumn { colType, colCaption, colOp, colValue, colFont, colBack, colCount };

// A 16 x 16 swatch: the colour inset by 1 pixel left and right and 2 top and bottom, framed in
// black when any component exceeds 192, else in the colour itself.
QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QRect rect(1, 2, 14, 12);
    painter.fillRect(rect, color);
    const bool light = color.red() > 192 || color.green() > 192 || color.blue() > 192;
    painter.setPen(light ? QColor(Qt::black) : color);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

std::string textOf(const QString& text) { return FromQString(text).value_or(std::string()); }

// A drop-down of a grid cell: as narrow as its column, whatever the longest entry.
QComboBox* cellCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(4);
    return combo;
}

} // namespace

TfrmColorDlg::TfrmColorDlg(TColorDlgModel& model, QWidget* parent)
    : TfrmPackRoot(parent), m_model(model), m_rules(new QTableWidget(this)), m_editor(new QPlainTextEdit(this))
{
    setObjectName("frmColorDlg");
    setWindowTitle(ToQString("Настройка цветов"_w));
    for (int i = 0; i < TColorGrid::GetColorCount(); ++i)
        m_swatches.push_back(swatch(ToQColor(TColorGrid::GetColor(i), palette())));

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(makeRules());
    split->addWidget(makeTemplates());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOk");
    QPushButton* cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    QPushButton* byDefault = buttons->addButton(ToQString("По &умолчанию"_w), QDialogButtonBox::ResetRole);
    byDefault->setObjectName("btnDefault");
    for (QPushButton* b : {ok, cancel, byDefault})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TfrmColorDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &TfrmColorDlg::reject);
    connect(byDefault, &QPushButton::clicked, this, [this] {
        if (!TColorDlgModel::ConfirmDefaults())
            return;
        m_defaults = true;
        TfrmPackRoot::accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    fillRows(0);
    m_pages->setCurrentIndex(0);
}

QWidget* TfrmColorDlg::makeRules()
{
    auto* left = new QWidget(this);
    auto* toolbar = new QToolBar(left);
    toolbar->setObjectName("tbActions");
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto addAction = [&](const char* name, const std::string& caption, auto slot) {
        QAction* a = toolbar->addAction(ToQString(caption));
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_addAction = addAction("actAddField", "Добавить"_w, [this] {
        if (!PostPending())
            return;
        const int row = m_model.AddFromTemplate(selectedTemplate());
        if (row >= 0)
            fillRows(row);
    });
    addAction("actAddExpr", "Добавить формулу"_w, [this] {
        if (PostPending())
            fillRows(m_model.AddFormula());
    });
    m_deleteAction = addAction("actDelete", "Удалить"_w, [this] {
        const int row = m_rules->currentRow();
        if (row < 0)
            return;
        m_pendingRow = -1;
        m_model.Delete(row);
        fillRows(std::min(row, m_model.RowCount() - 1));
    });
    toolbar->addSeparator();
    m_upAction = addAction("actUp", "Строку вверх"_w, [this] {
        if (PostPending())
            fillRows(m_model.Move(m_rules->currentRow(), -1));
    });
    m_downAction = addAction("actDown", "Строку вниз"_w, [this] {
        if (PostPending())
            fillRows(m_model.Move(m_rules->currentRow(), 1));
    });

    m_rules->setObjectName("grItems");
    m_rules->setColumnCount(colCount);
    m_rules->setHorizontalHeaderLabels({ToQString("Тип"_w), ToQString("Название"_w), ToQString("Операция"_w),
                                        ToQString("Значение"_w), ToQString("Шрифт"_w), ToQString("Фон"_w)});
    m_rules->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rules->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rules->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rules->verticalHeader()->hide();
    // Rows as high as the drop-downs they hold, swatches included.
    QComboBox probe(this);
    probe.addItem(m_swatches.front(), "clBlack");
    m_rules->verticalHeader()->setDefaultSectionSize(probe.minimumSizeHint().height() + 2);
    m_rules->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(m_rules, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous, int) { rowChanged(row, previous); });

    m_editor->setObjectName("Editor");
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(10);
    m_editor->setFont(mono);
    m_editor->setMinimumHeight(80);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    TCp1251Input::Install(m_editor);
    m_highlighter = new TFormulaHighlighter(m_editor->document());
    m_highlighter->Tokenizer().SetKeyList({"and", "not", "or", "null"});
    m_highlighter->Tokenizer().SetFieldList(m_model.FieldList());
    connect(m_editor, &QPlainTextEdit::textChanged, this, &TfrmColorDlg::formulaEdited);

    // The editor's menu: insert field, insert value, operations, logic, quotes, brackets, editing.
    auto* menu = new QMenu(this);
    QAction* insertField = menu->addAction(ToQString("Вставить поле"_w), this, [this] {
        if (TColorItem* t = selectedTemplate())
            insertIntoFormula("<" + TColorDlgModel::ReferenceText(*t) + ">");
    });
    insertField->setObjectName("actExprAddField");
    QAction* insertValue = menu->addAction(ToQString("Вставить значение"_w), this, [this] {
        if (!m_value->currentText().isEmpty())
            insertIntoFormula("'" + textOf(m_value->currentText()) + "'");
    });
    insertValue->setObjectName("actExprAddVal");
    QMenu* ops = menu->addMenu(ToQString("Операции"_w));
    QMenu* logic = menu->addMenu(ToQString("Логика"_w));
    for (const TColorDlgModel::TExprAction& action : TColorDlgModel::OperatorActions()) {
        const bool logical = !action.Hint.empty() && action.Hint != "= null ";
        (logical ? logic : ops)->addAction(ToQString(action.Caption), this,
                                           [this, &action] { insertIntoFormula(TColorDlgModel::OperatorText(action)); });
    }
    menu->addAction(ToQString("'Кавычки'"_w), this, [this] { wrapSelection("''"); })->setObjectName("actExprQuotes");
    menu->addAction(ToQString("(Скобки)"_w), this, [this] { wrapSelection("()"); })->setObjectName("actExprBrackets");
    QMenu* edit = menu->addMenu(ToQString("Редактировать"_w));
    edit->addAction(ToQString("Копировать"_w), QKeySequence::Copy, m_editor, &QPlainTextEdit::copy);
    edit->addAction(ToQString("Вырезать"_w), QKeySequence::Cut, m_editor, &QPlainTextEdit::cut);
    edit->addAction(ToQString("Вставить"_w), QKeySequence::Paste, m_editor, &QPlainTextEdit::paste);
    edit->addAction(ToQString("Выделить все"_w), QKeySequence::SelectAll, m_editor, &QPlainTextEdit::selectAll);
    m_formulaActions = {insertField, insertValue};
    connect(m_editor, &QPlainTextEdit::customContextMenuRequested, this,
            [this, menu](const QPoint& at) { menu->popup(m_editor->mapToGlobal(at)); });

    auto* split = new QSplitter(Qt::Vertical, left);
    split->addWidget(m_rules);
    split->addWidget(m_editor);
    split->setStretchFactor(0, 3);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(left);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolbar);
    layout->addWidget(split, 1);
    return left;
}

QWidget* TfrmColorDlg::makeTemplates()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName("pcAllItems");
    m_pages->setMinimumWidth(200);
    const char* names[] = {"lbFields", "lbProps", "lbAdditional"};
    m_value = new QComboBox(this);
    m_value->setObjectName("lcFieldValue");
    m_value->setEditable(true);
    auto* plus = new QToolButton(this);
    plus->setObjectName("btnAddValue");
    plus->setText("+");
    plus->setToolTip(ToQString("Вставить в формулу"_w));
    connect(plus, &QToolButton::clicked, this, [this] {
        if (!m_value->currentText().isEmpty() && m_model.IsFormula(m_rules->currentRow()))
            insertIntoFormula("'" + textOf(m_value->currentText()) + "'");
    });
    for (int tab = 0; tab < TColorDlgModel::tbCount; ++tab) {
        auto* list = new QListWidget(m_pages);
        list->setObjectName(names[tab]);
        for (const TColorDlgModel::TTemplate& t : m_model.Templates(static_cast<TColorDlgModel::TTab>(tab)))
            list->addItem(ToQString(t.Caption));
        list->setContextMenuPolicy(Qt::ActionsContextMenu);
        list->addAction(m_addAction);
        auto* toFormula = new QAction(ToQString("Вставить в формулу"_w), list);
        toFormula->setObjectName("actFieldToExpr");
        connect(toFormula, &QAction::triggered, this, [this] {
            if (TColorItem* t = selectedTemplate(); t && m_model.IsFormula(m_rules->currentRow()))
                insertIntoFormula("<" + TColorDlgModel::ReferenceText(*t) + ">");
        });
        list->addAction(toFormula);
        connect(list, &QListWidget::currentRowChanged, this, &TfrmColorDlg::templateChosen);
        connect(list, &QListWidget::itemDoubleClicked, this, [this, toFormula] {
            m_model.IsFormula(m_rules->currentRow()) ? toFormula->trigger() : m_addAction->trigger();
        });
        m_lists[tab] = list;
        QWidget* page = list;
        if (tab == TColorDlgModel::tbFields) {
            page = new QWidget(m_pages);
            auto* column = new QVBoxLayout(page);
            column->addWidget(list, 1);
            auto* picker = new QHBoxLayout;
            picker->addWidget(m_value, 1);
            picker->addWidget(plus);
            column->addLayout(picker);
        }
        const int index = m_pages->addTab(page, ToQString(TColorDlgModel::TabCaption(static_cast<TColorDlgModel::TTab>(tab))));
        m_pages->setTabVisible(index, list->count() > 0);
    }
    // Wide enough for every visible tab caption.
    m_pages->setMinimumWidth(std::max(200, m_pages->tabBar()->sizeHint().width() + 8));
    return m_pages;
}

QComboBox* TfrmColorDlg::colorCombo(int row, int index)
{
    auto* combo = cellCombo(m_rules);
    for (int i = 0; i < static_cast<int>(m_swatches.size()); ++i)
        combo->addItem(m_swatches[i], ToQString(TColorGrid::GetColorName(i)), i);
    combo->setCurrentIndex(index);
    connect(combo, &QComboBox::activated, this, [this, row] { markPending(row); PostPending(); });
    return combo;
}

void TfrmColorDlg::fillRow(int row, const TColorDlgModel::TRow& values)
{
    const QSignalBlocker block(m_rules);
    const QColor fore = values.FontColor >= 0 ? ToQColor(TColorGrid::GetColor(values.FontColor), palette()) : QColor();
    const QColor back = values.BackColor >= 0 ? ToQColor(TColorGrid::GetColor(values.BackColor), palette()) : QColor();
    for (int c : {colType, colCaption}) {
        auto* item = new QTableWidgetItem(ToQString(c == colType ? values.TypeName : values.Caption));
        if (fore.isValid())
            item->setForeground(fore);
        if (back.isValid())
            item->setBackground(back);
        m_rules->setItem(row, c, item);
    }
    auto* op = cellCombo(m_rules);
    for (const std::string& o : TColorDlgModel::Operators())
        op->addItem(ToQString(o));
    op->setCurrentIndex(op->findText(ToQString(values.Op)));
    connect(op, &QComboBox::activated, this, [this, row] { markPending(row); PostPending(); });
    m_rules->setCellWidget(row, colOp, op);

    auto* value = cellCombo(m_rules);
    value->setEditable(true);
    value->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& choice : m_model.PickList(row))
        value->addItem(ToQString(choice));
    value->setEditText(ToQString(values.Value));
    value->lineEdit()->setCursorPosition(0);
    value->setEnabled(!m_model.IsFormula(row));
    TCp1251Input::Install(value->lineEdit());
    connect(value->lineEdit(), &QLineEdit::textEdited, this, [this, row] { markPending(row); });
    connect(value, &QComboBox::activated, this, [this, row] { markPending(row); PostPending(); });
    connect(value->lineEdit(), &QLineEdit::editingFinished, this, [this] { PostPending(); });
    m_rules->setCellWidget(row, colValue, value);
    m_rules->setCellWidget(row, colFont, colorCombo(row, values.FontColor));
    m_rules->setCellWidget(row, colBack, colorCombo(row, values.BackColor));
}

void TfrmColorDlg::fillRows(int current)
{
    m_filling = true;
    m_pendingRow = -1;
    m_rules->setRowCount(m_model.RowCount());
    for (int row = 0; row < m_model.RowCount(); ++row)
        fillRow(row, m_model.RowOf(row));
    QHeaderView* header = m_rules->horizontalHeader();
    for (int c : {colType, colCaption})
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    const int chars = fontMetrics().averageCharWidth();
    header->resizeSection(colOp, 15 * chars);
    header->resizeSection(colFont, 22 * chars);
    header->resizeSection(colBack, 22 * chars);
    header->setSectionResizeMode(colValue, QHeaderView::Stretch);
    // The value keeps room for 24 characters beside the other columns.
    int others = 0;
    for (int c = 0; c < colCount; ++c)
        others += c == colValue ? 0 : header->sectionSize(c);
    m_rules->setMinimumWidth(others + 24 * chars + m_rules->verticalScrollBar()->sizeHint().width() + 2 * m_rules->frameWidth());
    m_filling = false;
    m_rules->setCurrentCell(current, colCaption);
    showFormula(m_rules->currentRow());
    updateActions();
}

void TfrmColorDlg::markPending(int row)
{
    if (!m_filling)
        m_pendingRow = row;
}

// Posts the row being edited; a failure shows its message and keeps the row in edit.
bool TfrmColorDlg::PostPending()
{
    const int row = m_pendingRow;
    if (row < 0 || row >= m_model.RowCount())
        return true;
    TColorDlgModel::TRow values;
    values.Op = textOf(qobject_cast<QComboBox*>(m_rules->cellWidget(row, colOp))->currentText());
    values.Value = m_model.IsFormula(row) ? textOf(m_editor->toPlainText())
                                          : textOf(qobject_cast<QComboBox*>(m_rules->cellWidget(row, colValue))->currentText());
    values.FontColor = qobject_cast<QComboBox*>(m_rules->cellWidget(row, colFont))->currentIndex();
    values.BackColor = qobject_cast<QComboBox*>(m_rules->cellWidget(row, colBack))->currentIndex();
    TColorDlgModel::TRow posted;
    if (!RunShowingErrors([&] { posted = m_model.Post(row, values); }))
        return false;
    m_pendingRow = -1;
    m_filling = true;
    fillRow(row, posted);
    m_filling = false;
    return true;
}

void TfrmColorDlg::rowChanged(int row, int previous)
{
    if (m_filling)
        return;
    if (m_pendingRow >= 0 && m_pendingRow == previous && !PostPending()) {
        const QSignalBlocker block(m_rules);
        m_rules->setCurrentCell(previous, colCaption);
        return;
    }
    showFormula(row);
    updateActions();
}

void TfrmColorDlg::showFormula(int row)
{
    const bool formula = m_model.IsFormula(row);
    m_editor->setEnabled(formula);
    m_editor->setBackgroundRole(formula ? QPalette::Base : QPalette::Button);
    const QString text = formula ? ToQString(m_model.RowOf(row).Value) : QString();
    if (m_editor->toPlainText() != text) {
        const QSignalBlocker block(m_editor);
        m_editor->setPlainText(text);
    }
}

void TfrmColorDlg::formulaEdited()
{
    const int row = m_rules->currentRow();
    if (!m_model.IsFormula(row))
        return;
    auto* value = qobject_cast<QComboBox*>(m_rules->cellWidget(row, colValue));
    const QString text = m_editor->toPlainText();
    if (value->currentText() != text) {
        value->setEditText(text);
        markPending(row);
    }
}

void TfrmColorDlg::insertIntoFormula(const std::string& text)
{
    m_editor->textCursor().insertText(ToQString(text));
    m_editor->setFocus();
}

// Wraps the selection in the pair; with nothing selected the caret goes between them, unless
// it stood at the very start.
void TfrmColorDlg::wrapSelection(const char* pair)
{
    QTextCursor cursor = m_editor->textCursor();
    const QString selected = cursor.selectedText();
    const bool atStart = !cursor.hasSelection() && cursor.position() == 0;
    cursor.insertText(QChar(pair[0]) + selected + QChar(pair[1]));
    if (selected.isEmpty() && !atStart)
        cursor.movePosition(QTextCursor::Left);
    m_editor->setTextCursor(cursor);
    m_editor->setFocus();
}

QListWidget* TfrmColorDlg::activeList() const
{
    QWidget* page = m_pages->currentWidget();
    for (QListWidget* list : m_lists)
        if (page == list || page->isAncestorOf(list))
            return list;
    return nullptr;
}

TColorItem* TfrmColorDlg::selectedTemplate() const
{
    QListWidget* list = activeList();
    if (!list || list->currentRow() < 0)
        return nullptr;
    for (int tab = 0; tab < TColorDlgModel::tbCount; ++tab)
        if (m_lists[tab] == list)
            return m_model.Templates(static_cast<TColorDlgModel::TTab>(tab))[list->currentRow()].Item;
    return nullptr;
}

// A field template of a lookup field fills the value picker with the lookup values.
void TfrmColorDlg::templateChosen()
{
    m_value->clear();
    TColorItem* templ = selectedTemplate();
    if (templ && templ->Type() == citField) {
        for (const std::string& value : TColorDlgModel::PickListOf(*templ))
            m_value->addItem(ToQString(value));
    }
    m_value->setCurrentIndex(-1);
    updateActions();
}

void TfrmColorDlg::updateActions()
{
    const bool hasRow = m_rules->currentRow() >= 0;
    m_deleteAction->setEnabled(hasRow);
    m_upAction->setEnabled(hasRow);
    m_downAction->setEnabled(hasRow);
    const bool formula = m_model.IsFormula(m_rules->currentRow());
    for (QAction* a : m_formulaActions)
        a->setEnabled(formula);
}

void TfrmColorDlg::accept()
{
    if (PostPending())
        TfrmPackRoot::accept();
}

bool TfrmColorDlg::Execute(TColorGrid& grid, TColorItemList& items, TColorItemList& templates, bool& isDefault, QWidget* parent)
{
    TColorDlgModel model(grid, items, templates);
    TfrmColorDlg dialog(model, parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    isDefault = ok && dialog.m_defaults;
    return ok;
}

void TfrmColorDlg::Install()
{
    TColorGrid::SetDialogRunner([](TColorGrid& grid, TColorItemList& work, TColorItemList& templates, bool& defaults) {
        return Execute(grid, work, templates, defaults, nullptr);
    });
}

} // namespace lm
