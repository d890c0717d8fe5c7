// TfrmSort: the sort dialog - the field list, the sort list with descending ticks, the move
// buttons and drags, and saving the order to a sort file.
#pragma once

#include "filter/sortdlgmodel.h"
#include "forms/ui/frmpackroot.h"

class QListWidget;
class QListWidgetItem;

namespace lm {

class TfrmSort : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmSort(TSortDlgModel& model, QWidget* parent = nullptr);

    // Runs the dialog and hands the way it was closed to the model.
    static void Execute(TSortDlgModel& model, QWidget* parent = nullptr);
    // Makes Execute the dialog of every TUserSort.
    static void Install();

    TSortDlgModel::TSortResult Result() const { return m_result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refill(int sortCurrent, int fieldCurrent);
    void moveSelected(int (TSortDlgModel::*move)(int));
    void saveToFile();
    void close(TSortDlgModel::TSortResult result);

    TSortDlgModel& m_model;
    QListWidget* m_fields;
    QListWidget* m_sort;
    TSortDlgModel::TSortResult m_result = TSortDlgModel::srCancel;
};

} // namespace lm
