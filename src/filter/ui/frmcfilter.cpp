// The context search dialog.
#include "filter/ui/frmcfilter.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/ui/cp1251input.h"
#include "filter/contextfilter.h"
#include "filter/ui/frmcontextmultidlg.h"
#include "forms/ui/qtdialoghost.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmCFilter::TfrmCFilter(TContextSearchModel& model, QWidget* parent)
    : TfrmPackRoot(parent),
      m_model(model),
      m_field(new QComboBox(this)),
      m_value(new QComboBox(this)),
      m_memo(new QPlainTextEdit(this))
{
    setObjectName("frmCFilter");
    setWindowTitle(ToQString(model.Caption()));
    m_field->setObjectName("cbField");
    for (const std::string& item : model.FieldItems())
        m_field->addItem(ToQString(item));
    m_value->setObjectName("lcValue");
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setMinimumWidth(30 * fontMetrics().averageCharWidth());
    m_value->lineEdit()->installEventFilter(this);
    TCp1251Input::Install(m_value->lineEdit());
    m_memo->setObjectName("mmConditions");
    m_memo->setReadOnly(true);
    m_memo->setFocusPolicy(Qt::NoFocus);
    m_memo->setFixedHeight(4 * fontMetrics().lineSpacing());

    auto* form = new QFormLayout;
    form->addRow(ToQString("&Поле:"_w), m_field);
    form->addRow(ToQString("&Значение:"_w), m_value);
    form->addRow(ToQString("Условия:"_w), m_memo);

    auto* buttons = new QDialogButtonBox(this);
    auto addButton = [&](const char* name, const std::string& caption, QDialogButtonBox::ButtonRole role) {
        QPushButton* b = buttons->addButton(ToQString(caption), role);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* search = addButton("btnSearch", "Поиск"_w, QDialogButtonBox::AcceptRole);
    QPushButton* inFound = addButton("btnInFound", "В найденном"_w, QDialogButtonBox::AcceptRole);
    QPushButton* del = addButton("btnDelete", "Удалить"_w, QDialogButtonBox::ActionRole);
    m_multi = addButton("btnMulti", "Мульти..."_w, QDialogButtonBox::ActionRole);
    m_multi->setToolTip(ToQString("Список полей мульти поиска"_w));
    m_multi->setVisible(model.MultiSettingsVisible());
    QPushButton* cancel = addButton("btnCancel", "Отмена"_w, QDialogButtonBox::RejectRole);
    inFound->setToolTip("Ctrl+Enter");
    del->setToolTip("Ctrl+Backspace");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setTabOrder(m_field, m_value);
    setTabOrder(m_value, search);

    connect(m_field, &QComboBox::activated, this, &TfrmCFilter::fieldChosen);
    connect(search, &QPushButton::clicked, this, [this] { close(TContextSearchModel::saSearch); });
    connect(inFound, &QPushButton::clicked, this, [this] { close(TContextSearchModel::saInFound); });
    connect(del, &QPushButton::clicked, this, [this] {
        m_model.DeleteLast();
        refreshMemo();
    });
    connect(cancel, &QPushButton::clicked, this, &TfrmCFilter::reject);
    connect(m_multi, &QPushButton::clicked, this, [this] {
        TContextMultiModel multi(m_model.Filter());
        TfrmContextMultiDlg::Execute(multi, this);
    });
    for (auto [keys, target] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Return), inFound},
                                std::pair{QKeySequence(Qt::CTRL | Qt::Key_Enter), inFound},
                                std::pair{QKeySequence(Qt::CTRL | Qt::Key_Backspace), del}}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, target, &QPushButton::click);
    }

    m_field->setCurrentIndex(model.ItemIndex());
    fillValues();
    refreshMemo();
    m_value->setFocus();
}

std::string TfrmCFilter::ValueText() const
{
    return FromQString(m_value->currentText()).value_or(std::string());
}

void TfrmCFilter::fieldChosen(int index)
{
    m_model.SetItemIndex(index);
    fillValues();
    m_value->setFocus();
}

// A lookup field offers the lookup dataset's result texts; any other field a free text.
void TfrmCFilter::fillValues()
{
    const QSignalBlocker block(m_value);
    const QString typed = m_value->currentText();
    m_value->clear();
    TDataSet* ds = m_model.ValueListDataSet();
    if (ds) {
        RunShowingErrors([&] {
            if (!ds->Active())
                ds->Open();
            TField* result = ds->FieldByName(m_model.ValueListResultField());
            ds->ScanRecords([&] { m_value->addItem(ToQString(result->DisplayText())); });
        });
    }
    m_value->setCurrentIndex(-1);
    m_value->setEditText(typed);
}

void TfrmCFilter::refreshMemo()
{
    m_memo->setPlainText(ToQString(m_model.MemoText()));
}

void TfrmCFilter::close(TContextSearchModel::TSearchAction action)
{
    m_action = action;
    accept();
}

// Only the first line of the clipboard is pasted, and the clipboard keeps only that line.
void TfrmCFilter::pasteFirstLine()
{
    QClipboard* clipboard = QApplication::clipboard();
    bool replace = false;
    const std::optional<std::string> text = FromQString(clipboard->text().replace(QLatin1Char('\n'), QLatin1Char('\r')));
    const std::string first = TContextSearchModel::PasteText(text.value_or(std::string()), replace);
    if (replace)
        clipboard->setText(ToQString(first));
    m_value->lineEdit()->insert(ToQString(first));
}

bool TfrmCFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_value->lineEdit() || event->type() != QEvent::KeyPress)
        return TfrmPackRoot::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
        pasteFirstLine();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && key->modifiers() == Qt::NoModifier) {
        close(TContextSearchModel::EnterAction(ValueText()));
        return true;
    }
    return false;
}

void TfrmCFilter::Execute(TContextSearchModel& model, QWidget* parent, const std::string& typed)
{
    TfrmCFilter dialog(model, parent);
    dialog.m_value->setEditText(ToQString(typed));
    dialog.exec();
    RunShowingErrors([&] { model.Finish(dialog.Action(), dialog.ValueText()); });
}

void TfrmCFilter::Install()
{
    SetContextSearchDialog([](TContextSearchModel& model) { Execute(model, nullptr); });
}

} // namespace lm
