// TfrmColorDlg: the colour rules editor - one row per rule with its operator, value and colours,
// the rule templates by kind, and the formula editor with its colouring.
#pragma once

#include <vector>

#include <QIcon>

#include "color/colordlgmodel.h"
#include "forms/ui/frmpackroot.h"

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTableWidget;

namespace lm {

class TColorGrid;
class TFormulaHighlighter;

class TfrmColorDlg : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmColorDlg(TColorDlgModel& model, QWidget* parent = nullptr);

    // Runs the dialog over the working copy; true on OK, with `isDefault` set when the user
    // chose the default rules.
    static bool Execute(TColorGrid& grid, TColorItemList& items, TColorItemList& templates, bool& isDefault,
                        QWidget* parent = nullptr);
    // Makes Execute the dialog of every TColorGrid.
    static void Install();

    // Posts the current row's pending change; false (the message shown) when it fails.
    bool PostPending();
    void accept() override;

private:
    QWidget* makeTemplates();
    QWidget* makeRules();
    QComboBox* colorCombo(int row, int index);
    void fillRows(int current);
    void fillRow(int row, const TColorDlgModel::TRow& values);
    void markPending(int row);
    void rowChanged(int row, int previous);
    void showFormula(int row);
    void formulaEdited();
    void insertIntoFormula(const std::string& text);
    void wrapSelection(const char* pair);
    TColorItem* selectedTemplate() const;
    QListWidget* activeList() const;
    void templateChosen();
    void updateActions();

    TColorDlgModel& m_model;
    QTableWidget* m_rules;
    QPlainTextEdit* m_editor;
    TFormulaHighlighter* m_highlighter;
    QTabWidget* m_pages;
    QListWidget* m_lists[TColorDlgModel::tbCount];
    QComboBox* m_value;
    std::vector<QIcon> m_swatches;
    QList<QAction*> m_formulaActions;
    QAction* m_deleteAction = nullptr;
    QAction* m_upAction = nullptr;
    QAction* m_downAction = nullptr;
    QAction* m_addAction = nullptr;
    int m_pendingRow = -1;
    bool m_filling = false;
    bool m_defaults = false;
};

} // namespace lm
