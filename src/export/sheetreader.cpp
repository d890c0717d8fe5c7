// Reading xlsx and ods workbooks.
//
// xlsx (Office Open XML): xl/workbook.xml lists the sheets with relationship ids that
// xl/_rels/workbook.xml.rels maps to sheet parts; cells (<c r="B3" t=".." s="..">) hold a
// value <v>, an index into xl/sharedStrings.xml (t="s") or inline text <is><t> (t="inlineStr");
// the style index s leads through styles.xml's cellXfs to a number format, which tells dates
// from numbers and gives the displayed text.
// ods (OpenDocument): content.xml holds <table:table> elements of rows and cells; repeated
// rows and cells carry a count; covered cells of merged ranges take their column; a cell's
// typed value is in office:value-type and its value attributes, its displayed text in <text:p>.
//
// Every part is streamed from the archive into expat, so memory follows the cells kept, not
// the file size. Coordinates beyond the sheet limits are ignored and repeated content is
// expanded only up to a budget, so a hostile file cannot exhaust memory.
#include "export/sheetreader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "export/workbook.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/sysutils.h"

namespace lm {

namespace {

constexpr size_t kCellBudget = 20'000'000;      // cells kept per sheet
constexpr zip_uint64_t kMaxPartSize = 1u << 30;  // bytes of one decompressed part

[[noreturn]] void notWorkbook(const std::string& name)
{
    throw Exception(Format("Файл %s не является книгой xlsx или ods"_w, {name}));
}

// The local part of a possibly prefixed XML name.
std::string_view local(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

const char* attr(const char** atts, std::string_view name)
{
    for (int i = 0; atts[i]; i += 2)
        if (local(atts[i]) == name)
            return atts[i + 1];
    return nullptr;
}

// A whole non-negative count, capped.
long countOf(const char* text, long cap)
{
    if (!text)
        return 1;
    long n = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        if ((n = n * 10 + (*p - '0')) > cap)
            return cap;
    return n < 1 ? 1 : n;
}

// A non-negative number (an index or an id); `def` when the text is missing or not a number.
long numberOf(const char* text, long def)
{
    if (!text || *text < '0' || *text > '9')
        return def;
    long n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || n > (1L << 40))
            return def;
        n = n * 10 + (*p - '0');
    }
    return n;
}

bool readDouble(const char* text, double& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end && *end == '\0' && std::isfinite(value);
}

// --- number formats and displayed text ------------------------------------------------------

std::string builtinFormat(int id)
{
    switch (id) {
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 14: return "dd.mm.yyyy";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "dd.mm.yyyy h:mm";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mm:ss.0";
    case 49: return "@";
    default: return std::string();
    }
}

// A format code of the file in the pattern language of FormatFloat / FormatDateTime: colour
// and locale brackets dropped, escapes quoted, padding and spacing marks removed.
std::string patternOf(std::string_view code, bool date, bool& percent)
{
    std::string out;
    percent = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? code.size() : close;
            out += code.substr(i, end - i + 1);
            if (close == std::string_view::npos)
                out += '"';
            i = end;
        } else if (c == '[') {
            const size_t close = code.find(']', i);
            const std::string_view inside = code.substr(i + 1, (close == std::string_view::npos ? code.size() : close) - i - 1);
            if (date && !inside.empty() && (inside[0] == 'h' || inside[0] == 'H'))
                out += inside;  // elapsed hours shown as hours
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' && i + 1 < code.size()) {
            out += '"';
            out += code[++i];
            out += '"';
        } else if ((c == '_' || c == '*') && i + 1 < code.size()) {
            if (c == '_')
                out += ' ';
            ++i;
        } else if (c == '%' && !date) {
            percent = true;
            out += "\"%\"";
        } else {
            out += date ? static_cast<char>(c >= 'A' && c <= 'Z' && c != 'M' ? c + 32 : c) : c;
        }
    }
    return out;
}

std::string displayNumber(double value, const std::string& code)
{
    if (code.empty() || code == "@" || code == "General" || code == "general")
        return FloatToStr(value);
    const bool date = IsDateNumberFormat(code);
    bool percent = false;
    const std::string pattern = patternOf(code, date, percent);
    try {
        if (date)
            return FormatDateTime(pattern, value);
        return FormatFloat(pattern, percent ? value * 100 : value);
    } catch (const Exception&) {
        return FloatToStr(value);
    }
}

