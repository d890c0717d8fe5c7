// The filter editor dialog.
#include "filter/ui/frmufilter.h"

#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/lmtranslate.h"
#include "app/ui/cp1251input.h"
#include "filter/filterentry.h"
#include "filter/ufilter.h"
#include "filter/ui/frmsaveopendlg.h"
#include "forms/ui/qtdialoghost.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

constexpr int kOperatorColumns = 9;

// The locale font for the memo and the lookup combo outside the Russian locale.
void applyLocaleFont(QWidget* widget)
{
    try {
        if (TranslateLocale() == "RU" || TranslateLocale().empty())
            return;
        const std::string font = GetLocaleFont();
        if (!font.empty()) {
            QFont f = widget->font();
            f.setFamily(ToQString(font));
            widget->setFont(f);
        }
    } catch (const Exception&) {
        // without a database there is no locale to follow
    }
}

} // namespace

TfrmUFilter::TfrmUFilter(TUFilterDlgModel& model, QWidget* parent)
    : TfrmPackRoot(parent),
      m_model(model),
      m_memo(new QPlainTextEdit(this)),
      m_pages(new QTabWidget(this)),
      m_lookup(new QComboBox(this))
{
    setObjectName("frmUFilter");
    m_memo->setObjectName("mmFilter");
    m_memo->setPlainText(ToQString(model.InitialText()));
    m_memo->setMinimumSize(40 * fontMetrics().averageCharWidth(), 8 * fontMetrics().height());
    TCp1251Input::Install(m_memo);
    m_pages->setObjectName("PageControl");
    m_lookup->setObjectName("lcMainLookup");
    m_lookup->setEnabled(false);

    for (const TUFilterDlgModel::TPage& page : model.Pages())
        m_pages->addTab(makeEntryPage(page), ToQString(page.Caption));
    m_pages->addTab(makeOptionsPage(), ToQString("Настройки"_w));

    auto* lookupLabel = new QLabel(ToQString("&Значение:"_w), this);
    lookupLabel->setBuddy(m_lookup);
    auto* left = new QVBoxLayout;
    left->addWidget(m_memo, 1);
    left->addWidget(makeOperatorPanel());
    auto* lookupRow = new QHBoxLayout;
    lookupRow->addWidget(lookupLabel);
    lookupRow->addWidget(m_lookup, 1);
    left->addLayout(lookupRow);

    auto* top = new QHBoxLayout;
    // The right panel takes 254 of every 552 pixels of the width.
    top->addLayout(left, 552 - 254);
    top->addWidget(m_pages, 254);

    auto* buttons = new QDialogButtonBox(this);
    auto addButton = [&](const char* name, const std::string& caption, QDialogButtonBox::ButtonRole role) {
        QPushButton* b = buttons->addButton(ToQString(caption), role);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* ok = addButton("btnOk", "&Включить"_w, QDialogButtonBox::AcceptRole);
    QPushButton* save = addButton("btnSave", "&Сохранить"_w, QDialogButtonBox::AcceptRole);
    QPushButton* add = addButton("btnAdd", "&Добавить"_w, QDialogButtonBox::ActionRole);
    QPushButton* load = addButton("btnLoad", "&Загрузить"_w, QDialogButtonBox::ActionRole);
    QPushButton* del = addButton("btnDelete", "&Удалить"_w, QDialogButtonBox::ActionRole);
    QPushButton* clear = addButton("btnClear", "&Очистить"_w, QDialogButtonBox::ResetRole);
    m_cancel = addButton("btnCancel", "Отмена"_w, QDialogButtonBox::RejectRole);
    ok->setDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { finish(false); });
    connect(save, &QPushButton::clicked, this, [this] { finish(true); });
    connect(add, &QPushButton::clicked, this, &TfrmUFilter::addNamed);
    connect(load, &QPushButton::clicked, this, &TfrmUFilter::loadNamed);
    connect(del, &QPushButton::clicked, this, &TfrmUFilter::deleteNamed);
    connect(clear, &QPushButton::clicked, m_memo, &QPlainTextEdit::clear);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_model.Cancel();
        reject();
    });
    connect(m_lookup, &QComboBox::activated, this, &TfrmUFilter::lookupPicked);

    setTabOrder(m_memo, m_pages);
    setTabOrder(m_pages, m_lookup);
    setTabOrder(m_lookup, ok);

    applyLocaleFont(m_memo);
    applyLocaleFont(m_lookup);
    m_pages->setCurrentIndex(0);
    SetFilterName(model.FilterName());
    m_memo->setFocus();
    m_memo->moveCursor(QTextCursor::End);
}

QWidget* TfrmUFilter::makeOperatorPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("plTools");
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    int i = 0;
    std::vector<QToolButton*> buttons;
    for (const TUFilterDlgModel::TOperatorButton& op : TUFilterDlgModel::OperatorButtons()) {
        auto* button = new QToolButton(panel);
        button->setText(ToQString(op.Caption));
        button->setToolTip(ToQString(op.Hint));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QToolButton::clicked, this, [this, &op] { InsertText(op.Text, op.CursorBack); });
        grid->addWidget(button, i / kOperatorColumns, i % kOperatorColumns);
        buttons.push_back(button);
        ++i;
    }
    // One width for all, the widest caption's, so the columns line up evenly.
    int widest = 0;
    for (QToolButton* b : buttons)
        widest = std::max(widest, b->sizeHint().width());
    for (QToolButton* b : buttons)
        b->setMinimumWidth(widest);
    for (int c = 0; c < kOperatorColumns; ++c)
        grid->setColumnStretch(c, 1);
    return panel;
}

