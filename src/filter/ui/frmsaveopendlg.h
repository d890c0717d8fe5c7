// TfrmSaveOpenDlg: the small dialog that names a filter to save, or picks filters to load or
// delete.
#pragma once

#include <string>
#include <vector>

#include "filter/ufilterdlgmodel.h"
#include "forms/ui/frmpackroot.h"

class QDialogButtonBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lm {

class TfrmSaveOpenDlg : public TfrmPackRoot {
    Q_OBJECT

public:
    TfrmSaveOpenDlg(TSaveOpenDlgModel& model, QWidget* parent = nullptr);

    // Runs the dialog over `list`. True on OK, with `name` the text of the name field; in
    // delete mode `list` is replaced by the names selected.
    static bool Exec(std::vector<std::string>& list, TSaveOpenDlgModel::TDoKind kind, std::string& name,
                     QWidget* parent = nullptr);

    void accept() override;

protected:
    // Load and delete start in the list, save in the name.
    void showEvent(QShowEvent* event) override;

private:
    TSaveOpenDlgModel& m_model;
    QListWidget* m_list;
    QLineEdit* m_name;
    QPushButton* m_ok;
};

} // namespace lm