std::string boolText(bool value) { return value ? "ИСТИНА"_w : "ЛОЖЬ"_w; }

// "2009-03-05T10:20:30" (date part required) as a date serial; false when malformed.
bool isoDate(const char* text, double& value)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    double s = 0;
    if (!text || std::sscanf(text, "%d-%d-%d", &y, &mo, &d) != 3 || !TryEncodeDate(y, mo, d, value))
        return false;
    if (const char* t = std::strchr(text, 'T'); t && std::sscanf(t + 1, "%d:%d:%lf", &h, &mi, &s) >= 2 && h >= 0 && h < 24 &&
                                                mi >= 0 && mi < 60 && s >= 0 && s < 61)
        value += (h * 3600 + mi * 60 + s) / 86400.0 * (value < 0 ? -1 : 1);
    return true;
}

// "PT12H30M15S" as a fraction of a day.
bool isoDuration(const char* text, double& value)
{
    if (!text || std::strncmp(text, "PT", 2) != 0)
        return false;
    double h = 0, m = 0, s = 0, n = 0;
    for (const char* p = text + 2; *p;) {
        char* end = nullptr;
        n = std::strtod(p, &end);
        if (end == p || !*end || !std::isfinite(n))
            return false;
        if (*end == 'H') h = n;
        else if (*end == 'M') m = n;
        else if (*end == 'S') s = n;
        else return false;
        p = end + 1;
    }
    value = (h * 3600 + m * 60 + s) / 86400.0;
    return std::isfinite(value);
}

// --- archive and XML streaming --------------------------------------------------------------

class Archive {
public:
    Archive(zip_t* za, std::string name) : m_za(za), m_name(std::move(name)) {}
    ~Archive() { zip_discard(m_za); }
    bool Has(const std::string& part) const { return zip_name_locate(m_za, part.c_str(), 0) >= 0; }
    const std::string& Name() const { return m_name; }

    // Feeds the part through `parser`; false when the part is missing. Broken XML or a broken
    // archive raises the not-a-workbook message.
    bool Parse(const std::string& part, XML_Parser parser) const
    {
        const zip_int64_t index = zip_name_locate(m_za, part.c_str(), 0);
        if (index < 0)
            return false;
        zip_file_t* f = zip_fopen_index(m_za, static_cast<zip_uint64_t>(index), 0);
        if (!f)
            notWorkbook(m_name);
        char buf[1 << 16];
        zip_uint64_t total = 0;
        bool ok = true;
        for (;;) {
            const zip_int64_t n = zip_fread(f, buf, sizeof buf);
            if (n < 0 || (total += static_cast<zip_uint64_t>(std::max<zip_int64_t>(n, 0))) > kMaxPartSize) {
                ok = false;
                break;
            }
            if (XML_Parse(parser, buf, static_cast<int>(n), n == 0) == XML_STATUS_ERROR) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
        }
        zip_fclose(f);
        if (!ok)
            notWorkbook(m_name);
        return true;
    }

    std::string ReadSmall(const std::string& part, size_t limit) const
    {
        const zip_int64_t index = zip_name_locate(m_za, part.c_str(), 0);
        if (index < 0)
            return std::string();
        zip_file_t* f = zip_fopen_index(m_za, static_cast<zip_uint64_t>(index), 0);
        if (!f)
            return std::string();
        std::string out(limit, '\0');
        const zip_int64_t n = zip_fread(f, out.data(), limit);
        zip_fclose(f);
        out.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return out;
    }

private:
    zip_t* m_za;
    std::string m_name;
};

// An expat parser calling three functions; text is collected only while `collect` is set.
class SaxParser {
public:
    std::function<void(std::string_view name, const char** atts)> Start;
    std::function<void(std::string_view name)> End;
    std::string Text;
    bool Collect = false;

    SaxParser() : m_parser(XML_ParserCreate("UTF-8"))
    {
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(
            m_parser,
            [](void* self, const char* name, const char** atts) {
                auto* p = static_cast<SaxParser*>(self);
                if (p->Start)
                    p->Start(local(name), atts);
            },
            [](void* self, const char* name) {
                auto* p = static_cast<SaxParser*>(self);
                if (p->End)
                    p->End(local(name));
            });
        XML_SetCharacterDataHandler(m_parser, [](void* self, const char* s, int len) {
            auto* p = static_cast<SaxParser*>(self);
            if (p->Collect)
                p->Text.append(s, static_cast<size_t>(len));
        });
    }
    ~SaxParser() { XML_ParserFree(m_parser); }
    SaxParser(const SaxParser&) = delete;
    SaxParser& operator=(const SaxParser&) = delete;
    XML_Parser Handle() const { return m_parser; }

private:
    XML_Parser m_parser;
};

