// The Calc-style export: census of the exported columns, the split into sheets of 250 columns
// (with a key column repeated), the data array per sheet, formats, colours, borders, the
// translation pass, page header and footer, saving and printing.
#include "export/opoffice.h"

#include <algorithm>

#include "app/hooks.h"
#include "app/lmtranslate.h"
#include "export/excelexport.h"
#include "export/exporthooks.h"
#include "export/sheetreader.h"
#include "forms/progressbox.h"
#include "host/dataset.h"
#include "host/gridmodel.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/fastlist.h"
#include "util/filefunc.h"

namespace lm {

namespace {

constexpr int kSheetColumns = 250;

// 0x00BBGGRR as 0xRRGGBB.
int32_t rgbOf(TColor color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

std::string headerLiteral(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '&' ? std::string("&&") : std::string(1, c);
    return cp1251ToUtf8(out);
}

// IRange over a rectangle of the document's current sheet; bold means the title look: borders
// of width 70 on all sides and the owner's header font.
class TOpenOfficeRange : public IRange {
public:
    TOpenOfficeRange(TOpenOffice* owner, TSheetRange range) : m_owner(owner), m_range(range) {}
    void Merge() override { m_range.MergeCells(); }
    void SetCaption(const std::string& caption) override { m_range.SetTopLeftText(caption); }
    void SetFontBold(bool value) override
    {
        m_owner->SetBorders(m_range, 6, value ? 70 : 1);
        m_owner->SetFont(m_range, m_owner->HeaderFont, m_owner->UseColors);
    }
    void SetAlligment(TExcelAligment horizontal, TExcelAligment vertical) override
    {
        auto code = [](TExcelAligment a) { return a == eaCenter ? 2 : a == eaTopLeft ? 1 : 3; };
        m_range.Change([&](TCellStyle& s) {
            s.HAlign = code(horizontal) == 2 ? haCenter : code(horizontal) == 1 ? haLeft : haRight;
            s.VAlign = code(vertical) == 2 ? vaCenter : code(vertical) == 1 ? vaTop : vaBottom;
        });
    }
    void SetWrapText(bool value) override
    {
        m_range.Change([&](TCellStyle& s) { s.Wrap = value; });
    }

private:
    TOpenOffice* m_owner;
    TSheetRange m_range;
};

// An exported column: its position among all exported columns (1-based), title, field, grid
// column (nullptr in a dataset export).
struct ExportColumn {
    int Position;
    std::string Title;
    TField* Field;
    TColumnEh* Column;
};

// A number read from a displayed text with the Russian conventions (blanks and no-break spaces
// removed); false when it is not one.
bool numberOfText(std::string text, double& value)
{
    std::erase(text, '\xA0');
    std::erase(text, ' ');
    return !text.empty() && TryStrToFloat(text, value);
}

// The data array value of a field: number for numeric fields, else the display text on one
// line; nothing for null.
Variant cellValueOf(TField* field)
{
    if (field->IsNull())
        return Variant(std::string());
    std::string s = field->DisplayText();
    for (char& c : s)
        if (c == '\r' || c == '\t')
            c = ' ';
    if (!dynamic_cast<TNumericField*>(field))
        return Variant(s);
    std::erase(s, '\xA0');
    std::erase(s, ' ');
    const size_t slash = s.find('/');
    if (slash != std::string::npos) {
        const int d = StrToIntDef(s.substr(slash + 1), 1);
        return Variant(static_cast<double>(field->AsInteger()) / (d == 0 ? 1 : d));
    }
    double value;
    // A display format with text of its own ("0.00 руб") still exports the field's number.
    return Variant(TryStrToFloat(s, value) ? value : field->AsFloat());
}

class CalcExport {
public:
    CalcExport(TDBGridEh* grid, TDataSet* source, TOpenOffice& office, TProgressBox* box, bool multiHeader, int footers)
        : m_grid(grid), m_source(source), m_office(office), m_box(box), m_multiHeader(multiHeader), m_footers(footers) {}

    std::vector<ExportColumn> Census(bool& haveKey, const std::string& keyField)
    {
        std::vector<ExportColumn> columns;
        if (m_grid) {
            for (int i = 0; i < m_grid->Columns().Count(); ++i)
                if (TColumnEh* c = m_grid->Columns().Items(i); c->Visible() && c->Field())
                    columns.push_back({static_cast<int>(columns.size()) + 1, c->Title().Caption(), c->Field(), c});
        } else {
            for (int i = 0; i < m_source->FieldCount(); ++i)
                if (TField* f = m_source->Fields(i); f->Visible())
                    columns.push_back({static_cast<int>(columns.size()) + 1, f->DisplayLabel(), f, nullptr});
        }
        haveKey = false;
        for (ExportColumn& c : columns)
            if (!keyField.empty() && upperCase(c.Field->FieldName()) == upperCase(keyField) && !haveKey) {
                haveKey = true;
                m_keyPosition = c.Position;
            }
        return columns;
    }

    // The columns of sheet k: those of its 250, and the key column, in export order.
    std::vector<const ExportColumn*> SheetColumns(const std::vector<ExportColumn>& all, int k, bool haveKey) const
    {
        std::vector<const ExportColumn*> out;
        for (const ExportColumn& c : all)
            if ((c.Position > kSheetColumns * k && c.Position <= kSheetColumns * (k + 1)) || (haveKey && c.Position == m_keyPosition))
                out.push_back(&c);
        return out;
    }

    // Title block, data, footers, formats and borders of the current sheet; returns H.
    int FillSheet(const std::vector<const ExportColumn*>& columns, bool optimalWidth, bool drawBorders, bool colors)
    {
        TFastList titles;
        for (const ExportColumn* c : columns)
            titles.Add(c->Title);
        TExeclHeaderBuilder builder(std::shared_ptr<IExcelDocument>(std::shared_ptr<void>(), &m_office), m_multiHeader);
        builder.SetListOfTitles(titles);
        builder.Build();
        const int h = builder.GetRowCount();
        const int lastCol = static_cast<int>(columns.size()) - 1;
        const int records = m_office.RecordCount;
        if (records <= 0)
            return h;
        if (h + records + m_footers > kMaxSheetRows)
            throw Exception(Format("Выгрузка данных :%s"_w, {Format("Слишком много строк для листа: %d"_w, {records})}));
        writeData(columns, h);
        writeFooters(columns, h);
        for (int col = 0; col <= lastCol; ++col)
            formatColumn(*columns[static_cast<size_t>(col)], col, h, optimalWidth);
        m_office.Sheet()->AutoFit(0, lastCol);
        if (drawBorders)
            m_office.SetBorders(m_office.CellRange(0, h, lastCol, h + records + m_footers - 1), 6, 1);
        if (m_grid && colors)
            colorPass(columns, h);
        return h;
    }

    void Translate(const std::vector<const ExportColumn*>& columns, int h, const std::string& lang, TFastList* fields)
    {
        if (lang == "RU" || m_office.RecordCount <= 0 || !fields)
            return;
        for (size_t col = 0; col < columns.size(); ++col) {
            int index;
            if (!fields->Find(upperCase(columns[col]->Field->FullName()), index))
                continue;
            for (int r = h; r < h + m_office.RecordCount; ++r) {
                const Variant text = m_office.GetCell(2, static_cast<int>(col), r);
                if (!text.AsString().empty())
                    m_office.Sheet()->SetText(r, static_cast<int>(col), ReTranslateUtf8(text, lang));
            }
        }
    }

private:
    void writeData(const std::vector<const ExportColumn*>& columns, int h)
    {
        if (m_box) {
            m_box->SetCaption("Экспорт данных..."_w);
            m_box->Show(m_office.RecordCount);
        }
        try {
            m_source->First();
            TWorksheet& sheet = *m_office.Sheet();
            for (int r = 0; r < m_office.RecordCount && !m_source->Eof(); ++r) {
                for (size_t c = 0; c < columns.size(); ++c) {
                    const Variant v = cellValueOf(columns[c]->Field);
                    if (v.VarType() == TVarType::varDouble)
                        sheet.SetNumber(h + r, static_cast<int>(c), v.AsFloat());
                    else if (const std::string s = v.AsString(); !s.empty())
                        sheet.SetText(h + r, static_cast<int>(c), cp1251ToUtf8(s));
                }
                if (m_box && !m_box->Step())
                    throw Exception(" прервано пользователем "_w);
                m_source->Next();
            }
        } catch (const Exception& e) {
            if (m_box)
                m_box->Close();
            throw Exception("Выгрузка данных :"_w + e.Message());
        }
        if (m_box)
            m_box->Close();
    }

    void writeFooters(const std::vector<const ExportColumn*>& columns, int h)
    {
        for (int i = 0; i < m_footers; ++i)
            for (size_t q = 0; q < columns.size(); ++q)
                if (columns[q]->Column) {
                    const std::string text = m_grid->GetFooterValue(i, *columns[q]->Column);
                    if (!text.empty())
                        m_office.SetCell(static_cast<int>(q), h + m_office.RecordCount + i, Variant(text), 0);
                }
    }

    void formatColumn(const ExportColumn& c, int col, int h, bool optimalWidth)
    {
        if (!m_grid)
            m_office.SetColumnWidth(col, c.Field->DisplayWidth() * 280, optimalWidth);
        const TSheetRange range = m_office.CellRange(col, h, col, h + m_office.RecordCount + m_footers - 1);
        const TAlignment a = c.Column ? c.Column->Alignment() : c.Field->Alignment();
        m_office.SetAlignment(range, a == taLeftJustify ? 1 : a == taRightJustify ? 3 : 2, 1, false);
        const auto* numeric = dynamic_cast<const TNumericField*>(c.Field);
        if (!numeric)
            return;
        std::string format = numeric->DisplayFormat();
        std::replace(format.begin(), format.end(), ',', '\xA0');
        std::replace(format.begin(), format.end(), '.', FormatSettings.DecimalSeparator);
        if (format.empty()) {
            if (c.Field->OnGetText)
                return;
            format = DefaultNumberFormat(c.Field);
        }
        if (m_grid)
            std::replace(format.begin(), format.end(), '\xA0', ' ');
        if (!format.empty())
            m_office.SetNumberFormat(range, format);
    }

    void colorPass(const std::vector<const ExportColumn*>& columns, int h)
    {
        if (m_box) {
            m_box->SetCaption("Подождите идет выгрузка в OpenOffice.Calc (обработка цветов)..."_w);
            m_box->Show(static_cast<int>(columns.size()));
        }
        // A column's colours are the same on every record: one range per column.
        for (size_t c = 0; c < columns.size(); ++c) {
            const TColumnEh* column = columns[c]->Column;
            m_office.SetColors(m_office.CellRange(static_cast<int>(c), h, static_cast<int>(c), h + m_office.RecordCount - 1),
                               column->Font().Color(), column->Color());
            if (m_box && !m_box->Step()) {
                m_box->Close();
                throw Exception(" прервано пользователем "_w);
            }
        }
        if (m_box)
            m_box->Close();
    }

    TDBGridEh* m_grid;
    TDataSet* m_source;
    TOpenOffice& m_office;
    TProgressBox* m_box;
    bool m_multiHeader;
    int m_footers;
    int m_keyPosition = 0;
};

} // namespace

std::string CleanSheetName(const std::string& name)
{
    std::string out;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const bool keep = c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') ||
                          c >= 0xC0 || c == 0xA8 || c == 0xB8;  // А-я, Ё, ё
        if (keep)
            out += ch;
    }
    return out;
}

// --- TOpenOffice ----------------------------------------------------------------------------

TOpenOffice::TOpenOffice() { HeaderFont.SetStyle(fsBold); }

bool TOpenOffice::NewDocument(const std::string& templateFile)
{
    m_document = std::make_unique<TWorkbook>();
    if (!templateFile.empty() && FileExists(templateFile)) {
        LoadWorkbook(templateFile, *m_document);
    }
    if (m_document->SheetCount() == 0)
        m_document->AddSheet(cp1251ToUtf8("Лист1"_w));
    m_sheet = &m_document->Sheet(0);
    return true;
}

std::string TOpenOffice::ConvertToURL(const std::string& path)
{
    std::string out = "file://localhost/";
    for (char c : path)
        out += c == ' ' ? std::string("%20") : c == '\\' ? std::string("/") : std::string(1, c);
    return out;
}

void TOpenOffice::SaveToFile(const std::string& path) { m_document->SaveOds(path); }

void TOpenOffice::PrintDocument(int orientation)
{
    m_sheet->PageSetup().Landscape = orientation == 1;
    PrintWorkbook(*m_document);
}

void TOpenOffice::SelectSheet(int index) { ActivateSheetByName(m_document->Sheet(index).Name()); }

void TOpenOffice::ActivateSheetByName(const std::string& name)
{
    for (int i = 0; i < m_document->SheetCount(); ++i)
        if (m_document->Sheet(i).Name() == name) {
            m_sheet = &m_document->Sheet(i);
            m_document->SetActiveSheet(i);
            return;
        }
    throw Exception(Format("NoSuchElementException: %s", {utf8ToCp1251(name)}));
}

void TOpenOffice::SetCell(int col, int row, const Variant& value, int kind)
{
    double number;
    if (kind == 1)
        m_sheet->SetFormula(row, col, cp1251ToUtf8(value.AsString().substr(value.AsString().starts_with("=") ? 1 : 0)));
    else if (kind == 0 && value.VarType() != TVarType::varString)
        m_sheet->SetNumber(row, col, value.AsFloat());
    else if (kind == 0 && numberOfText(value.AsString(), number))
        m_sheet->SetNumber(row, col, number);
    else
        m_sheet->SetText(row, col, cp1251ToUtf8(value.AsString()));
}

Variant TOpenOffice::GetCell(int kind, int col, int row) const
{
    const TWorksheet& sheet = m_document->Sheet(m_document->ActiveSheet());
    const TCell* cell = sheet.Cell(row, col);
    if (kind == 0)
        return Variant(cell && (cell->Kind == ckNumber || cell->Kind == ckBoolean) ? cell->Number : 0.0);
    if (!cell || cell->Kind == ckEmpty)
        return Variant(std::string());
    if (cell->Kind == ckText || cell->Kind == ckFormula) {
        std::string text = kind == 1 && cell->Kind == ckFormula ? std::string(1, '=') : std::string();
        text += utf8ToCp1251(sheet.TextOf(*cell));
        return Variant(text);
    }
    return Variant(FloatToStr(cell->Number));
}

void TOpenOffice::SetHeader(const std::string& left, const std::string& center, const std::string& right)
{
    TPageSetup& page = m_sheet->PageSetup();
    page.HeaderLeft = headerLiteral(left);
    page.HeaderCenter = headerLiteral(center);
    page.HeaderRight = headerLiteral(right);
}

void TOpenOffice::SetFooter(const std::string& left, const std::string& center, const std::string& right)
{
    TPageSetup& page = m_sheet->PageSetup();
    page.FooterLeft = headerLiteral(left);
    page.FooterCenter = headerLiteral(center);
    page.FooterRight = headerLiteral(right);
}

void TOpenOffice::SetColors(const TSheetRange& range, TColor fontColor, TColor backColor)
{
    if (fontColor <= 0 && backColor <= 0)
        return;
    range.Change([&](TCellStyle& s) {
        if (fontColor > 0)
            s.FontColor = rgbOf(fontColor);
        if (backColor > 0)
            s.BackColor = rgbOf(backColor);
    });
}

void TOpenOffice::SetFont(const TSheetRange& range, const TFont& font, bool withColor)
{
    range.Change([&](TCellStyle& s) {
        if (withColor && font.Color() > 0)
            s.FontColor = rgbOf(font.Color());
        s.FontSize = font.Size();
        s.FontName = font.Name();
        s.Bold = (font.Style() & fsBold) != 0;
        s.Italic = (font.Style() & fsItalic) != 0;
        s.Underline = (font.Style() & fsUnderline) != 0;
        s.StrikeOut = (font.Style() & fsStrikeOut) != 0;
    });
}

void TOpenOffice::SetAlignment(const TSheetRange& range, int hori, int vert, bool wrap)
{
    range.Change([&](TCellStyle& s) {
        s.HAlign = hori == 1 ? haLeft : hori == 2 ? haCenter : hori == 3 ? haRight : haGeneral;
        s.VAlign = vert == 1 ? vaTop : vert == 2 ? vaCenter : vaBottom;
        s.Wrap = wrap;
    });
}

void TOpenOffice::SetColumnWidth(int col, int width, bool optimal)
{
    TColumnInfo& info = m_sheet->Column(col);
    if (width > -1)
        info.Width = width / 200.0;  // 2 mm per character of the default font
    info.Optimal = optimal;
}

void TOpenOffice::SetBorders(const TSheetRange& range, int kind, int width)
{
    if (kind == 0)
        return;
    const TBorderWeight weight = kind == 1 ? bwNone : width > 50 ? bwMedium : bwThin;
    range.Change([&](TCellStyle& s) {
        switch (kind) {
        case 2: s.Border[bsTop] = weight; break;
        case 3: s.Border[bsBottom] = weight; break;
        case 4: s.Border[bsLeft] = weight; break;
        case 5: s.Border[bsRight] = weight; break;
        default:
            for (TBorderWeight& side : s.Border)
                side = weight;
        }
    });
}

void TOpenOffice::SetNumberFormat(const TSheetRange& range, const std::string& format)
{
    const std::string fileFormat = NumberFormatFromLocal(format);
    range.Change([&](TCellStyle& s) { s.NumberFormat = fileFormat; });
}

std::shared_ptr<IRange> TOpenOffice::GetRange(unsigned Col1, unsigned Row1, unsigned Col2, unsigned Row2)
{
    return std::make_shared<TOpenOfficeRange>(this, CellRange(RangeEdge(Col1), RangeEdge(Row1), RangeEdge(Col2), RangeEdge(Row2)));
}

// --- the export -----------------------------------------------------------------------------

bool OpExcelOleCopyGrideh(TDBGridEh* Grid, TDataSet* DataSet, const std::string& Title, const std::string& SheetName,
                          bool MultiHeader, const std::string& TemplateFile, bool OptimalWidth, bool DrawBorders,
                          bool PageHeaderFooter, bool Colors, const std::string& KeyField, const std::string& FileName,
                          bool ShowProgress, bool PrintDoc, int Orientation)
{
    TDataSet* source = Grid ? Grid->DataSet() : DataSet;
    if (!source)
        return false;
    source->DisableControls();
    TOpenOffice office;
    office.UseColors = Colors;
    office.RecordCount = source->RecordCount();
    std::unique_ptr<TProgressBox> box;
    if (ShowProgress) {
        box = std::make_unique<TProgressBox>();
        box->SetExceptOnAbort(false);
    }
    try {
        if (!office.Connect())
            throw Exception("Не удается создать документ OpenOffice"_w);
        if (!office.NewDocument(TemplateFile))
            throw Exception("Не удается создать документ OpenOffice\\Calc"_w);

        const int footers = Grid ? Grid->FooterRowCount() : 0;
        CalcExport job(Grid, source, office, box.get(), MultiHeader, footers);
        bool haveKey = false;
        const std::vector<ExportColumn> columns = job.Census(haveKey, KeyField);
        const int sheets = (static_cast<int>(columns.size()) + kSheetColumns - 1) / kSheetColumns;
        TWorkbook& doc = *office.Document();
        const std::string base = cp1251ToUtf8(CleanSheetName(SheetName));
        for (int k = 1; k <= sheets; ++k)
            doc.AddSheet(sheets == 1 ? base : base + "_" + std::to_string(sheets - k + 1), 0);
        // The new document's own sheets go; a document keeps at least one sheet.
        for (const char* name : {"Лист1"_w, "Лист2"_w, "Лист3"_w})
            for (int i = doc.SheetCount() - 1; i >= 0 && doc.SheetCount() > 1; --i)
                if (doc.Sheet(i).Name() == cp1251ToUtf8(name))
                    doc.DeleteSheet(i);

        TFastList* translateFields = nullptr;
        const std::string lang = Grid ? GridExportLanguage(Grid->Tag(), translateFields) : std::string("RU");
        for (int k = 0; k < sheets; ++k) {
            office.SelectSheet(k);
            const std::vector<const ExportColumn*> sheetColumns = job.SheetColumns(columns, k, haveKey);
            const int h = job.FillSheet(sheetColumns, OptimalWidth, DrawBorders, Colors);
            job.Translate(sheetColumns, h, lang, translateFields);
            if (PageHeaderFooter) {
                office.SetHeader("", Title, "");
                office.SetFooter(DateTimeToStr(Now()), "", "");
            }
        }
        if (!FileName.empty()) {
            const size_t slash = FileName.find_last_of('/');
            const std::string dir = slash == std::string::npos ? std::string() : FileName.substr(0, slash);
            if (!dir.empty() && !DirectoryExists(dir) && !ForceDirectories(dir))
                throw Exception("Не могу создать каталог выгрузки : "_w + dir);
            office.SaveToFile(FileName);
        }
        if (PrintDoc)
            office.PrintDocument(Orientation);
        office.SelectSheet(0);
    } catch (const std::exception& e) {
        const auto* lmError = dynamic_cast<const Exception*>(&e);
        if (ShowProgress)
            ShowMessageBox("Ошибка выгрузки данных : "_w + (lmError ? lmError->Message() : std::string(e.what())), "Ошибка"_w,
                           MB_OK | MB_ICONERROR);
        office.Failed = true;
    }
    box.reset();
    if (!office.Failed && FileName.empty() && office.IsDocumentOpen())
        ShowWorkbook(office.TakeDocument());
    source->EnableControls();
    return !office.Failed;
}

} // namespace lm
