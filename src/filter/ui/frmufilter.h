// TfrmUFilter: the filter editor - the filter text, operator buttons, one page of field buttons
// per category, the options page, the lookup value combo and the named filters.
#pragma once

#include <string>

#include "filter/ufilterdlgmodel.h"
#include "forms/ui/frmpackroot.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace lm {

class TUFilterEntry;

class TfrmUFilter : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmUFilter(TUFilterDlgModel& model, QWidget* parent = nullptr);

    // Runs the dialog modally over the model (what TUFilter::Customize shows).
    static void Execute(TUFilterDlgModel& model, QWidget* parent = nullptr);
    // Makes Execute the dialog of every TUFilter.
    static void Install();

    void SetFilterName(const std::string& name);
    // Inserts `text` at the memo's cursor (replacing a selection), puts the cursor `back`
    // characters before its end and focuses the memo.
    void InsertText(const std::string& text, int back = 0);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* makeOperatorPanel();
    QWidget* makeEntryPage(const TUFilterDlgModel::TPage& page);
    QWidget* makeOptionsPage();
    void entryClicked(TUFilterEntry* entry);
    void lookupPicked(int index);
    void finish(bool save);
    void addNamed();
    void loadNamed();
    void deleteNamed();
    std::string memoText() const;

    TUFilterDlgModel& m_model;
    QPlainTextEdit* m_memo;
    QTabWidget* m_pages;
    QComboBox* m_lookup;
    QCheckBox* m_preferSQL;
    QCheckBox* m_ignoreCase;
    QCheckBox* m_onShow;
    QPushButton* m_cancel = nullptr;
};

} // namespace lm