QWidget* TfrmUFilter::makeEntryPage(const TUFilterDlgModel::TPage& page)
{
    auto* scroll = new QScrollArea(m_pages);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* box = new QWidget(scroll);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    for (TUFilterEntry* entry : page.Entries) {
        auto* button = new QToolButton(box);
        button->setText(ToQString(entry->EntryName));
        button->setObjectName(ToQString("btnEntry_" + entry->EntryName));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // The text height plus 4, unless the style needs more to draw the text whole.
        button->setFixedHeight(std::max(fontMetrics().height() + 4, button->minimumSizeHint().height()));
        connect(button, &QToolButton::clicked, this, [this, entry] { entryClicked(entry); });
        column->addWidget(button);
    }
    column->addStretch(1);
    scroll->setWidget(box);
    // Scrolling moves by whole buttons.
    if (!page.Entries.empty())
        scroll->verticalScrollBar()->setSingleStep(column->itemAt(0)->widget()->height() + 1);
    return scroll;
}

QWidget* TfrmUFilter::makeOptionsPage()
{
    auto* page = new QWidget(m_pages);
    page->setObjectName("shOptions");
    m_preferSQL = new QCheckBox(ToQString("&Фильтр на сервере"_w), page);
    m_preferSQL->setObjectName("cbPreferSQL");
    m_ignoreCase = new QCheckBox(ToQString("&Игнорировать регистр букв"_w), page);
    m_ignoreCase->setObjectName("cbIgnoreCase");
    m_onShow = new QCheckBox(ToQString("Вкл&ючать автоматически"_w), page);
    m_onShow->setObjectName("cbOnShow");
    m_preferSQL->setChecked(m_model.PreferSQL());
    m_ignoreCase->setChecked(m_model.IgnoreCase());
    m_onShow->setChecked(m_model.OnShow());
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_preferSQL);
    layout->addWidget(m_ignoreCase);
    layout->addWidget(m_onShow);
    layout->addStretch(1);
    return page;
}

void TfrmUFilter::Execute(TUFilterDlgModel& model, QWidget* parent)
{
    TfrmUFilter dialog(model, parent);
    dialog.exec();
}

void TfrmUFilter::Install()
{
    SetUFilterDialog([](TUFilterDlgModel& model) { Execute(model, nullptr); });
}

void TfrmUFilter::SetFilterName(const std::string& name)
{
    m_model.SetFilterName(name);
    setWindowTitle(ToQString(m_model.Caption()));
}

void TfrmUFilter::InsertText(const std::string& text, int back)
{
    QTextCursor cursor = m_memo->textCursor();
    cursor.insertText(ToQString(text));
    cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, back);
    m_memo->setTextCursor(cursor);
    m_memo->setFocus();
}

std::string TfrmUFilter::memoText() const
{
    return FromQString(m_memo->toPlainText()).value_or(std::string());
}

void TfrmUFilter::entryClicked(TUFilterEntry* entry)
{
    InsertText(TUFilterDlgModel::EntryText(*entry));
    m_lookup->clear();
    m_lookup->setEnabled(false);
    if (!entry->IsLookup || !entry->LookupDataSet)
        return;
    TDataSet* ds = entry->LookupDataSet;
    RunShowingErrors([&] {
        if (!ds->Active())
            ds->Open();
        TField* result = ds->FieldByName(entry->LookupResultField);
        const std::vector<TField*> keys = ds->GetFieldList(entry->LookupKeyFields);
        ds->ScanRecords([&] {
            std::string key;
            for (TField* k : keys)
                key += k->IsNull() ? std::string() : k->AsString();
            m_lookup->addItem(ToQString(result->DisplayText()), ToQString(key));
        });
    });
    m_lookup->setEnabled(true);
    m_lookup->setCurrentIndex(-1);
}

void TfrmUFilter::lookupPicked(int index)
{
    if (index < 0 || m_lookup->itemData(index).toString().isEmpty())
        return;
    InsertText(TUFilterDlgModel::LookupText(FromQString(m_lookup->itemText(index)).value_or(std::string())));
}

void TfrmUFilter::finish(bool save)
{
    const bool done = RunShowingErrors([&] {
        m_model.Accept(memoText(), m_preferSQL->isChecked(), m_ignoreCase->isChecked(), m_onShow->isChecked(), save);
    });
    if (done)
        accept();
}

void TfrmUFilter::addNamed()
{
    std::vector<std::string> list = m_model.AddList();
    std::string name;
    if (!TfrmSaveOpenDlg::Exec(list, TSaveOpenDlgModel::doSave, name, this))
        return;
    if (RunShowingErrors([&] { m_model.Add(name, memoText()); }))
        SetFilterName(name);
}

void TfrmUFilter::loadNamed()
{
    std::vector<std::string> list = m_model.LoadList();
    std::string name;
    if (!TfrmSaveOpenDlg::Exec(list, TSaveOpenDlgModel::doLoad, name, this))
        return;
    m_memo->setPlainText(ToQString(m_model.Load(name)));
    SetFilterName(name);
}

void TfrmUFilter::deleteNamed()
{
    std::vector<std::string> list = m_model.DeleteList();
    std::string name;
    if (!TfrmSaveOpenDlg::Exec(list, TSaveOpenDlgModel::doDelete, name, this))
        return;
    RunShowingErrors([&] { m_model.Delete(list); });
    SetFilterName(m_model.FilterName());
}

// Escape is the Cancel button, which also switches the filter off.
void TfrmUFilter::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cancel->click();
        return;
    }
    TfrmPackRoot::keyPressEvent(event);
}

} // namespace lm
