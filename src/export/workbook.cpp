// The workbook model: cell storage, shared styles, merges, column fitting, number formats.
#include "export/workbook.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

// UTF-8 characters of a text line (continuation bytes not counted).
int charCount(std::string_view text)
{
    int n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

// The widest line of a text, in characters.
int widestLine(std::string_view text)
{
    int widest = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        widest = std::max(widest, charCount(text.substr(start, end - start)));
        start = end + 1;
    }
    return widest;
}

// Characters a number takes as shown: a date its pattern's length, otherwise its digits (with
// room for grouping and two decimals when the format has them).
int numberWidth(double value, const TCellStyle& style)
{
    if (style.IsDateFormat())
        return static_cast<int>(style.NumberFormat.size());
    char buf[32];
    int width = std::snprintf(buf, sizeof buf, "%.10g", value);
    if (style.NumberFormat.find(',') != std::string::npos)
        width += width / 3;
    if (style.NumberFormat.find('.') != std::string::npos)
        width += 2;
    return width;
}

std::string styleKey(const TCellStyle& s)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, "%d|%d|%d|%d%d%d%d%d|%d|%d|%d%d%d%d|", s.FontSize, s.FontColor, s.BackColor,
                  s.Bold, s.Italic, s.Underline, s.StrikeOut, s.Wrap, s.HAlign, s.VAlign, s.Border[0], s.Border[1],
                  s.Border[2], s.Border[3]);
    return buf + s.FontName + '|' + s.NumberFormat;
}

} // namespace

// --- formats --------------------------------------------------------------------------------

bool IsDateNumberFormat(std::string_view format)
{
    bool quoted = false, bracket = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quoted) {
            quoted = c != '"';
        } else if (bracket) {
            bracket = c != ']';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '[') {
            bracket = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else {
            switch (c) {
            case 'd': case 'D': case 'm': case 'M': case 'y': case 'Y': case 'h': case 'H': case 's': case 'S':
                return true;
            default: break;
            }
        }
    }
    return false;
}

bool TCellStyle::IsDateFormat() const { return IsDateNumberFormat(NumberFormat); }

std::string NumberFormatFromLocal(std::string_view format)
{
    if (format == "@" || IsDateNumberFormat(format))
        return cp1251ToUtf8(format);
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"')
            quoted = !quoted;
        if (quoted || c == '"') {
            out += c;
        } else if (c == ',') {
            out += '.';
        } else if (c == '\xA0' || (c == ' ' && i > 0 && i + 1 < format.size() &&
                                   (format[i - 1] == '#' || format[i - 1] == '0') &&
                                   (format[i + 1] == '#' || format[i + 1] == '0'))) {
            out += ',';  // grouping between digit places
        } else {
            out += c;
        }
    }
    return cp1251ToUtf8(out);
}

std::string ColumnLetters(int col)
{
    std::string s;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        s.insert(s.begin(), static_cast<char>('A' + (n - 1) % 26));
    return s;
}

bool ParseCellRef(std::string_view ref, int& row, int& col)
{
    size_t i = 0;
    if (i < ref.size() && ref[i] == '$')
        ++i;
    long c = 0, r = 0;
    const size_t letters = i;
    while (i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        c = c * 26 + ((ref[i] | 0x20) - 'a' + 1);
        if (c > kMaxSheetCols)
            return false;
        ++i;
    }
    if (i == letters)
        return false;
    if (i < ref.size() && ref[i] == '$')
        ++i;
    const size_t digits = i;
    while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9') {
        r = r * 10 + (ref[i] - '0');
        if (r > kMaxSheetRows)
            return false;
        ++i;
    }
    if (i == digits || i != ref.size() || r == 0)
        return false;
    row = static_cast<int>(r - 1);
    col = static_cast<int>(c - 1);
    return true;
}

// --- worksheet ------------------------------------------------------------------------------

TCell& TWorksheet::at(int row, int col)
{
    if (row < 0 || col < 0 || row >= kMaxSheetRows || col >= kMaxSheetCols)
        throw Exception(Format("Cell (%d, %d) lies outside the sheet", {row + 1, col + 1}));
    if (static_cast<size_t>(row) >= m_rows.size())
        m_rows.resize(static_cast<size_t>(row) + 1);
    std::vector<TCell>& cells = m_rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(col) >= cells.size())
        cells.resize(static_cast<size_t>(col) + 1);
    m_colCount = std::max(m_colCount, col + 1);
    return cells[static_cast<size_t>(col)];
}

