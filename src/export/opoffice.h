// OpExcelOleCopyGrideh: a grid's visible columns, or a dataset's visible fields, put into a new
// spreadsheet document in one data array per sheet (sheets of at most 250 columns), with the
// title block, formats, colours, borders, page header and footer; saved as .ods or printed.
// TOpenOffice is the document as that export drives it.
#pragma once

#include <memory>
#include <string>

#include "export/execlheaderbuilder.h"
#include "export/sheetrange.h"
#include "export/workbook.h"
#include "host/graphics.h"
#include "util/variant.h"

namespace lm {

class TDataSet;
class TDBGridEh;

class TOpenOffice : public IExcelDocument {
public:
    TOpenOffice();

    bool Connect() { return true; }
    bool IsDocumentOpen() const { return m_document != nullptr; }
    // A new document with the one sheet "Лист1", or the sheets and values of an existing
    // TemplateFile (.xlsx or .ods). Returns whether a document is open.
    bool NewDocument(const std::string& templateFile);
    // The file URL of a Windows path: "file://localhost/" + path, blanks as "%20", "\" as "/".
    static std::string ConvertToURL(const std::string& path);
    // Writes the document as .ods, atomically.
    void SaveToFile(const std::string& path);
    void CloseDocument() { m_document.reset(); m_sheet = nullptr; }
    void PrintDocument(int orientation);
    void SelectSheet(int index);
    void ActivateSheetByName(const std::string& name);

    // Kind 0: a value (a text that reads as a number becomes that number), 1: a formula,
    // 2 and others: a text. Coordinates are 0-based on the current sheet.
    void SetCell(int col, int row, const Variant& value, int kind);
    // Kind 0: the number (0 for text), 1: the formula text, others: the text shown.
    Variant GetCell(int kind, int col, int row) const;
    void SetHeader(const std::string& left, const std::string& center, const std::string& right);
    void SetFooter(const std::string& left, const std::string& center, const std::string& right);
    // Colours as the platform numbers them (0x00BBGGRR); only values above 0 are applied.
    void SetColors(const TSheetRange& range, TColor fontColor, TColor backColor);
    void SetFont(const TSheetRange& range, const TFont& font, bool withColor);
    // Horizontal 1 left, 2 centre, 3 right; vertical 1 top, 2 centre, 3 bottom.
    void SetAlignment(const TSheetRange& range, int hori, int vert, bool wrap);
    // Width in 1/100 mm (ignored when negative).
    void SetColumnWidth(int col, int width, bool optimal);
    // Kind 1 removes the borders, 2 top, 3 bottom, 4 left, 5 right, 6 all four sides of every
    // cell; width in 1/100 mm (thin up to 0.5 mm, medium above).
    void SetBorders(const TSheetRange& range, int kind, int width);
    // A number format in the local syntax.
    void SetNumberFormat(const TSheetRange& range, const std::string& format);
    TSheetRange CellRange(int col1, int row1, int col2, int row2) const { return TSheetRange(m_sheet, row1, col1, row2, col2); }

    std::shared_ptr<IRange> GetRange(unsigned Col1, unsigned Row1, unsigned Col2, unsigned Row2) override;

    TWorkbook* Document() const { return m_document.get(); }
    std::unique_ptr<TWorkbook> TakeDocument() { m_sheet = nullptr; return std::move(m_document); }
    TWorksheet* Sheet() const { return m_sheet; }

    bool Failed = false;
    int RecordCount = 0;
    bool UseColors = false;
    TFont HeaderFont;

private:
    std::unique_ptr<TWorkbook> m_document;
    TWorksheet* m_sheet = nullptr;
};

// The 15 parameters of the export; see the header comment. Never raises: an error is shown in
// a message box (with ShowProgress) and the function returns false; nothing is left at
// FileName after a failure, and an existing file there is kept.
bool OpExcelOleCopyGrideh(TDBGridEh* Grid, TDataSet* DataSet, const std::string& Title, const std::string& SheetName,
                          bool MultiHeader, const std::string& TemplateFile, bool OptimalWidth, bool DrawBorders,
                          bool PageHeaderFooter, bool Colors, const std::string& KeyField, const std::string& FileName,
                          bool ShowProgress, bool PrintDoc, int Orientation);

// The sheet name of a base name: only the blank, the digits, A-Z, a-z, the underscore and the
// Russian letters (Ё and ё included) are kept.
std::string CleanSheetName(const std::string& name);

} // namespace lm
