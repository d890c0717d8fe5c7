// Saving a workbook as Office Open XML (.xlsx) through libxlsxwriter.
//
// The library runs in its constant-memory mode: each row goes to a temporary file as soon as
// the next row starts, so only our own cell store holds the whole sheet. In that mode a cell
// can only be written while its row is the current one; a merged range is therefore declared
// when its last row is written (the library then records the range and fills the cells of that
// row), and the top-left cell is written again when the range lies in one row.
#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

#include "export/atomicfile.h"
#include "export/workbook.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

constexpr size_t kMaxCellText = 32767;  // characters Excel keeps in a cell

uint8_t lxwBorder(TBorderWeight weight)
{
    switch (weight) {
    case bwThin: return LXW_BORDER_THIN;
    case bwMedium: return LXW_BORDER_MEDIUM;
    case bwNone: break;
    }
    return LXW_BORDER_NONE;
}

// One header or footer: "&L<left>&C<center>&R<right>", the parts already in the codes of the
// format; Excel takes at most 255 characters.
std::string headerText(const std::string& left, const std::string& center, const std::string& right)
{
    std::string s;
    if (!left.empty())
        s += "&L" + left;
    if (!center.empty())
        s += "&C" + center;
    if (!right.empty())
        s += "&R" + right;
    if (s.size() > 255) {
        s.resize(255);
        while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80)
            s.pop_back();  // no half character
        if (!s.empty() && static_cast<unsigned char>(s.back()) >= 0xC0)
            s.pop_back();
        if (!s.empty() && s.back() == '&')
            s.pop_back();  // no half code
    }
    return s;
}

// Cuts UTF-8 text to Excel's cell limit without splitting a character.
std::string_view cellText(std::string_view text)
{
    size_t chars = 0, i = 0;
    for (; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == kMaxCellText)
            break;
    return text.substr(0, i);
}

class XlsxWriter {
public:
    XlsxWriter(const TWorkbook& book, TAtomicFile& file) : m_book(book), m_file(file), m_formats(book.StyleCount()) {}

    void Write()
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_wb = workbook_new_opt(m_file.TempPath().c_str(), &options);
        if (!m_wb)
            m_file.Fail("libxlsxwriter");
        try {
            for (int i = 0; i < m_book.SheetCount(); ++i)
                writeSheet(m_book.Sheet(i));
        } catch (...) {
            workbook_close(m_wb);
            throw;
        }
        const lxw_error err = workbook_close(m_wb);
        if (err != LXW_NO_ERROR)
            m_file.Fail(lxw_strerror(err));
    }