// The folder of a part and a relative target resolved against it ("xl/" + "worksheets/a.xml").
std::string resolve(const std::string& base, const std::string& target)
{
    if (!target.empty() && target[0] == '/')
        return target.substr(1);
    std::string path = base;
    std::string rest = target;
    while (rest.starts_with("../")) {
        rest.erase(0, 3);
        const size_t slash = path.find_last_of('/', path.size() >= 2 ? path.size() - 2 : 0);
        path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    return path + rest;
}

} // namespace

// --- TReadSheet -----------------------------------------------------------------------------

const TReadCell* TReadSheet::Cell(int row, int col) const
{
    const auto it = m_rows.find(row);
    if (it == m_rows.end())
        return nullptr;
    const auto& cells = it->second;
    const auto c = std::lower_bound(cells.begin(), cells.end(), col, [](const auto& p, int v) { return p.first < v; });
    return c != cells.end() && c->first == col ? &c->second : nullptr;
}

void TReadSheet::Set(int row, int col, TReadCell cell)
{
    auto& cells = m_rows[row];
    if (cells.empty() || cells.back().first < col) {
        cells.emplace_back(col, std::move(cell));
        ++m_count;
        return;
    }
    const auto c = std::lower_bound(cells.begin(), cells.end(), col, [](const auto& p, int v) { return p.first < v; });
    if (c != cells.end() && c->first == col) {
        c->second = std::move(cell);
    } else {
        cells.emplace(c, col, std::move(cell));
        ++m_count;
    }
}

// --- the two formats ------------------------------------------------------------------------

struct TSheetFile::Impl {
    std::unique_ptr<Archive> archive;
    bool ods = false;
    std::vector<std::string> sheetParts;     // xlsx: the part of each sheet
    std::vector<std::string> sharedStrings;  // xlsx, UTF-8
    std::vector<std::string> xfFormats;      // xlsx: number format code of each cellXfs entry
    bool stylesRead = false;

    void ReadXlsxBook(TSheetFile& file);
    void ReadXlsxShared();
    void ReadXlsxStyles();
    void ReadXlsxSheet(int index, TReadSheet& sheet);
    void ReadOds(TSheetFile& file, int wanted, TReadSheet* sheet);
};

void TSheetFile::Impl::ReadXlsxBook(TSheetFile& file)
{
    std::map<std::string, std::string> targets;
    std::string sharedPart = "xl/sharedStrings.xml";
    {
        SaxParser p;
        p.Start = [&](std::string_view name, const char** atts) {
            if (name != "Relationship")
                return;
            const char* id = attr(atts, "Id");
            const char* target = attr(atts, "Target");
            const char* type = attr(atts, "Type");
            if (id && target)
                targets[id] = resolve("xl/", target);
            if (target && type && std::string_view(type).ends_with("/sharedStrings"))
                sharedPart = resolve("xl/", target);
        };
        archive->Parse("xl/_rels/workbook.xml.rels", p.Handle());
    }
    {
        SaxParser p;
        p.Start = [&](std::string_view name, const char** atts) {
            if (name == "sheet") {
                const char* sheetName = attr(atts, "name");
                const char* id = attr(atts, "id");
                const auto it = id ? targets.find(id) : targets.end();
                file.m_names.push_back(utf8ToCp1251(sheetName ? sheetName : ""));
                sheetParts.push_back(it != targets.end() ? it->second : std::string());
            } else if (name == "workbookView") {
                file.m_active = static_cast<int>(numberOf(attr(atts, "activeTab"), 0));
            }
        };
        archive->Parse("xl/workbook.xml", p.Handle());
    }
    if (file.m_active < 0 || file.m_active >= static_cast<int>(file.m_names.size()))
        file.m_active = 0;
    if (archive->Has(sharedPart)) {
        SaxParser p;
        bool inRun = false, inPhonetic = false;
        p.Start = [&](std::string_view name, const char**) {
            if (name == "si")
                p.Text.clear();
            else if (name == "rPh")
                inPhonetic = true;
            else if (name == "t")
                p.Collect = !inPhonetic;
            inRun = inRun || name == "r";
        };
        p.End = [&](std::string_view name) {
            if (name == "t")
                p.Collect = false;
            else if (name == "rPh")
                inPhonetic = false;
            else if (name == "si")
                sharedStrings.push_back(p.Text);
        };
        archive->Parse(sharedPart, p.Handle());
    }
}

