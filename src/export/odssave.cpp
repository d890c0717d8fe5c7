// Saving a workbook as an OpenDocument spreadsheet (.ods): a zip archive (libzip) whose first
// entry is the uncompressed "mimetype", then the manifest, meta.xml, styles.xml (page layout
// with header and footer) and content.xml (automatic cell, column and number styles, then one
// table per sheet). content.xml is streamed to a temporary file row by row, so a large sheet
// is never held twice in memory.
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "export/atomicfile.h"
#include "export/odsformat.h"
#include "export/workbook.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"

namespace lm {

namespace {

const char kMime[] = "application/vnd.oasis.opendocument.spreadsheet";

// The room of the page header and footer; a page layout without it shows neither.
const char kHeaderFooterStyles[] =
    "<style:header-style><style:header-footer-properties fo:min-height=\"0.75cm\" fo:margin-bottom=\"0.25cm\"/>"
    "</style:header-style><style:footer-style><style:header-footer-properties fo:min-height=\"0.75cm\" "
    "fo:margin-top=\"0.25cm\"/></style:footer-style>";

const char kNamespaces[] =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
    " xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
    " office:version=\"1.3\"";

// An output file written through a large buffer; write errors are collected and checked once.
class OutFile {
public:
    explicit OutFile(const std::string& path) : m_f(std::fopen(path.c_str(), "wb"))
    {
        if (m_f)
            std::setvbuf(m_f, nullptr, _IOFBF, 1 << 20);
    }
    ~OutFile()
    {
        if (m_f)
            std::fclose(m_f);
    }
    bool Ok() const { return m_f != nullptr; }
    OutFile& operator<<(std::string_view s)
    {
        std::fwrite(s.data(), 1, s.size(), m_f);
        return *this;
    }
    OutFile& operator<<(char c)
    {
        std::fputc(c, m_f);
        return *this;
    }
    OutFile& operator<<(int n)
    {
        std::fprintf(m_f, "%d", n);
        return *this;
    }
    // Closes the file; false when anything failed.
    bool Close()
    {
        const bool ok = !std::ferror(m_f) && std::fclose(m_f) == 0;
        m_f = nullptr;
        return ok;
    }

private:
    std::FILE* m_f;
};

void escapeXml(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters other than TAB/LF/CR have no place in XML 1.0.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += ' ';
            else
                out += c;
        }
    }
}

std::string xml(std::string_view text)
{
    std::string out;
    escapeXml(out, text);
    return out;
}

// The shortest text that reads back as the same double.
std::string number(double v)
{
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, std::isfinite(v) ? v : 0.0);
    return std::string(buf, result.ptr);
}

std::string colorText(int32_t rgb)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(rgb) & 0xFFFFFF);
    return buf;
}

// One paragraph of cell text: runs of blanks, tabs and line breaks as the format spells them.
void paragraphs(std::string& out, std::string_view text)
{
    out += "<text:p>";
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\n') {
            out += "</text:p><text:p>";
            ++i;
        } else if (c == '\r') {
            ++i;
        } else if (c == '\t') {
            out += "<text:tab/>";
            ++i;
        } else if (c == ' ' && (i == 0 || i + 1 == text.size() || text[i + 1] == ' ')) {
            size_t n = 0;
            while (i + n < text.size() && text[i + n] == ' ')
                ++n;
            out += n == 1 ? std::string("<text:s/>") : "<text:s text:c=\"" + std::to_string(n) + "\"/>";
            i += n;
        } else {
            const size_t end = text.find_first_of("\n\r\t ", i + 1);
            const size_t stop = end == std::string_view::npos ? text.size() : end;
            escapeXml(out, text.substr(i, stop - i));
            i = stop;
        }
    }
    out += "</text:p>";
}

std::string borderText(TBorderWeight w)
{
    return w == bwMedium ? "1.76pt solid #000000" : w == bwThin ? "0.74pt solid #000000" : "none";
}

