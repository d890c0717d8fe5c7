// TWorkbook: the spreadsheet document both export back ends fill — sheets of compactly stored
// cells with shared styles, merged ranges, column widths and page setup — and that the xlsx and
// ods writers save.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lm {

enum THorzAlign : uint8_t { haGeneral, haLeft, haCenter, haRight };
enum TVertAlign : uint8_t { vaBottom, vaTop, vaCenter };
// Border weight of one side: none, thin or medium.
enum TBorderWeight : uint8_t { bwNone, bwThin, bwMedium };
enum TBorderSide : uint8_t { bsLeft, bsTop, bsRight, bsBottom };

// The look of a cell. Colours are 0xRRGGBB, negative for "not set". The number format is in
// the file's own syntax and UTF-8 ("#,##0.00", "DD.MM.YYYY", "@"); empty means General. The
// font name is Windows-1251.
struct TCellStyle {
    std::string NumberFormat;
    std::string FontName;
    int FontSize = 0;          // points; 0 = the default
    int32_t FontColor = -1;
    int32_t BackColor = -1;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool Wrap = false;
    THorzAlign HAlign = haGeneral;
    TVertAlign VAlign = vaBottom;
    TBorderWeight Border[4] = {bwNone, bwNone, bwNone, bwNone};  // by TBorderSide
    bool operator==(const TCellStyle&) const = default;
    // Whether the number format shows dates or times.
    bool IsDateFormat() const;
};

enum TCellKind : uint8_t { ckEmpty, ckNumber, ckText, ckFormula, ckBoolean };

// One stored cell: 16 bytes. Text lives in the sheet's text arena (UTF-8); a formula keeps its
// text (without "=") there too.
struct TCell {
    union {
        double Number;
        uint64_t TextOffset;
    };
    uint32_t TextLength;
    uint16_t Style;
    TCellKind Kind;
    TCell() : Number(0), TextLength(0), Style(0), Kind(ckEmpty) {}
};

struct TMergedRange {
    int Row1, Col1, Row2, Col2;  // 0-based, inclusive
};

struct TColumnInfo {
    double Width = -1;     // in characters of the default font; negative = the default width
    bool Optimal = false;  // fitted to the contents
};

// Page header and footer parts use the codes &D (date), &T (time), &P (page), &N (pages) and
// && (an ampersand).
struct TPageSetup {
    std::string HeaderLeft, HeaderCenter, HeaderRight;
    std::string FooterLeft, FooterCenter, FooterRight;
    int PrintTitleFirst = -1, PrintTitleLast = -1;  // rows repeated on each page, 0-based
    bool Landscape = false;
    double MarginLeft = 0.7, MarginRight = 0.7, MarginTop = 0.75, MarginBottom = 0.75;  // inches
};

class TWorkbook;

class TWorksheet {
public:
    TWorksheet(TWorkbook* book, std::string name) : m_book(book), m_name(std::move(name)) {}
    TWorksheet(const TWorksheet&) = delete;
    TWorksheet& operator=(const TWorksheet&) = delete;

    // The name, UTF-8.
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    TWorkbook& Book() const { return *m_book; }

    // Writers keep the style a cell already has. Text is UTF-8; coordinates are 0-based and
    // limited to 1048576 rows and 16384 columns (lm::Exception beyond).
    void SetNumber(int row, int col, double value);
    void SetText(int row, int col, std::string_view utf8);
    void SetBoolean(int row, int col, bool value);
    // A formula without its leading "=", e.g. "SUM(C2:C10)".
    void SetFormula(int row, int col, std::string_view formula);
    void Clear(int row, int col);
    void SetStyle(int row, int col, uint16_t style);