void TSheetFile::Impl::ReadXlsxStyles()
{
    if (stylesRead)
        return;
    stylesRead = true;
    std::map<int, std::string> custom;
    bool inXfs = false;
    SaxParser p;
    p.Start = [&](std::string_view name, const char** atts) {
        if (name == "numFmt") {
            const char* id = attr(atts, "numFmtId");
            const char* code = attr(atts, "formatCode");
            if (id && code)
                custom[static_cast<int>(numberOf(id, -1))] = utf8ToCp1251(code);
        } else if (name == "cellXfs") {
            inXfs = true;
        } else if (name == "xf" && inXfs) {
            const long id = numberOf(attr(atts, "numFmtId"), 0);
            const auto it = custom.find(id);
            xfFormats.push_back(it != custom.end() ? it->second : builtinFormat(id));
        }
    };
    p.End = [&](std::string_view name) {
        if (name == "cellXfs")
            inXfs = false;
    };
    archive->Parse("xl/styles.xml", p.Handle());
}

void TSheetFile::Impl::ReadXlsxSheet(int index, TReadSheet& sheet)
{
    ReadXlsxStyles();
    const std::string& part = sheetParts[static_cast<size_t>(index)];
    if (part.empty() || !archive->Has(part))
        notWorkbook(archive->Name());
    SaxParser p;
    int row = -1, col = -1, style = 0;
    std::string type;
    std::string value;
    bool haveValue = false;
    p.Start = [&](std::string_view name, const char** atts) {
        if (name == "row") {
            const char* r = attr(atts, "r");
            row = r ? static_cast<int>(std::min<long>(numberOf(r, 0), kMaxSheetRows + 1)) - 1 : row + 1;
            col = -1;
        } else if (name == "c") {
            const char* r = attr(atts, "r");
            int rr = row, cc = col + 1;
            if (r && !ParseCellRef(r, rr, cc))
                rr = cc = -1;
            row = rr;
            col = cc;
            const char* t = attr(atts, "t");
            type = t ? t : "n";
            style = static_cast<int>(std::min<long>(numberOf(attr(atts, "s"), 0), 1 << 20));
            value.clear();
            haveValue = false;
        } else if (name == "v" || name == "t") {
            p.Text.clear();
            p.Collect = true;
        }
    };
    p.End = [&](std::string_view name) {
        if (name == "v" || name == "t") {
            value += p.Text;
            haveValue = true;
            p.Collect = false;
        } else if (name == "c") {
            if (!haveValue || row < 0 || col < 0 || row >= kMaxSheetRows || col >= kMaxSheetCols || sheet.CellCount() >= kCellBudget)
                return;
            const std::string format = style >= 0 && static_cast<size_t>(style) < xfFormats.size() ? xfFormats[static_cast<size_t>(style)] : std::string();
            TReadCell cell;
            double number = 0;
            if (type == "s") {
                const long i = numberOf(value.c_str(), -1);
                const std::string text = i >= 0 && static_cast<size_t>(i) < sharedStrings.size() ? utf8ToCp1251(sharedStrings[static_cast<size_t>(i)]) : std::string();
                cell.Value = Variant(text);
                cell.Text = text;
            } else if (type == "b") {
                cell.Value = Variant(value == "1" || value == "true");
                cell.Text = boolText(value == "1" || value == "true");
            } else if (type == "d" && isoDate(value.c_str(), number)) {
                cell.Value = Variant::FromDate(number);
                cell.Text = displayNumber(number, format.empty() || !IsDateNumberFormat(format) ? "dd.mm.yyyy" : format);
            } else if ((type == "n" || type.empty()) && readDouble(value.c_str(), number)) {
                cell.Value = IsDateNumberFormat(format) ? Variant::FromDate(number) : Variant(number);
                cell.Text = displayNumber(number, format);
            } else {
                cell.Text = utf8ToCp1251(value);
                cell.Value = Variant(cell.Text);
            }
            sheet.Set(row, col, std::move(cell));
        }
    };
    archive->Parse(part, p.Handle());
}