// A header or footer region in the codes of the model (&D &T &P &N &&) as ODF fields.
std::string regionXml(const std::string& text)
{
    std::string out = "<text:p>";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            switch (text[++i]) {
            case 'D': out += "<text:date/>"; continue;
            case 'T': out += "<text:time/>"; continue;
            case 'P': out += "<text:page-number>1</text:page-number>"; continue;
            case 'N': out += "<text:page-count>1</text:page-count>"; continue;
            case '&': out += "&amp;"; continue;
            default: --i; break;
            }
        }
        escapeXml(out, std::string_view(&text[i], 1));
    }
    return out + "</text:p>";
}

std::string headerFooterXml(const char* tag, const std::string& l, const std::string& c, const std::string& r)
{
    if (l.empty() && c.empty() && r.empty())
        return "<style:" + std::string(tag) + " style:display=\"false\"/>";
    std::string out = "<style:" + std::string(tag) + ">";
    if (!l.empty())
        out += "<style:region-left>" + regionXml(l) + "</style:region-left>";
    if (!c.empty())
        out += "<style:region-center>" + regionXml(c) + "</style:region-center>";
    if (!r.empty())
        out += "<style:region-right>" + regionXml(r) + "</style:region-right>";
    return out + "</style:" + tag + ">";
}

class OdsWriter {
public:
    OdsWriter(const TWorkbook& book, TAtomicFile& file) : m_book(book), m_file(file) {}

