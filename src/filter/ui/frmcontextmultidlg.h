// TfrmContextMultiDlg: the check list of the fields searched by the multi-field search.
#pragma once

#include "filter/contextsearchmodel.h"
#include "forms/ui/frmpackroot.h"

class QListWidget;

namespace lm {

class TfrmContextMultiDlg : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmContextMultiDlg(TContextMultiModel& model, QWidget* parent = nullptr);

    // Runs the dialog; OK stores the ticked fields. Returns whether OK was pressed.
    static bool Execute(TContextMultiModel& model, QWidget* parent = nullptr);

    void accept() override;

private:
    void refill();

    TContextMultiModel& m_model;
    QListWidget* m_list;
};

} // namespace lm
