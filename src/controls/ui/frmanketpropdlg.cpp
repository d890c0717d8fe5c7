// The record form settings dialog.
#include "controls/ui/frmanketpropdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/afpanel.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

// A group box of radio buttons, one per caption, their ids their positions.
QGroupBox* radioGroup(QWidget* parent, const char* name, const char* title, std::initializer_list<const char*> items,
                      QButtonGroup& group)
{
    auto* box = new QGroupBox(ToQString(title), parent);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    int id = 0;
    for (const char* caption : items) {
        auto* b = new QRadioButton(ToQString(caption), box);
        b->setObjectName(QString("%1%2").arg(name).arg(id));
        group.addButton(b, id++);
        layout->addWidget(b);
    }
    return box;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption)
{
    auto* c = new QCheckBox(ToQString(caption), parent);
    c->setObjectName(name);
    return c;
}

} // namespace

TfrmAnketPropDlg::TfrmAnketPropDlg(TAnketProps& props, QWidget* parent) : TfrmPackRoot(parent), m_props(props)
{
    setWindowTitle(ToQString("Настройка формы"_w));
    auto* enter = radioGroup(this, "rgEnter", "&Клавиша Enter"_w, {"Нет"_w, "Переход к след. полю"_w, "Нажатие \"Ок\""_w}, m_enter);
    auto* esc = radioGroup(this, "rgEsc", "Клавиша Es&c"_w, {"Нет"_w, "Нажатие \"Отмена\""_w}, m_esc);

    auto* focus = new QGroupBox(ToQString("Фокус ввода (редактирование)"_w), this);
    focus->setObjectName("gbFocus");
    auto* focusLayout = new QGridLayout(focus);
    const char* focusItems[] = {"Сохранить &предыдущий"_w, "&Текущий в таблице"_w, "&Установить на:"_w};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(ToQString(focusItems[i]), focus);
        b->setObjectName(QString("rbFocus%1").arg(i));
        m_focus.addButton(b, i);
        focusLayout->addWidget(b, i, 0);
    }
    m_cbEdit = panelList("cbEdit");
    focusLayout->addWidget(m_cbEdit, 2, 1);
    focusLayout->setColumnStretch(1, 1);

    auto* insert = new QGroupBox(ToQString("Режим добавления"_w), this);
    insert->setObjectName("gbInsert");
    auto* insertLayout = new QFormLayout(insert);
    m_cbInsert = panelList("cbInsert");
    insertLayout->addRow(ToQString("&Фокус на:"_w), m_cbInsert);
    m_cbAutoInsert = checkBox(insert, "cbAutoInsert", "Авто по&втор"_w);
    m_cbAutoClose = checkBox(insert, "cbAutoClose", "Авто &закрытие"_w);
    m_cbAutoClick = checkBox(insert, "cbAutoClick", "Авто &список"_w);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_cbAutoInsert);
    checks->addWidget(m_cbAutoClose);
    checks->addWidget(m_cbAutoClick);
    insertLayout->addRow(checks);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("btnOk");
    QPushButton* defaults = buttons->addButton(ToQString("П&о умолчанию"_w), QDialogButtonBox::ResetRole);
    defaults->setObjectName("btnDefault");
    QPushButton* cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    connect(ok, &QPushButton::clicked, this, [this] {
        m_props.AcceptDialog(Chosen());
        accept();
    });
    connect(defaults, &QPushButton::clicked, this, [this] {
        m_props.ResetToDefaults();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_focus, &QButtonGroup::idClicked, this, [this] { updateEnabled(); });

    auto* keys = new QHBoxLayout;
    keys->addWidget(enter, 3);
    keys->addWidget(esc, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(keys);
    layout->addWidget(focus);
    layout->addWidget(insert);
    layout->addWidget(buttons);

    load(m_props.Options);
    setTabOrder(m_enter.button(0), m_esc.button(0));
    m_enter.checkedButton()->setFocus();
}

QComboBox* TfrmAnketPropDlg::panelList(const char* name)
{
    if (m_panels.empty() && m_props.Form() && m_props.Form()->RootPanel())
        m_props.Form()->RootPanel()->PanelList(m_panels);
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->addItem(QString());
    for (const auto& [caption, panel] : m_panels)
        combo->addItem(ToQString(caption));
    return combo;
}

void TfrmAnketPropDlg::load(const TAnketOptions& o)
{
    m_enter.button(o.KeyEnterAction)->setChecked(true);
    m_esc.button(o.KeyEscCancel ? 1 : 0)->setChecked(true);
    m_focus.button(o.EditFocusMode)->setChecked(true);
    auto indexOf = [this](const TAFPanel* p) {
        for (std::size_t i = 0; i < m_panels.size(); ++i)
            if (m_panels[i].second == p)
                return static_cast<int>(i) + 1;
        return 0;
    };
    m_cbEdit->setCurrentIndex(indexOf(o.ControlEdit));
    m_cbInsert->setCurrentIndex(indexOf(o.ControlInsert));
    m_cbAutoInsert->setChecked(o.InsertOptions & ioAutoInsert);
    m_cbAutoClose->setChecked(o.InsertOptions & ioAutoClose);
    m_cbAutoClick->setChecked(o.InsertOptions & ioAutoClick);
    updateEnabled();
}

void TfrmAnketPropDlg::updateEnabled() { m_cbEdit->setEnabled(m_focus.checkedId() == efConst); }

TAnketOptions TfrmAnketPropDlg::Chosen() const
{
    TAnketOptions o;
    o.KeyEnterAction = TKeyEnterAction(m_enter.checkedId());
    o.KeyEscCancel = m_esc.checkedId() == 1;
    o.EditFocusMode = TEditFocusMode(m_focus.checkedId());
    auto panelAt = [this](const QComboBox* c) {
        const int i = c->currentIndex();
        return i > 0 ? m_panels[i - 1].second : nullptr;
    };
    o.ControlEdit = panelAt(m_cbEdit);
    o.ControlInsert = panelAt(m_cbInsert);
    o.InsertOptions = (m_cbAutoInsert->isChecked() ? ioAutoInsert : 0u) | (m_cbAutoClose->isChecked() ? ioAutoClose : 0u) |
                      (m_cbAutoClick->isChecked() ? ioAutoClick : 0u);
    return o;
}

bool TfrmAnketPropDlg::Execute(TAnketProps& props, QWidget* parent)
{
    TfrmAnketPropDlg dlg(props, parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace lm
