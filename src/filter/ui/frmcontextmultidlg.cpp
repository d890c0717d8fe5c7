// The multi-field search list.
#include "filter/ui/frmcontextmultidlg.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmContextMultiDlg::TfrmContextMultiDlg(TContextMultiModel& model, QWidget* parent)
    : TfrmPackRoot(parent), m_model(model), m_list(new QListWidget(this))
{
    setObjectName("frmContextMultiDlg");
    setWindowTitle(ToQString(TContextMultiModel::Caption()));
    m_list->setObjectName("lbFields");
    m_list->setMinimumWidth(30 * fontMetrics().averageCharWidth());
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* uncheck = new QAction(ToQString("Выключить все"_w), m_list);
    uncheck->setObjectName("actUncheckAll");
    m_list->addAction(uncheck);
    connect(uncheck, &QAction::triggered, this, [this] {
        m_model.UncheckAll();
        refill();
    });
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOk");
    ok->setDefault(true);
    buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole)->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmContextMultiDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmContextMultiDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    refill();
    m_list->setFocus();
}

void TfrmContextMultiDlg::refill()
{
    m_list->clear();
    for (int i = 0; i < static_cast<int>(m_model.Items().size()); ++i) {
        auto* item = new QListWidgetItem(ToQString(m_model.Items()[i]), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_model.Checked(i) ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmContextMultiDlg::accept()
{
    for (int i = 0; i < m_list->count(); ++i)
        m_model.SetChecked(i, m_list->item(i)->checkState() == Qt::Checked);
    m_model.Accept();
    TfrmPackRoot::accept();
}

bool TfrmContextMultiDlg::Execute(TContextMultiModel& model, QWidget* parent)
{
    TfrmContextMultiDlg dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace lm
