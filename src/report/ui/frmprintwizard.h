// TfrmPrintWizard: the print wizard's window ("Мастер создания отчетов") over TPrintWizard —
// the four lists with their buttons and popups, the column strip with its splitters, the
// formatting toolbar, loading settings and "Создать отчет".
#pragma once

#include <vector>

#include "forms/ui/frmpackroot.h"
#include "report/printwizard.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSplitter;
class QToolButton;

namespace lm {

class TfrmPrintWizard : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmPrintWizard(TfrPrintMenu& menu, QWidget* parent = nullptr);
    ~TfrmPrintWizard() override;

    TPrintWizard& Wizard() { return m_wizard; }
    // Runs the wizard for the print menu (its Wizard step).
    static void Execute(TfrPrintMenu& menu, QWidget* parent = nullptr);
    static void Install();

    // Generates the report, runs the designer on it (or asks for a name when there is none)
    // and closes; false when the user declined the totals warning.
    bool pCreateReport();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // The entries of the strip selected for formatting (serial numbers).
    const std::vector<int>& SelectedColumns() const { return m_selected; }
    void SelectColumn(int npp, bool add);

private:
    QWidget* buildToolbar();
    QWidget* buildLists();
    void refill();
    void fillList(QListWidget* list, const TPrintWizard::TList& entries);
    void rebuildStrip();
    void showStatus(const TObjField* entry);
    TObjField* current(QListWidget* list, const TPrintWizard::TList& entries) const;
    void applyFormat(int tag);
    void showFormat();
    bool saveReport();
    void loadSettings();

    TPrintWizard m_wizard;
    QListWidget* m_all;
    QListWidget* m_print;
    QListWidget* m_groups;
    QListWidget* m_sums;
    QCheckBox* m_sumOnlyGroup;
    QCheckBox* m_rs;
    QCheckBox* m_noSumAfterOne;
    QFontComboBox* m_fontName;
    QComboBox* m_fontSize;
    std::vector<QToolButton*> m_styleButtons;
    std::vector<QToolButton*> m_alignButtons;
    QLineEdit* m_title;
    QSplitter* m_strip;
    QLabel* m_status;
    std::vector<int> m_selected;
};

} // namespace lm