void TWorksheet::storeText(TCell& cell, std::string_view text)
{
    cell.TextOffset = m_text.size();
    cell.TextLength = static_cast<uint32_t>(text.size());
    m_text.append(text);
}

void TWorksheet::SetNumber(int row, int col, double value)
{
    TCell& cell = at(row, col);
    cell.Kind = ckNumber;
    cell.Number = value;
}

void TWorksheet::SetText(int row, int col, std::string_view utf8)
{
    TCell& cell = at(row, col);
    cell.Kind = ckText;
    storeText(cell, utf8);
}

void TWorksheet::SetBoolean(int row, int col, bool value)
{
    TCell& cell = at(row, col);
    cell.Kind = ckBoolean;
    cell.Number = value ? 1 : 0;
}

void TWorksheet::SetFormula(int row, int col, std::string_view formula)
{
    TCell& cell = at(row, col);
    cell.Kind = ckFormula;
    storeText(cell, formula);
}

void TWorksheet::Clear(int row, int col)
{
    if (const TCell* existing = Cell(row, col)) {
        TCell& cell = const_cast<TCell&>(*existing);
        cell.Kind = ckEmpty;
        cell.Number = 0;
    }
}

void TWorksheet::SetStyle(int row, int col, uint16_t style) { at(row, col).Style = style; }

const TCell* TWorksheet::Cell(int row, int col) const
{
    if (row < 0 || col < 0 || static_cast<size_t>(row) >= m_rows.size())
        return nullptr;
    const std::vector<TCell>& cells = m_rows[static_cast<size_t>(row)];
    return static_cast<size_t>(col) < cells.size() ? &cells[static_cast<size_t>(col)] : nullptr;
}

double TWorksheet::sumRange(std::string_view range) const
{
    const size_t colon = range.find(':');
    int r1, c1, r2, c2;
    if (colon == std::string_view::npos) {
        if (!ParseCellRef(range, r1, c1))
            return 0;
        r2 = r1;
        c2 = c1;
    } else if (!ParseCellRef(range.substr(0, colon), r1, c1) || !ParseCellRef(range.substr(colon + 1), r2, c2)) {
        return 0;
    }
    double sum = 0;
    for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r)
        for (int c = std::min(c1, c2); c <= std::max(c1, c2); ++c)
            if (const TCell* cell = Cell(r, c); cell && cell->Kind == ckNumber)
                sum += cell->Number;
    return sum;
}

double TWorksheet::FormulaValue(const TCell& cell) const
{
    std::string_view f = TextOf(cell);
    if (f.size() > 5 && f.substr(0, 4) == "SUM(" && f.back() == ')')
        return sumRange(f.substr(4, f.size() - 5));
    return 0;
}

bool TWorksheet::UsedRange(int& row1, int& col1, int& row2, int& col2) const
{
    row1 = row2 = col2 = -1;
    col1 = kMaxSheetCols;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const std::vector<TCell>& cells = m_rows[r];
        for (size_t c = 0; c < cells.size(); ++c) {
            if (cells[c].Kind == ckEmpty && cells[c].Style == 0)
                continue;
            if (row1 < 0)
                row1 = static_cast<int>(r);
            row2 = static_cast<int>(r);
            col1 = std::min(col1, static_cast<int>(c));
            col2 = std::max(col2, static_cast<int>(c));
        }
    }
    return row1 >= 0;
}

void TWorksheet::Merge(int row1, int col1, int row2, int col2)
{
    if (row1 > row2)
        std::swap(row1, row2);
    if (col1 > col2)
        std::swap(col1, col2);
    at(row2, col2);  // checks the bounds
    if (row1 == row2 && col1 == col2)
        return;  // a cell merged with itself changes nothing
    // A new range replaces the ranges it overlaps.
    std::erase_if(m_merges, [&](const TMergedRange& m) {
        return m.Row1 <= row2 && row1 <= m.Row2 && m.Col1 <= col2 && col1 <= m.Col2;
    });
    m_merges.push_back({row1, col1, row2, col2});
}

