// The filter name dialog.
#include "filter/ui/frmsaveopendlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/cp1251input.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmSaveOpenDlg::TfrmSaveOpenDlg(TSaveOpenDlgModel& model, QWidget* parent)
    : TfrmPackRoot(parent), m_model(model), m_list(new QListWidget(this)), m_name(new QLineEdit(this))
{
    setWindowTitle(ToQString(model.Caption()));
    m_list->setObjectName("lbList");
    m_name->setObjectName("edName");
    for (const std::string& item : model.List())
        m_list->addItem(ToQString(item));
    m_list->setSelectionMode(model.MultiSelect() ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_name->setReadOnly(model.NameReadOnly());
    if (model.NameReadOnly())
        m_name->setBackgroundRole(QPalette::Button);
    TCp1251Input::Install(m_name);
    m_list->setMinimumWidth(32 * fontMetrics().averageCharWidth());

    auto* nameLabel = new QLabel(ToQString("&Имя:"_w), this);
    nameLabel->setBuddy(m_name);
    auto* listLabel = new QLabel(ToQString("&Список:"_w), this);
    listLabel->setBuddy(m_list);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(ToQString(model.ActionWord()), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName("btnOk");
    m_ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    setTabOrder(m_name, m_list);
    setTabOrder(m_list, m_ok);
    setTabOrder(m_ok, cancel);

    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmSaveOpenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmSaveOpenDlg::reject);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (m_model.LineToName())
            m_name->setText(item->text());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (m_model.LineToName())
            m_name->setText(item->text());
        accept();
    });
}

void TfrmSaveOpenDlg::showEvent(QShowEvent* event)
{
    TfrmPackRoot::showEvent(event);
    if (m_model.NameReadOnly())
        m_list->setFocus();
    else
        m_name->setFocus();
}

void TfrmSaveOpenDlg::accept()
{
    if (m_model.CanClose(FromQString(m_name->text()).value_or(std::string())))
        TfrmPackRoot::accept();
}

bool TfrmSaveOpenDlg::Exec(std::vector<std::string>& list, TSaveOpenDlgModel::TDoKind kind, std::string& name, QWidget* parent)
{
    TSaveOpenDlgModel model(list, kind);
    TfrmSaveOpenDlg dialog(model, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    name = FromQString(dialog.m_name->text()).value_or(std::string());
    if (kind == TSaveOpenDlgModel::doDelete) {
        list.clear();
        for (int i = 0; i < dialog.m_list->count(); ++i)
            if (dialog.m_list->item(i)->isSelected())
                list.push_back(FromQString(dialog.m_list->item(i)->text()).value_or(std::string()));
    }
    return true;
}

} // namespace lm