    void Write()
    {
        const std::string contentPath = m_file.TempPath() + ".content";
        struct Remove {
            std::string path;
            ~Remove() { std::remove(path.c_str()); }
        } removeContent{contentPath};
        writeContent(contentPath);

        int err = 0;
        zip_t* za = zip_open(m_file.TempPath().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        if (!za)
            m_file.Fail("zip_open");
        const std::string manifest = manifestXml(), meta = metaXml(), styles = stylesXml();
        const bool ok = addBuffer(za, "mimetype", kMime, true) && addBuffer(za, "META-INF/manifest.xml", manifest, false) &&
                        addBuffer(za, "meta.xml", meta, false) && addBuffer(za, "styles.xml", styles, false) &&
                        addFile(za, "content.xml", contentPath);
        if (!ok) {
            const std::string reason = zip_strerror(za);
            zip_discard(za);
            m_file.Fail(reason);
        }
        if (zip_close(za) != 0) {
            const std::string reason = zip_strerror(za);
            zip_discard(za);
            m_file.Fail(reason);
        }
    }

private:
    // Adds a part from `src` with the compression method and level given; false on failure.
    static bool addPart(zip_t* za, const char* name, zip_source_t* src, zip_int32_t method, zip_uint32_t level)
    {
        if (!src)
            return false;
        const zip_int64_t idx = zip_file_add(za, name, src, ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(src);
            return false;
        }
        return zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), method, level) == 0;
    }

    static bool addBuffer(zip_t* za, const char* name, std::string_view data, bool stored)
    {
        return addPart(za, name, zip_source_buffer(za, data.data(), data.size(), 0), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }

    // The large part is deflated at the fastest level: most of the time of a save would
    // otherwise go to compression that gains little on markup.
    static bool addFile(zip_t* za, const char* name, const std::string& path)
    {
        return addPart(za, name, zip_source_file(za, path.c_str(), 0, -1), ZIP_CM_DEFLATE, 1);
    }

    static std::string manifestXml()
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.3\">"
               "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.3\" manifest:media-type=\"" +
               std::string(kMime) +
               "\"/>"
               "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
               "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
               "<manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>"
               "</manifest:manifest>";
    }

    static std::string metaXml()
    {
        return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-meta") + kNamespaces +
               "><office:meta><meta:generator>LMPack</meta:generator></office:meta></office:document-meta>";
    }

    // One page style per sheet (a sheet's header and footer belong to its page style).
    std::string stylesXml() const
    {
        std::string out = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles") + kNamespaces +
                          "><office:styles><style:default-style style:family=\"table-cell\">"
                          "<style:text-properties fo:language=\"ru\" fo:country=\"RU\"/></style:default-style>"
                          "<style:style style:name=\"Default\" style:family=\"table-cell\"/></office:styles>"
                          "<office:automatic-styles>";
        for (int i = 0; i < m_book.SheetCount(); ++i) {
            const TPageSetup& p = m_book.Sheet(i).PageSetup();
            char margins[200];
            std::snprintf(margins, sizeof margins,
                          " fo:margin-left=\"%.3fin\" fo:margin-right=\"%.3fin\" fo:margin-top=\"%.3fin\" fo:margin-bottom=\"%.3fin\"",
                          p.MarginLeft, p.MarginRight, p.MarginTop, p.MarginBottom);
            out += "<style:page-layout style:name=\"pm" + std::to_string(i + 1) + "\"><style:page-layout-properties" +
                   (p.Landscape ? " style:print-orientation=\"landscape\" fo:page-width=\"29.7cm\" fo:page-height=\"21cm\""
                                : " style:print-orientation=\"portrait\" fo:page-width=\"21cm\" fo:page-height=\"29.7cm\"") +
                   margins + "/>" + kHeaderFooterStyles + "</style:page-layout>";
        }
        out += "</office:automatic-styles><office:master-styles>";
        for (int i = 0; i < m_book.SheetCount(); ++i) {
            const TPageSetup& p = m_book.Sheet(i).PageSetup();
            out += "<style:master-page style:name=\"mp" + std::to_string(i + 1) + "\" style:page-layout-name=\"pm" +
                   std::to_string(i + 1) + "\">" + headerFooterXml("header", p.HeaderLeft, p.HeaderCenter, p.HeaderRight) +
                   headerFooterXml("footer", p.FooterLeft, p.FooterCenter, p.FooterRight) + "</style:master-page>";
        }
        return out + "</office:master-styles></office:document-styles>";
    }

    std::string cellStyleXml(int index, std::map<std::string, std::string>& dataStyles, std::string& numberStyles) const
    {
        const TCellStyle& s = m_book.Style(static_cast<uint16_t>(index));
        std::string out = "<style:style style:name=\"ce" + std::to_string(index) +
                          "\" style:family=\"table-cell\" style:parent-style-name=\"Default\"";
        if (!s.NumberFormat.empty()) {
            auto it = dataStyles.find(s.NumberFormat);
            if (it == dataStyles.end()) {
                const std::string name = "N" + std::to_string(dataStyles.size() + 100);
                numberStyles += OdsNumberStyle(name, s.NumberFormat);
                it = dataStyles.emplace(s.NumberFormat, name).first;
            }
            out += " style:data-style-name=\"" + it->second + "\"";
        }
        out += "><style:table-cell-properties";
        if (s.BackColor >= 0)
            out += " fo:background-color=\"" + colorText(s.BackColor) + "\"";
        static const char* const sides[] = {"left", "top", "right", "bottom"};
        for (int side = 0; side < 4; ++side)
            if (s.Border[side] != bwNone)
                out += std::string(" fo:border-") + sides[side] + "=\"" + borderText(s.Border[side]) + "\"";
        if (s.Wrap)
            out += " fo:wrap-option=\"wrap\"";
        static const char* const vert[] = {"bottom", "top", "middle"};
        out += std::string(" style:vertical-align=\"") + vert[s.VAlign] + "\"";
        if (s.HAlign != haGeneral)
            out += " style:text-align-source=\"fix\"";
        out += "/>";
        if (s.HAlign != haGeneral) {
            static const char* const horz[] = {"start", "start", "center", "end"};
            out += std::string("<style:paragraph-properties fo:text-align=\"") + horz[s.HAlign] + "\"/>";
        }
        out += "<style:text-properties";
        if (s.Bold)
            out += " fo:font-weight=\"bold\"";
        if (s.Italic)
            out += " fo:font-style=\"italic\"";
        if (s.Underline)
            out += " style:text-underline-style=\"solid\" style:text-underline-width=\"auto\" style:text-underline-color=\"font-color\"";
        if (s.StrikeOut)
            out += " style:text-line-through-style=\"solid\"";
        if (s.FontColor >= 0)
            out += " fo:color=\"" + colorText(s.FontColor) + "\"";
        if (s.FontSize > 0)
            out += " fo:font-size=\"" + std::to_string(s.FontSize) + "pt\"";
        if (!s.FontName.empty())
            out += " style:font-name=\"" + xml(cp1251ToUtf8(s.FontName)) + "\" fo:font-family=\"" + xml(cp1251ToUtf8(s.FontName)) + "\"";
        return out + "/></style:style>";
    }

    // The column style name of a width (characters), shared by equal widths.
    std::string columnStyle(const TColumnInfo& info, std::map<std::string, std::string>& columnStyles, std::string& styles) const
    {
        char width[32];
        std::snprintf(width, sizeof width, "%.3fcm", (info.Width < 0 ? 8.43 : info.Width) * 0.2);
        const std::string key = std::string(width) + (info.Optimal ? "o" : "");
        auto it = columnStyles.find(key);
        if (it == columnStyles.end()) {
            const std::string name = "co" + std::to_string(columnStyles.size() + 1);
            styles += "<style:style style:name=\"" + name +
                      "\" style:family=\"table-column\"><style:table-column-properties fo:break-before=\"auto\" style:column-width=\"" +
                      width + "\"" + (info.Optimal ? " style:use-optimal-column-width=\"true\"" : "") + "/></style:style>";
            it = columnStyles.emplace(key, name).first;
        }
        return it->second;
    }

    void writeContent(const std::string& path)
    {
        OutFile out(path);
        if (!out.Ok())
            m_file.Fail(LastErrorStr());
        std::string styles, numberStyles;
        std::map<std::string, std::string> dataStyles, columnStyles;
        for (int i = 1; i < m_book.StyleCount(); ++i)
            styles += cellStyleXml(i, dataStyles, numberStyles);
        for (int i = 0; i < m_book.SheetCount(); ++i)
            styles += "<style:style style:name=\"ta" + std::to_string(i + 1) + "\" style:family=\"table\" style:master-page-name=\"mp" +
                      std::to_string(i + 1) + "\"><style:table-properties table:display=\"true\"/></style:style>";
        std::vector<std::vector<std::string>> sheetColumns(static_cast<size_t>(m_book.SheetCount()));
        for (int i = 0; i < m_book.SheetCount(); ++i)
            for (const TColumnInfo& info : m_book.Sheet(i).Columns())
                sheetColumns[static_cast<size_t>(i)].push_back(columnStyle(info, columnStyles, styles));

        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content" << kNamespaces
            << "><office:automatic-styles>" << numberStyles << styles << "</office:automatic-styles><office:body><office:spreadsheet>";
        for (int i = 0; i < m_book.SheetCount(); ++i)
            writeTable(out, m_book.Sheet(i), i, sheetColumns[static_cast<size_t>(i)]);
        out << "</office:spreadsheet></office:body></office:document-content>";
        if (!out.Close())
            m_file.Fail(LastErrorStr());
    }

    void writeTable(OutFile& out, const TWorksheet& sheet, int index, const std::vector<std::string>& columns)
    {
        out << "<table:table table:name=\"" << xml(sheet.Name()) << "\" table:style-name=\"ta" << (index + 1) << "\">";
        const TPageSetup& page = sheet.PageSetup();
        const bool titles = page.PrintTitleFirst >= 0 && page.PrintTitleLast >= page.PrintTitleFirst;
        for (const std::string& column : columns)
            out << "<table:table-column table:style-name=\"" << column << "\"/>";
        if (columns.empty())
            out << "<table:table-column/>";
        // Merged ranges by their top-left cell.
        std::map<std::pair<int, int>, const TMergedRange*> merges;
        for (const TMergedRange& m : sheet.Merges())
            merges[{m.Row1, m.Col1}] = &m;
        std::string line;
        int emptyRows = 0;
        for (int r = 0; r < sheet.RowCount(); ++r) {
            const bool header = titles && r >= page.PrintTitleFirst && r <= page.PrintTitleLast;
            if (header && r == page.PrintTitleFirst)
                flushEmptyRows(out, emptyRows), out << "<table:table-header-rows>";
            line.clear();
            const std::vector<TCell>& cells = sheet.Row(r);
            if (cells.empty() && !header) {
                ++emptyRows;
                continue;
            }
            flushEmptyRows(out, emptyRows);
            line += "<table:table-row>";
            for (size_t c = 0; c < cells.size(); ++c)
                writeCell(line, sheet, static_cast<int>(r), static_cast<int>(c), cells[c], merges);
            if (cells.empty())
                line += "<table:table-cell/>";
            line += "</table:table-row>";
            out << line;
            if (header && r == page.PrintTitleLast)
                out << "</table:table-header-rows>";
        }
        if (titles && page.PrintTitleLast >= sheet.RowCount()) {
            // Title rows beyond the data: close the group with empty rows.
            flushEmptyRows(out, emptyRows);
            out << "<table:table-row table:number-rows-repeated=\"" << (page.PrintTitleLast - std::max(sheet.RowCount(), page.PrintTitleFirst) + 1)
                << "\"><table:table-cell/></table:table-row></table:table-header-rows>";
        }
        out << "</table:table>";
    }

    static void flushEmptyRows(OutFile& out, int& count)
    {
        if (count > 0)
            out << "<table:table-row table:number-rows-repeated=\"" << count << "\"><table:table-cell/></table:table-row>";
        count = 0;
    }

    void writeCell(std::string& line, const TWorksheet& sheet, int r, int c, const TCell& cell,
                   const std::map<std::pair<int, int>, const TMergedRange*>& merges)
    {
        const bool covered = sheet.IsCovered(r, c);
        line += covered ? "<table:covered-table-cell" : "<table:table-cell";
        if (cell.Style != 0)
            line += " table:style-name=\"ce" + std::to_string(cell.Style) + "\"";
        if (!covered) {
            if (auto it = merges.find({r, c}); it != merges.end()) {
                const TMergedRange& m = *it->second;
                line += " table:number-columns-spanned=\"" + std::to_string(m.Col2 - m.Col1 + 1) +
                        "\" table:number-rows-spanned=\"" + std::to_string(m.Row2 - m.Row1 + 1) + "\"";
            }
        }
        const bool date = cell.Style != 0 && m_book.Style(cell.Style).IsDateFormat();
        switch (cell.Kind) {
        case ckEmpty:
            line += "/>";
            return;
        case ckNumber:
            if (date)
                line += " office:value-type=\"date\" office:date-value=\"" + OdsDateValue(cell.Number) + "\"/>";
            else
                line += " office:value-type=\"float\" office:value=\"" + number(cell.Number) + "\"/>";
            return;
        case ckBoolean:
            line += std::string(" office:value-type=\"boolean\" office:boolean-value=\"") + (cell.Number != 0 ? "true" : "false") + "\"/>";
            return;
        case ckFormula:
            line += " table:formula=\"of:=" + xml(OdsFormula(sheet.TextOf(cell))) + "\" office:value-type=\"float\" office:value=\"" +
                    number(sheet.FormulaValue(cell)) + "\"/>";
            return;
        case ckText:
            line += " office:value-type=\"string\">";
            paragraphs(line, sheet.TextOf(cell));
            line += covered ? "</table:covered-table-cell>" : "</table:table-cell>";
            return;
        }
    }

    const TWorkbook& m_book;
    TAtomicFile& m_file;
};

} // namespace

void TWorkbook::SaveOds(const std::string& fileName) const
{
    TAtomicFile file(fileName);
    OdsWriter(*this, file).Write();
    file.Commit();
}

} // namespace lm
