// TfrmCFilter: the context search dialog - the field combo, the value editor, the current
// conditions, and the buttons "Поиск", "В найденном", "Удалить" and the multi-field settings.
#pragma once

#include "filter/contextsearchmodel.h"
#include "forms/ui/frmpackroot.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace lm {

class TfrmCFilter : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmCFilter(TContextSearchModel& model, QWidget* parent = nullptr);

    // Runs the dialog, its value field starting with `typed` (Windows-1251), and hands the way
    // it was closed and the value to the model.
    static void Execute(TContextSearchModel& model, QWidget* parent = nullptr, const std::string& typed = {});
    // Makes Execute the search dialog of every TContextFilter.
    static void Install();

    TContextSearchModel::TSearchAction Action() const { return m_action; }
    std::string ValueText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fieldChosen(int index);
    void fillValues();
    void close(TContextSearchModel::TSearchAction action);
    void refreshMemo();
    void pasteFirstLine();

    TContextSearchModel& m_model;
    QComboBox* m_field;
    QComboBox* m_value;
    QPlainTextEdit* m_memo;
    QPushButton* m_multi;
    TContextSearchModel::TSearchAction m_action = TContextSearchModel::saCancel;
};

} // namespace lm