    // The cell, or nullptr when the row or column holds nothing there.
    const TCell* Cell(int row, int col) const;
    // The text (or formula) of a cell, UTF-8.
    std::string_view TextOf(const TCell& cell) const { return {m_text.data() + cell.TextOffset, cell.TextLength}; }
    // The value of a formula the writers store with it: SUM over a range of this sheet's
    // numbers; 0 for anything else.
    double FormulaValue(const TCell& cell) const;

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // The cells of a row, by column (may be shorter than the used width).
    const std::vector<TCell>& Row(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // Used area: the smallest rectangle holding every stored cell; false when there is none.
    bool UsedRange(int& row1, int& col1, int& row2, int& col2) const;
    int ColCount() const { return m_colCount; }

    // Changes the style of every cell of the rectangle (creating empty cells where needed)
    // through `change`, sharing the resulting styles.
    template <typename F>
    void ChangeStyle(int row1, int col1, int row2, int col2, F change);

    void Merge(int row1, int col1, int row2, int col2);
    const std::vector<TMergedRange>& Merges() const { return m_merges; }
    // Whether the cell is covered by a merged range without being its top-left cell.
    bool IsCovered(int row, int col) const;

    TColumnInfo& Column(int col);
    const std::vector<TColumnInfo>& Columns() const { return m_columns; }
    // Sets the columns' widths to fit their texts (merged cells ignored) and marks them optimal.
    void AutoFit(int col1, int col2);

    TPageSetup& PageSetup() { return m_page; }
    const TPageSetup& PageSetup() const { return m_page; }

private:
    TCell& at(int row, int col);
    void storeText(TCell& cell, std::string_view text);
    double sumRange(std::string_view range) const;
    bool startsWideMerge(int row, int col) const;

    TWorkbook* m_book;
    std::string m_name;
    std::vector<std::vector<TCell>> m_rows;
    std::string m_text;  // text arena
    std::vector<TMergedRange> m_merges;
    std::vector<TColumnInfo> m_columns;
    TPageSetup m_page;
    int m_colCount = 0;
};

class TWorkbook {
public:
    TWorkbook();
    TWorkbook(const TWorkbook&) = delete;
    TWorkbook& operator=(const TWorkbook&) = delete;

    int SheetCount() const { return static_cast<int>(m_sheets.size()); }
    TWorksheet& Sheet(int index) const { return *m_sheets.at(static_cast<size_t>(index)); }
    // The sheet of that name (UTF-8, exact), or nullptr.
    TWorksheet* FindSheet(std::string_view name) const;
    // Adds a sheet at `index` (-1: at the end).
    TWorksheet& AddSheet(std::string name, int index = -1);
    void DeleteSheet(int index);
    int ActiveSheet() const { return m_active; }
    void SetActiveSheet(int index) { m_active = index; }

    // Style 0 is the default look. Equal styles share one index; lm::Exception when a
    // workbook would need more than 65535 styles.
    uint16_t AddStyle(const TCellStyle& style);
    const TCellStyle& Style(uint16_t index) const { return m_styles[index]; }
    int StyleCount() const { return static_cast<int>(m_styles.size()); }

    // Writes the workbook to `fileName` atomically (a temporary file beside it renamed over the
    // target; the old file stays when anything fails). Raises EInOutError.
    void SaveXlsx(const std::string& fileName) const;
    void SaveOds(const std::string& fileName) const;

private:
    std::vector<std::unique_ptr<TWorksheet>> m_sheets;
    std::vector<TCellStyle> m_styles;
    std::map<std::string, uint16_t> m_styleIndex;  // by a key of every attribute
    int m_active = 0;
};

// The column letters of a 0-based column: 0 gives A, 25 Z, 26 AA.
std::string ColumnLetters(int col);
// Parses "B3" into 0-based row and column; false when it is not a cell reference.
bool ParseCellRef(std::string_view ref, int& row, int& col);

// A format in the local syntax of the Russian settings ("," decimal, blank or no-break space
// grouping; Windows-1251) in the file syntax ("." decimal, "," grouping; UTF-8). Date formats
// and "@" keep their characters.
std::string NumberFormatFromLocal(std::string_view format);
// Whether a number format (file syntax) shows dates or times.
bool IsDateNumberFormat(std::string_view format);

inline constexpr int kMaxSheetRows = 1048576;
inline constexpr int kMaxSheetCols = 16384;

template <typename F>
void TWorksheet::ChangeStyle(int row1, int col1, int row2, int col2, F change)
{
    std::map<uint16_t, uint16_t> done;
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c) {
            TCell& cell = at(r, c);
            auto it = done.find(cell.Style);
            if (it == done.end()) {
                TCellStyle style = m_book->Style(cell.Style);
                change(style);
                it = done.emplace(cell.Style, m_book->AddStyle(style)).first;
            }
            cell.Style = it->second;
        }
}

} // namespace lm