// One pass over content.xml: the sheet names, and the cells of sheet `wanted` into `sheet`.
void TSheetFile::Impl::ReadOds(TSheetFile& file, int wanted, TReadSheet* sheet)
{
    SaxParser p;
    int table = -1, row = 0, col = 0, annotation = 0, paragraphs = 0;
    long rowRepeat = 1, colRepeat = 1;
    bool inCell = false, rowHasContent = false;
    TReadCell cell;
    bool cellHasValue = false;
    std::vector<std::pair<int, TReadCell>> rowCells;  // the current row, for repeated rows
    std::string text;
    size_t budget = kCellBudget;

    auto keep = [&](int r, int c, const TReadCell& value) {
        if (r < kMaxSheetRows && c < kMaxSheetCols && budget > 0) {
            sheet->Set(r, c, value);
            --budget;
        }
    };
    p.Start = [&](std::string_view name, const char** atts) {
        if (name == "table" && !inCell) {
            ++table;
            const char* n = attr(atts, "name");
            if (wanted < 0)
                file.m_names.push_back(utf8ToCp1251(n ? n : ""));
            row = 0;
        } else if (table != wanted || wanted < 0) {
            return;
        } else if (name == "table-row" && !inCell) {
            rowRepeat = countOf(attr(atts, "number-rows-repeated"), kMaxSheetRows);
            col = 0;
            rowCells.clear();
            rowHasContent = false;
        } else if ((name == "table-cell" || name == "covered-table-cell") && !inCell) {
            inCell = true;
            colRepeat = countOf(attr(atts, "number-columns-repeated"), kMaxSheetCols);
            cell = TReadCell();
            cellHasValue = false;
            text.clear();
            paragraphs = 0;
            const char* type = attr(atts, "value-type");
            const std::string_view t = type ? type : "";
            double number = 0;
            if ((t == "float" || t == "percentage" || t == "currency") && readDouble(attr(atts, "value"), number)) {
                cell.Value = Variant(number);
                cellHasValue = true;
            } else if (t == "date" && isoDate(attr(atts, "date-value"), number)) {
                cell.Value = Variant::FromDate(number);
                cellHasValue = true;
            } else if (t == "time" && isoDuration(attr(atts, "time-value"), number)) {
                cell.Value = Variant::FromDate(number);
                cellHasValue = true;
            } else if (t == "boolean") {
                const char* b = attr(atts, "boolean-value");
                cell.Value = Variant(b && std::strcmp(b, "true") == 0);
                cellHasValue = true;
            } else if (t == "string" && attr(atts, "string-value")) {
                cell.Value = Variant(utf8ToCp1251(attr(atts, "string-value")));
                cellHasValue = true;
            }
        } else if (inCell && name == "annotation") {
            ++annotation;
            p.Collect = false;
        } else if (inCell && annotation == 0 && name == "p") {
            if (paragraphs++ > 0)
                p.Text += '\n';
            p.Collect = true;
        } else if (inCell && annotation == 0 && p.Collect && name == "s") {
            p.Text.append(static_cast<size_t>(countOf(attr(atts, "c"), 1000)), ' ');
        } else if (inCell && annotation == 0 && p.Collect && name == "tab") {
            p.Text += '\t';
        } else if (inCell && annotation == 0 && p.Collect && name == "line-break") {
            p.Text += '\n';
        }
    };
    p.End = [&](std::string_view name) {
        if (table != wanted || wanted < 0)
            return;
        if (inCell && name == "annotation") {
            --annotation;
        } else if (inCell && name == "p" && annotation == 0) {
            p.Collect = false;
        } else if (inCell && (name == "table-cell" || name == "covered-table-cell")) {
            inCell = false;
            p.Collect = false;
            const bool hasText = paragraphs > 0;
            if (hasText || cellHasValue) {
                const std::string shown = utf8ToCp1251(p.Text);
                if (!cellHasValue)
                    cell.Value = Variant(shown);
                cell.Text = hasText ? shown : cell.Value.VarType() == TVarType::varDate ? DateTimeToStr(cell.Value.AsDateTime())
                                                                                       : cell.Value.AsString();
                for (long i = 0; i < colRepeat && col + i < kMaxSheetCols && rowCells.size() < budget; ++i)
                    rowCells.emplace_back(static_cast<int>(col + i), cell);
                rowHasContent = true;
            }
            p.Text.clear();
            col = static_cast<int>(std::min<long>(col + colRepeat, kMaxSheetCols));
        } else if (name == "table-row" && !inCell) {
            if (rowHasContent)
                for (long i = 0; i < rowRepeat && row + i < kMaxSheetRows && budget > 0; ++i)
                    for (const auto& [c, value] : rowCells)
                        keep(static_cast<int>(row + i), c, value);
            row = static_cast<int>(std::min<long>(row + rowRepeat, kMaxSheetRows));
        }
    };
    archive->Parse("content.xml", p.Handle());
}