private:
    lxw_format* format(uint16_t index)
    {
        if (index == 0)
            return nullptr;
        lxw_format*& f = m_formats[index];
        if (f)
            return f;
        const TCellStyle& s = m_book.Style(index);
        f = workbook_add_format(m_wb);
        if (!s.NumberFormat.empty())
            format_set_num_format(f, s.NumberFormat.c_str());
        if (!s.FontName.empty())
            format_set_font_name(f, cp1251ToUtf8(s.FontName).c_str());
        if (s.FontSize > 0)
            format_set_font_size(f, s.FontSize);
        if (s.FontColor >= 0)
            format_set_font_color(f, static_cast<lxw_color_t>(s.FontColor));
        if (s.BackColor >= 0) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, static_cast<lxw_color_t>(s.BackColor));
        }
        if (s.Bold)
            format_set_bold(f);
        if (s.Italic)
            format_set_italic(f);
        if (s.Underline)
            format_set_underline(f, LXW_UNDERLINE_SINGLE);
        if (s.StrikeOut)
            format_set_font_strikeout(f);
        if (s.Wrap)
            format_set_text_wrap(f);
        static const uint8_t horz[] = {LXW_ALIGN_NONE, LXW_ALIGN_LEFT, LXW_ALIGN_CENTER, LXW_ALIGN_RIGHT};
        static const uint8_t vert[] = {LXW_ALIGN_VERTICAL_BOTTOM, LXW_ALIGN_VERTICAL_TOP, LXW_ALIGN_VERTICAL_CENTER};
        if (s.HAlign != haGeneral)
            format_set_align(f, horz[s.HAlign]);
        if (s.VAlign != vaBottom)
            format_set_align(f, vert[s.VAlign]);
        format_set_left(f, lxwBorder(s.Border[bsLeft]));
        format_set_top(f, lxwBorder(s.Border[bsTop]));
        format_set_right(f, lxwBorder(s.Border[bsRight]));
        format_set_bottom(f, lxwBorder(s.Border[bsBottom]));
        return f;
    }

    void writeCell(lxw_worksheet* ws, const TWorksheet& sheet, int r, int c, const TCell& cell)
    {
        const auto row = static_cast<lxw_row_t>(r);
        const auto col = static_cast<lxw_col_t>(c);
        lxw_format* f = format(cell.Style);
        switch (cell.Kind) {
        case ckEmpty:
            if (f)
                worksheet_write_blank(ws, row, col, f);
            break;
        case ckNumber:
            worksheet_write_number(ws, row, col, std::isfinite(cell.Number) ? cell.Number : 0, f);
            break;
        case ckBoolean:
            worksheet_write_boolean(ws, row, col, cell.Number != 0, f);
            break;
        case ckText: {
            const std::string text(cellText(sheet.TextOf(cell)));
            worksheet_write_string(ws, row, col, text.c_str(), f);
            break;
        }
        case ckFormula: {
            std::string formula(1, '=');
            formula += sheet.TextOf(cell);
            worksheet_write_formula_num(ws, row, col, formula.c_str(), f, sheet.FormulaValue(cell));
            break;
        }
        }
    }

    void writeSheet(const TWorksheet& sheet)
    {
        lxw_worksheet* ws = workbook_add_worksheet(m_wb, sheet.Name().c_str());
        if (!ws)
            m_file.Fail(Format("Недопустимое имя листа \"%s\""_w, {utf8ToCp1251(sheet.Name())}));
        if (&sheet == &m_book.Sheet(m_book.ActiveSheet()))
            worksheet_activate(ws);
        writePageSetup(ws, sheet.PageSetup());
        const std::vector<TColumnInfo>& columns = sheet.Columns();
        for (size_t c = 0; c < columns.size(); ++c)
            if (columns[c].Width >= 0)
                worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), columns[c].Width, nullptr);

        std::vector<TMergedRange> merges = sheet.Merges();
        std::sort(merges.begin(), merges.end(), [](const TMergedRange& a, const TMergedRange& b) { return a.Row2 < b.Row2; });
        auto nextMerge = merges.begin();
        for (int r = 0; r < sheet.RowCount(); ++r) {
            const std::vector<TCell>& cells = sheet.Row(r);
            for (size_t c = 0; c < cells.size(); ++c)
                writeCell(ws, sheet, r, static_cast<int>(c), cells[c]);
            for (; nextMerge != merges.end() && nextMerge->Row2 == r; ++nextMerge) {
                const TMergedRange& m = *nextMerge;
                const TCell* topLeft = sheet.Cell(m.Row1, m.Col1);
                worksheet_merge_range(ws, static_cast<lxw_row_t>(m.Row1), static_cast<lxw_col_t>(m.Col1),
                                      static_cast<lxw_row_t>(m.Row2), static_cast<lxw_col_t>(m.Col2), "",
                                      format(topLeft ? topLeft->Style : 0));
                if (topLeft && m.Row1 == r)
                    writeCell(ws, sheet, r, m.Col1, *topLeft);
            }
        }
    }

    void writePageSetup(lxw_worksheet* ws, const TPageSetup& page)
    {
        const std::string header = headerText(page.HeaderLeft, page.HeaderCenter, page.HeaderRight);
        const std::string footer = headerText(page.FooterLeft, page.FooterCenter, page.FooterRight);
        if (!header.empty())
            worksheet_set_header(ws, header.c_str());
        if (!footer.empty())
            worksheet_set_footer(ws, footer.c_str());
        if (page.PrintTitleFirst >= 0 && page.PrintTitleLast >= page.PrintTitleFirst)
            worksheet_repeat_rows(ws, static_cast<lxw_row_t>(page.PrintTitleFirst), static_cast<lxw_row_t>(page.PrintTitleLast));
        if (page.Landscape)
            worksheet_set_landscape(ws);
        worksheet_set_margins(ws, page.MarginLeft, page.MarginRight, page.MarginTop, page.MarginBottom);
    }

    const TWorkbook& m_book;
    TAtomicFile& m_file;
    lxw_workbook* m_wb = nullptr;
    std::vector<lxw_format*> m_formats;  // by style index, made on first use
};

} // namespace

void TWorkbook::SaveXlsx(const std::string& fileName) const
{
    TAtomicFile file(fileName);
    XlsxWriter(*this, file).Write();
    file.Commit();
}

} // namespace lm
