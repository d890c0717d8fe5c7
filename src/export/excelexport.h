// TExcelExport: a dataset's rows or a grid's visible columns put into a workbook as blocks of
// tab-separated text, with the title block, column formats, footers, borders and page setup;
// saved as .xlsx. ExcelCopyDataSetDDE and ExcelCopyGridDDE wrap the whole job.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/execlheaderbuilder.h"
#include "export/exporthooks.h"
#include "export/workbook.h"
#include "util/component.h"
#include "util/variant.h"

namespace lm {

class TDataSet;
class TDBGridEh;
class TFastList;
class TField;
class TProgressBox;
class TStrings;

enum TExcelVersion { xlsvUnknown, xlsvEnglish, xlsvRussian };
enum TExcelBorderStyle { ebsNone, ebsThin, ebsMedium };

// The language of the spreadsheet program's interface; xlsvRussian unless a host changes it.
extern TExcelVersion ExcelVersion;
// Whether the workbook follows the 2007 format and its limits (set by every constructor).
extern bool ver2007;
extern int MaxExcelRows;
extern int MaxExcelCols;

class TExcelExport;
using TExportProgressEvent = std::function<void(TExcelExport* Sender, int Pos)>;
using TImportProgressEvent = std::function<void(int Count, int Num)>;

class TExcelExport : public TComponent, public IExcelDocument {
public:
    explicit TExcelExport(TComponent* owner = nullptr);
    ~TExcelExport() override;

    // Titles are the DisplayLabel of every visible field; nothing is written without one.
    void ExportDataSet(TDataSet* dataSet, const std::string& sheetName, int startRow, int startCol);
    // Titles are the captions of the visible columns; then translation, footers, grid lines
    // and fitted widths.
    void ExportGrid(TDBGridEh* grid, const std::string& sheetName, int startRow, int startCol);
    // The core export: the title block, then one row per record of `fields` (parallel to
    // `titles`; a null field gives empty cells).
    void ExportDS(TDataSet* dataSet, const TStrings& titles, const std::vector<TField*>& fields,
                  const std::string& sheetName, int startRow, int startCol, bool drawGrid);
    // Writes the workbook as .xlsx to `fileName` (atomically); with `close` the workbook is
    // released afterwards.
    void Save(const std::string& fileName, bool close);

    // 1-based cell access. A text value is read as typed text; `format` is a DisplayFormat
    // pattern ("#,##0.00"), passed through ConvertNumberFormat.
    void CellValue(int row, int col, const Variant& value, const std::string& format = std::string());
    void CellFormula(int row, int col, const std::string& formula, const std::string& format = std::string());
    static std::string CellAddr(int row, int col);
    static std::string SumFormula(int col, int row1, int row2);
    static std::string ConvertNumberFormat(const std::string& format);

    void ProgressStart(int count);
    void ProgressStep();
    void ProgressEnd();
    void CheckBook();
    void NewBook();
    void ActivateSheet(const std::string& name);
    void CheckMaxSize(int rows, int cols);
    void StartExport(int startCol, int colCount, int startRow);
    void ExportLine(const std::string& line);
    void FlushDDEBuffer();
    void DrawBorders(int top, int left, int bottom, int right, TExcelBorderStyle outer,
                     TExcelBorderStyle insideVertical, TExcelBorderStyle insideHorizontal);
    void DrawGrid();
    void AutoFit();
    void FormatCaption(int row, int leftCol, int rightCol);
    void FormatPrint();
    void FormatColumn(TField* field, int col, int recordCount, int headerRows);

    std::shared_ptr<IRange> GetRange(unsigned Col1, unsigned Row1, unsigned Col2, unsigned Row2) override;

    // State the hosts set.
    std::string Title;
    bool ShowProgress = false;
    TExportProgressEvent OnProgress;
    bool MultiHeader = false;
    std::string Lang;
    TFastList* TranslateFields = nullptr;

    TWorkbook* Workbook() const { return m_workbook.get(); }
    TWorksheet* Sheet() const { return m_sheet; }
    int LineCount() const { return m_lineCount; }

private:
    // A 1-based rectangle (Bottom and Right at least Top and Left); coordinates outside the
    // sheet raise with the range in the message.
    struct TRect { int Top, Left, Bottom, Right; };
    TRect Range(int top, int left, int bottom, int right) const;
    void translateGrid(TDBGridEh* grid);
    void writeFooters(TDBGridEh* grid);

    std::unique_ptr<TWorkbook> m_workbook;
    TWorksheet* m_sheet = nullptr;
    bool m_firstSheetUsed = false;
    std::string m_buffer;
    int m_startCol = 1, m_endCol = 1, m_startRow = 1, m_bufRow = 1, m_lineCount = 0;
    TProgressBox* m_progressBox = nullptr;  // owned as a component
};

// The number format (local syntax) of a numeric field without a DisplayFormat: "#0" for whole
// numbers, every decimal a BCD field keeps ("#0,##" for two), none for a float (General).
std::string DefaultNumberFormat(const TField* field);

// A grid or dataset exported into a new workbook from cell A1, saved when a file name is given.
void ExcelCopyDataSetDDE(TDataSet* dataSet, const std::string& sheetName, const std::string& fileName,
                         const std::string& title);
void ExcelCopyGridDDE(TDBGridEh* grid, const std::string& sheetName, const std::string& title,
                      const std::string& fileName, bool multiHeader);

} // namespace lm