// --- TSheetFile -----------------------------------------------------------------------------

TSheetFile::~TSheetFile() = default;

std::unique_ptr<TSheetFile> TSheetFile::Open(const std::string& fileName)
{
    if (!FileExists(fileName))
        throw EInOutError(Format("Не найден файл %s"_w, {fileName}), ENOENT);
    int err = 0;
    zip_t* za = zip_open(ToSysPath(fileName).c_str(), ZIP_RDONLY, &err);
    if (!za && err == ZIP_ER_OPEN)
        throw EInOutError(Format("Не удается открыть файл %s : %s"_w, {fileName, LastErrorStr()}), errno);
    if (!za)
        notWorkbook(fileName);
    return FromArchive(za, fileName);
}

std::unique_ptr<TSheetFile> TSheetFile::FromMemory(const void* data, size_t size, const std::string& name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(data, size, 0, &error);
    zip_t* za = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
    if (src && !za)
        zip_source_free(src);
    zip_error_fini(&error);
    if (!za)
        notWorkbook(name);
    return FromArchive(za, name);
}

std::unique_ptr<TSheetFile> TSheetFile::FromArchive(::zip* za, const std::string& name)
{
    auto file = std::unique_ptr<TSheetFile>(new TSheetFile());
    file->m_impl = std::make_unique<Impl>();
    file->m_impl->archive = std::make_unique<Archive>(za, name);
    Impl& impl = *file->m_impl;
    const std::string mime = impl.archive->ReadSmall("mimetype", 100);
    if (mime.starts_with("application/vnd.oasis.opendocument.spreadsheet") && impl.archive->Has("content.xml")) {
        impl.ods = true;
        impl.ReadOds(*file, -1, nullptr);
    } else if (impl.archive->Has("xl/workbook.xml")) {
        impl.ReadXlsxBook(*file);
    } else {
        notWorkbook(name);
    }
    file->m_sheets.resize(file->m_names.size());
    return file;
}

const TReadSheet& TSheetFile::Sheet(int index)
{
    auto& slot = m_sheets.at(static_cast<size_t>(index));
    if (!slot) {
        auto sheet = std::make_unique<TReadSheet>();
        sheet->Name = m_names[static_cast<size_t>(index)];
        if (m_impl->ods)
            m_impl->ReadOds(*this, index, sheet.get());
        else
            m_impl->ReadXlsxSheet(index, *sheet);
        slot = std::move(sheet);
    }
    return *slot;
}

void LoadWorkbook(const std::string& fileName, TWorkbook& book)
{
    auto file = TSheetFile::Open(fileName);
    for (int i = 0; i < file->SheetCount(); ++i) {
        const TReadSheet& read = file->Sheet(i);
        TWorksheet& sheet = book.AddSheet(cp1251ToUtf8(read.Name));
        for (const auto& [row, cells] : read.Rows())
            for (const auto& [col, cell] : cells) {
                switch (cell.Value.VarType()) {
                case TVarType::varString: sheet.SetText(row, col, cp1251ToUtf8(cell.Value.AsString())); break;
                case TVarType::varBoolean: sheet.SetBoolean(row, col, cell.Value.AsBoolean()); break;
                case TVarType::varDate: {
                    sheet.SetNumber(row, col, cell.Value.AsDateTime());
                    TCellStyle dated;
                    dated.NumberFormat = "DD.MM.YYYY";
                    sheet.SetStyle(row, col, book.AddStyle(dated));
                    break;
                }
                default: sheet.SetNumber(row, col, cell.Value.AsFloat()); break;
                }
            }
    }
    book.SetActiveSheet(file->ActiveSheet());
}

} // namespace lm
