// TfrmReportDesigner: the report designer window over a TDesignDoc — the page with its bands
// and objects, the selected object's text, font, frame, alignment and position, a band's data
// source or condition and script, the report's variables and script (coloured by the formula
// highlighter), undo and redo, preview and save.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/ui/frmpackroot.h"
#include "report/designdoc.h"
#include "report/reporthooks.h"

class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace lm {

class TDesignCanvas;

class TfrmReportDesigner : public TfrmPackRoot {
    Q_OBJECT

public:
    TfrmReportDesigner(TDesignDoc& doc, TDesignRun& run, const QString& title, QWidget* parent = nullptr);
    ~TfrmReportDesigner() override;

    // Run the designer modally on a report of either model.
    static void Execute(TfrReport& report, TDesignRun& run, QWidget* parent = nullptr);
    static void Execute(TfrxReport& report, TDesignRun& run, QWidget* parent = nullptr);
    // Makes Execute the designer of both print menus.
    static void Install();

    TDesignCanvas* Canvas() const { return m_canvas; }
    bool Modified() const { return m_modified; }
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    void Undo();
    void Redo();
    bool Save();
    // One undoable change: `edit` runs on the document after its state was remembered.
    void Change(const std::function<void()>& edit);

protected:
    void reject() override;

private:
    QWidget* buildToolbar();
    QWidget* buildProperties();
    QWidget* buildVariables();
    QWidget* buildScript();
    void showSelection();
    void showDocument();
    void applyFont();
    void remember();

    TDesignDoc& m_doc;
    TDesignRun& m_run;
    TDesignCanvas* m_canvas;
    std::vector<std::string> m_undo, m_redo;
    std::string m_pending;  // the state before a gesture of the canvas
    bool m_modified = false;
    bool m_filling = false;
    QToolButton* m_undoButton;
    QToolButton* m_redoButton;
    QFontComboBox* m_fontName;
    QSpinBox* m_fontSize;
    QToolButton* m_bold;
    QToolButton* m_italic;
    QToolButton* m_underline;
    QToolButton* m_frame;
    std::vector<QToolButton*> m_aligns;
    QLabel* m_objectName;
    QPlainTextEdit* m_text;
    QLineEdit* m_source;
    QPlainTextEdit* m_bandScript;
    std::vector<QSpinBox*> m_bounds;
    QTableWidget* m_variables;
    QPlainTextEdit* m_script;
    QComboBox* m_page;
};

} // namespace lm
