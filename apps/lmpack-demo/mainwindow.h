// TfrmGoods: the demo's main window - the goods list in the grid with its tool bar and menus for
// the filter, search, sort, colour rules, printing, export and import, the report builder, the
// goods record form, the settings and the document manager.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "demosettings.h"
#include "goodsdata.h"

class QAction;
class QLabel;
class QMenu;

namespace lm {

class TDemoConnection;
class TGoodsDocModule;
class TGoodsPrinting;
class TQtMenuView;
class TGoodsListener;
class TQtCheckedComboDB;
class TQtDBGrid;

class TfrmGoods : public QMainWindow {
    Q_OBJECT

public:
    // The goods screen over `connection` (open; it must outlive the window). Registers the
    // goods document module and fetches the goods.
    explicit TfrmGoods(TDemoConnection& connection, QWidget* parent = nullptr);
    ~TfrmGoods() override;

    TGoodsData& Data() { return m_data; }
    TQtDBGrid* GridView() const { return m_gridView; }
    TQtCheckedComboDB* VendorCombo() const { return m_vendors; }
    // The window's action of that object name (every menu and tool bar command has one).
    QAction* Action(const char* name) const;
    TDemoSettings& Settings() { return m_settings; }
    // The window the last report or import opened (an ad-hoc report or the imported rows).
    QWidget* LastResultWindow() const { return m_lastResult; }
    TGoodsPrinting& Printing() { return *m_printing; }

    // The goods record form for the good of that ID; true when it was saved.
    bool EditGoods(int id);
    // The record form for a new good; its ID, or 0 when the user cancelled.
    int NewGoods();
    // Deletes the good after the user confirms; true when deleted.
    bool DeleteGoods(int id);
    // Exports the grid into a file the user chooses: .ods when `ods`, else .xlsx. Returns the
    // file written, "" when the user cancelled.
    std::string ExportGrid(bool ods);
    // Reads a price list (.xlsx or .ods) the user chooses and shows its rows beside the goods
    // they name. Returns the number of rows read, -1 when the user cancelled.
    int ImportPriceList();
    // Prints the goods list into a PDF file the user chooses, without the preview; the number
    // of pages, 0 when cancelled.
    int PrintListToPdf();
    // The report builder; the result opens in a window of its own.
    void RunReportBuilder();
    // The settings in the property list; applied when the user accepts.
    void EditSettings();
    // Makes the stored settings take effect (keyboard, export format, fonts, totals, colours).
    void ApplySettings();
    // Refreshes the status bar and the filter commands after the list changed.
    void UpdateState();
    // Whether printed PDF files are opened in the desktop's viewer (off for scripted runs).
    bool OpenPrintedFiles = true;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Until the window has been shown once, the count and the totals are left for later: their
    // query reads every good, and the list must not wait for it.
    bool m_countDeferred = true;
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void fillFilterMenu();
    void vendorsChosen();
    void toggleKazakh(bool on);
    void showResult(QWidget* window);
    // Runs `job`, showing what it raises in a message box; false when it raised.
    bool guarded(const std::function<void()>& job);
    QAction* addAction(const char* name, const std::string& caption, const char* shortcut,
                       void (TfrmGoods::*slot)());
    void filterDialog();
    void filterSwitch();
    void searchDialog();
    void searchClear();
    void sortDialog();
    void colorsDialog();
    void exportXlsx() { ExportGrid(false); }
    void exportOds() { ExportGrid(true); }
    void importPrices() { ImportPriceList(); }
    void printPdf() { PrintListToPdf(); }
    void editCurrent();
    void newGoods() { NewGoods(); }
    void deleteCurrent();
    void documentEdit();
    void refresh();

    TDemoConnection& m_connection;
    TGoodsData m_data;
    TDemoSettings m_settings;
    TQtDBGrid* m_gridView = nullptr;
    TQtCheckedComboDB* m_vendors = nullptr;
    std::unique_ptr<TGoodsPrinting> m_printing;
    std::unique_ptr<TQtMenuView> m_printView;
    std::unique_ptr<TQtMenuView> m_designView;
    QMenu* m_printMenu = nullptr;
    QMenu* m_savedFilters = nullptr;
    QLabel* m_rowsLabel = nullptr;
    QLabel* m_filterLabel = nullptr;
    QPointer<QWidget> m_lastResult;
    std::unique_ptr<TGoodsDocModule> m_docModule;
    std::unique_ptr<TGoodsListener> m_listener;
};

} // namespace lm