bool TWorksheet::IsCovered(int row, int col) const
{
    for (const TMergedRange& m : m_merges)
        if (row >= m.Row1 && row <= m.Row2 && col >= m.Col1 && col <= m.Col2)
            return row != m.Row1 || col != m.Col1;
    return false;
}

bool TWorksheet::startsWideMerge(int row, int col) const
{
    for (const TMergedRange& m : m_merges)
        if (m.Row1 == row && m.Col1 == col && m.Col2 > m.Col1)
            return true;
    return false;
}

TColumnInfo& TWorksheet::Column(int col)
{
    if (col < 0 || col >= kMaxSheetCols)
        throw Exception(Format("Cell (%d, %d) lies outside the sheet", {1, col + 1}));
    if (static_cast<size_t>(col) >= m_columns.size())
        m_columns.resize(static_cast<size_t>(col) + 1);
    return m_columns[static_cast<size_t>(col)];
}

void TWorksheet::AutoFit(int col1, int col2)
{
    if (col2 < col1)
        return;
    std::vector<int> widest(static_cast<size_t>(col2 - col1 + 1), 0);
    int lastMergeRow = -1;
    for (const TMergedRange& m : m_merges)
        lastMergeRow = std::max(lastMergeRow, m.Row2);
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const bool mergeRow = static_cast<int>(r) <= lastMergeRow;
        const std::vector<TCell>& cells = m_rows[r];
        for (int c = col1; c <= col2 && c < static_cast<int>(cells.size()); ++c) {
            const TCell& cell = cells[static_cast<size_t>(c)];
            int width = 0;
            if (cell.Kind == ckText)
                width = widestLine(TextOf(cell));
            else if (cell.Kind == ckNumber || cell.Kind == ckFormula)
                width = numberWidth(cell.Kind == ckNumber ? cell.Number : FormulaValue(cell), m_book->Style(cell.Style));
            else if (cell.Kind == ckBoolean)
                width = 5;
            int& w = widest[static_cast<size_t>(c - col1)];
            // Merged cells do not widen their column (the top-left one of a range that spans
            // columns has the room of the whole range).
            if (width <= w || (mergeRow && (IsCovered(static_cast<int>(r), c) || startsWideMerge(static_cast<int>(r), c))))
                continue;
            w = width;
        }
    }
    for (int c = col1; c <= col2; ++c) {
        TColumnInfo& info = Column(c);
        info.Width = std::clamp(widest[static_cast<size_t>(c - col1)] + 1.5, 4.0, 255.0);
        info.Optimal = true;
    }
}

// --- workbook -------------------------------------------------------------------------------

TWorkbook::TWorkbook() { AddStyle(TCellStyle()); }

TWorksheet* TWorkbook::FindSheet(std::string_view name) const
{
    for (const auto& sheet : m_sheets)
        if (sheet->Name() == name)
            return sheet.get();
    return nullptr;
}

TWorksheet& TWorkbook::AddSheet(std::string name, int index)
{
    auto sheet = std::make_unique<TWorksheet>(this, std::move(name));
    TWorksheet& added = *sheet;
    if (index < 0 || static_cast<size_t>(index) > m_sheets.size())
        m_sheets.push_back(std::move(sheet));
    else
        m_sheets.insert(m_sheets.begin() + index, std::move(sheet));
    return added;
}

void TWorkbook::DeleteSheet(int index)
{
    m_sheets.erase(m_sheets.begin() + index);
    if (m_active >= SheetCount())
        m_active = std::max(0, SheetCount() - 1);
}

uint16_t TWorkbook::AddStyle(const TCellStyle& style)
{
    const std::string key = styleKey(style);
    if (auto it = m_styleIndex.find(key); it != m_styleIndex.end())
        return it->second;
    if (m_styles.size() >= 65535)
        throw Exception("Too many different cell formats");
    m_styles.push_back(style);
    const auto index = static_cast<uint16_t>(m_styles.size() - 1);
    m_styleIndex.emplace(key, index);
    return index;
}

} // namespace lm
