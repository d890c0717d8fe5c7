// The Excel-style export: text lines collected in a 60000-character buffer and poked into the
// sheet block by block, the title block, column formats, footers, borders and page setup.
#include "export/excelexport.h"

#include <algorithm>
#include <map>

#include "app/lmtranslate.h"
#include "export/exceltyping.h"
#include "export/sheetrange.h"
#include "forms/progressbox.h"
#include "host/dataset.h"
#include "host/gridmodel.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/fastlist.h"

namespace lm {

TExcelVersion ExcelVersion = xlsvRussian;
bool ver2007 = true;
int MaxExcelRows = 1048576;
int MaxExcelCols = 16384;

namespace {

constexpr size_t kBufferSize = 60000;

// The Russian header and footer codes (&Д date, &В time, &С page, &К pages) in the file's codes.
std::string fileHeaderCodes(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] != '&' || i + 1 >= text.size())
            continue;
        const char next = text[i + 1];
        const char* code = next == "Д"_w[0] ? "D" : next == "В"_w[0] ? "T" : next == "С"_w[0] ? "P" : next == "К"_w[0] ? "N" : nullptr;
        if (code) {
            out += code;
            ++i;
        } else if (next == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

// A literal text in a header: an ampersand is doubled so it is not read as a code.
std::string headerLiteral(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

// The exported text of a field (a line's cell): display text on one line; numbers without
// grouping blanks and with a displayed fraction "a/b" as its value; double quotes of strings
// as apostrophes, so the block parser does not take them for quoting.
std::string fieldCellText(TField* field)
{
    if (!field)
        return std::string();
    std::string s = field->DisplayText();
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    if (dynamic_cast<TNumericField*>(field)) {
        std::erase(s, '\xA0');
        const size_t slash = s.find('/');
        if (slash != std::string::npos) {
            const int d = StrToIntDef(s.substr(slash + 1), 1);
            s = FloatToStr(static_cast<double>(field->AsInteger()) / (d == 0 ? 1 : d));
        }
    } else if (dynamic_cast<TStringField*>(field)) {
        std::replace(s.begin(), s.end(), '"', '\'');
    }
    return s;
}

TBorderWeight weightOf(TExcelBorderStyle style)
{
    return style == ebsThin ? bwThin : style == ebsMedium ? bwMedium : bwNone;
}

THorzAlign horzOf(TExcelAligment a) { return a == eaCenter ? haCenter : a == eaTopLeft ? haLeft : haRight; }
TVertAlign vertOf(TExcelAligment a) { return a == eaCenter ? vaCenter : a == eaTopLeft ? vaTop : vaBottom; }

} // namespace

// --- TExcelRange ----------------------------------------------------------------------------

// IRange over a rectangle of the exporter's current sheet.
class TExcelRange : public IRange {
public:
    explicit TExcelRange(TSheetRange range) : m_range(range) {}
    void Merge() override { m_range.MergeCells(); }
    void SetCaption(const std::string& caption) override { m_range.SetTopLeftText(caption); }
    void SetFontBold(bool value) override
    {
        m_range.Change([&](TCellStyle& s) { s.Bold = value; });
    }
    void SetAlligment(TExcelAligment horizontal, TExcelAligment vertical) override
    {
        m_range.Change([&](TCellStyle& s) {
            s.HAlign = horzOf(horizontal);
            s.VAlign = vertOf(vertical);
        });
    }
    void SetWrapText(bool value) override
    {
        m_range.Change([&](TCellStyle& s) { s.Wrap = value; });
    }

private:
    TSheetRange m_range;
};

// --- TExcelExport ---------------------------------------------------------------------------

TExcelExport::TExcelExport(TComponent* owner) : TComponent(owner)
{
    // The workbook is written in the 2007 format, with its limits.
    ver2007 = true;
    MaxExcelRows = 1048576;
    MaxExcelCols = 16384;
    m_buffer.reserve(kBufferSize + 3);
    NewBook();
}

TExcelExport::~TExcelExport()
{
    if (m_workbook)
        ShowWorkbook(std::move(m_workbook));
}

void TExcelExport::NewBook()
{
    m_workbook = std::make_unique<TWorkbook>();
    m_sheet = &m_workbook->AddSheet(cp1251ToUtf8("Лист1"_w));
    m_firstSheetUsed = false;
}

void TExcelExport::CheckBook()
{
    if (!m_workbook)
        NewBook();
}

void TExcelExport::ActivateSheet(const std::string& name)
{
    const std::string s = name.substr(0, 30);
    const std::string utf8 = cp1251ToUtf8(s);
    if (!m_firstSheetUsed) {
        m_firstSheetUsed = true;
    } else if (!s.empty() && utf8 != m_sheet->Name()) {
        if (TWorksheet* found = m_workbook->FindSheet(utf8))
            m_sheet = found;
        else
            m_sheet = &m_workbook->AddSheet(utf8);
    }
    for (int i = 0; i < m_workbook->SheetCount(); ++i)
        if (&m_workbook->Sheet(i) == m_sheet)
            m_workbook->SetActiveSheet(i);
    if (!s.empty())
        m_sheet->SetName(utf8);
}

void TExcelExport::CheckMaxSize(int rows, int cols)
{
    if (rows > MaxExcelRows)
        throw Exception(Format("Слишком много строк для экспорта в Excel.Макcимальное количество %d."_w, {MaxExcelRows}));
    if (cols > MaxExcelCols)
        throw Exception(Format("Слишком много столбцов для экспорта в Excel.Макcимальное количество %d."_w, {MaxExcelCols}));
}

void TExcelExport::StartExport(int startCol, int colCount, int startRow)
{
    m_buffer.clear();
    m_startCol = startCol;
    m_endCol = startCol + colCount - 1;
    m_startRow = startRow;
    m_lineCount = 0;
    m_bufRow = startRow;
    CheckMaxSize(0, m_endCol);
}

void TExcelExport::ExportLine(const std::string& line)
{
    const std::string s = line.find('/') != std::string::npos ? FractionFix(line) : line;
    CheckMaxSize(m_startRow + m_lineCount, 0);
    if (s.size() > kBufferSize)
        throw Exception("Слишком много столбцов для экспорта в Excel."_w);
    if (m_buffer.size() + s.size() > kBufferSize)
        FlushDDEBuffer();
    m_buffer += s;
    if (!s.empty())
        m_buffer.back() = '\r';
    ++m_lineCount;
}

// The block is read into the cells of R<BufRow>C<StartCol>:R<last>C<EndCol>: lines end at CR,
// items at TAB; a quoted item may hold TABs and doubled quotes. Items beyond the block's last
// column are dropped, as a poke into a fixed range drops them.
void TExcelExport::FlushDDEBuffer()
{
    if (m_buffer.empty())
        return;
    const int lastRow = m_startRow + m_lineCount - 1;
    try {
        const TRect block = Range(m_bufRow, m_startCol, lastRow, m_endCol);
        int row = block.Top, col = block.Left;
        std::string item;
        bool quoted = false, wasQuoted = false;
        auto endItem = [&] {
            if (col <= block.Right && row <= block.Bottom) {
                if (wasQuoted)
                    m_sheet->SetText(row - 1, col - 1, cp1251ToUtf8(item));
                else
                    TypeIntoCell(*m_sheet, row - 1, col - 1, item);
            }
            item.clear();
            wasQuoted = false;
            ++col;
        };
        for (size_t i = 0; i < m_buffer.size(); ++i) {
            const char c = m_buffer[i];
            if (quoted) {
                if (c == '"' && i + 1 < m_buffer.size() && m_buffer[i + 1] == '"')
                    item += '"', ++i;
                else if (c == '"')
                    quoted = false;
                else
                    item += c;
            } else if (c == '"' && item.empty()) {
                quoted = wasQuoted = true;
            } else if (c == '\t') {
                endItem();
            } else if (c == '\r') {
                endItem();
                ++row;
                col = block.Left;
            } else {
                item += c;
            }
        }
        if (!item.empty() || wasQuoted)
            endItem();
    } catch (...) {
        m_buffer.clear();
        throw;
    }
    m_buffer.clear();
    m_bufRow = lastRow + 1;
}

TExcelExport::TRect TExcelExport::Range(int top, int left, int bottom, int right) const
{
    bottom = std::max(bottom, top);
    right = std::max(right, left);
    if (top < 1 || left < 1 || bottom > kMaxSheetRows || right > kMaxSheetCols)
        throw Exception(Format("%s. Range: Top %d Left %d Bottom %d Right %d",
                               {"Cell lies outside the sheet", top, left, bottom, right}));
    return {top, left, bottom, right};
}

std::shared_ptr<IRange> TExcelExport::GetRange(unsigned Col1, unsigned Row1, unsigned Col2, unsigned Row2)
{
    return std::make_shared<TExcelRange>(TSheetRange(m_sheet, RangeEdge(Row1), RangeEdge(Col1), RangeEdge(Row2), RangeEdge(Col2)));
}

void TExcelExport::ProgressStart(int count)
{
    if (OnProgress) {
        OnProgress(this, 0);
    } else if (ShowProgress) {
        if (!m_progressBox) {
            m_progressBox = new TProgressBox(this);
            m_progressBox->SetCaption("Экспорт в Excell"_w);
        }
        m_progressBox->Show(count);
    }
}

void TExcelExport::ProgressStep()
{
    if (OnProgress)
        OnProgress(this, m_lineCount);
    else if (ShowProgress && m_progressBox)
        m_progressBox->Step();
}

void TExcelExport::ProgressEnd()
{
    if (m_progressBox)
        m_progressBox->Close();
}

void TExcelExport::ExportDataSet(TDataSet* dataSet, const std::string& sheetName, int startRow, int startCol)
{
    TFastList titles;
    std::vector<TField*> fields;
    for (int i = 0; i < dataSet->FieldCount(); ++i)
        if (TField* field = dataSet->Fields(i); field->Visible()) {
            titles.Add(field->DisplayLabel());
            fields.push_back(field);
        }
    if (titles.Count() > 0)
        ExportDS(dataSet, titles, fields, sheetName, startRow, startCol, true);
}

void TExcelExport::ExportGrid(TDBGridEh* grid, const std::string& sheetName, int startRow, int startCol)
{
    TFastList titles;
    std::vector<TField*> fields;
    for (int i = 0; i < grid->Columns().Count(); ++i)
        if (TColumnEh* column = grid->Columns().Items(i); column->Visible()) {
            titles.Add(column->Title().Caption());
            fields.push_back(column->Field());
        }
    if (titles.Count() == 0)
        return;
    ExportDS(grid->DataSet(), titles, fields, sheetName, startRow, startCol, false);
    translateGrid(grid);
    writeFooters(grid);
    DrawGrid();
    AutoFit();
}

void TExcelExport::ExportDS(TDataSet* dataSet, const TStrings& titles, const std::vector<TField*>& fields,
                            const std::string& sheetName, int startRow, int startCol, bool drawGrid)
{
    const int n = titles.Count();
    CheckBook();
    ActivateSheet(sheetName);
    StartExport(startCol, n, startRow);
    ProgressStart(dataSet->RecordCount() + 2);
    try {
        TExeclHeaderBuilder builder(std::shared_ptr<IExcelDocument>(std::shared_ptr<void>(), this), MultiHeader);
        builder.SetListOfTitles(titles);
        const int headerRows = builder.GetRowCount();
        for (int i = 0; i < headerRows; ++i)
            ExportLine(" ");
        FlushDDEBuffer();
        builder.Build();
        ProgressStep();

        dataSet->First();
        int count = 0;
        if (dataSet->Filtered())
            for (; !dataSet->Eof(); dataSet->Next())
                ++count;
        else
            count = dataSet->RecordCount();
        if (dataSet->RecordCount() > 1)
            for (int i = 0; i < n; ++i)
                if (fields[static_cast<size_t>(i)])
                    FormatColumn(fields[static_cast<size_t>(i)], m_startCol + i, count, headerRows);
        ProgressStep();

        std::string line;
        for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
            line.clear();
            for (TField* field : fields) {
                line += fieldCellText(field);
                line += '\t';
            }
            ExportLine(line);
            ProgressStep();
        }
        FlushDDEBuffer();
    } catch (...) {
        ProgressEnd();
        throw;
    }
    ProgressEnd();
    FormatPrint();
    if (drawGrid) {
        DrawGrid();
        AutoFit();
    }
}

void TExcelExport::FormatColumn(TField* field, int col, int recordCount, int headerRows)
{
    const TRect r = Range(m_startRow + headerRows, col, m_startRow + recordCount + headerRows - 1, col);
    const THorzAlign align = field->Alignment() == taRightJustify ? haRight : field->Alignment() == taCenter ? haCenter : haLeft;
    std::string format;
    bool setFormat = true;
    if (const auto* numeric = dynamic_cast<const TNumericField*>(field)) {
        if (!numeric->DisplayFormat().empty())
            format = ConvertNumberFormat(numeric->DisplayFormat());
        else if (!field->OnGetText)
            format = DefaultNumberFormat(field);
    } else if (dynamic_cast<const TDateTimeField*>(field)) {
        setFormat = false;
    } else {
        format = "@";
    }
    const std::string fileFormat = NumberFormatFromLocal(format);
    m_sheet->ChangeStyle(r.Top - 1, r.Left - 1, r.Bottom - 1, r.Right - 1, [&](TCellStyle& s) {
        s.HAlign = align;
        if (setFormat)
            s.NumberFormat = fileFormat;
    });
}

std::string TExcelExport::ConvertNumberFormat(const std::string& format)
{
    std::string s = format;
    std::replace(s.begin(), s.end(), ',', FormatSettings.ThousandSeparator);
    std::replace(s.begin(), s.end(), '.', FormatSettings.DecimalSeparator);
    return s;
}

void TExcelExport::CellValue(int row, int col, const Variant& value, const std::string& format)
{
    const TRect r = Range(row, col, row, col);
    switch (value.VarType()) {
    case TVarType::varEmpty:
    case TVarType::varNull: m_sheet->Clear(r.Top - 1, r.Left - 1); break;
    case TVarType::varString: TypeIntoCell(*m_sheet, r.Top - 1, r.Left - 1, value.AsString()); break;
    case TVarType::varBoolean: m_sheet->SetBoolean(r.Top - 1, r.Left - 1, value.AsBoolean()); break;
    case TVarType::varDate:
        m_sheet->SetNumber(r.Top - 1, r.Left - 1, value.AsDateTime());
        if (format.empty())
            m_sheet->ChangeStyle(r.Top - 1, r.Left - 1, r.Top - 1, r.Left - 1, [](TCellStyle& s) {
                if (s.NumberFormat.empty())
                    s.NumberFormat = "DD.MM.YYYY";
            });
        break;
    default: m_sheet->SetNumber(r.Top - 1, r.Left - 1, value.AsFloat()); break;
    }
    if (!format.empty()) {
        const std::string fileFormat = NumberFormatFromLocal(ConvertNumberFormat(format));
        m_sheet->ChangeStyle(r.Top - 1, r.Left - 1, r.Top - 1, r.Left - 1, [&](TCellStyle& s) { s.NumberFormat = fileFormat; });
    }
}

void TExcelExport::CellFormula(int row, int col, const std::string& formula, const std::string& format)
{
    const TRect r = Range(row, col, row, col);
    if (!formula.empty() && formula[0] == '=')
        m_sheet->SetFormula(r.Top - 1, r.Left - 1, formula.substr(1));
    else
        TypeIntoCell(*m_sheet, r.Top - 1, r.Left - 1, formula);
    if (!format.empty()) {
        const std::string fileFormat = NumberFormatFromLocal(ConvertNumberFormat(format));
        m_sheet->ChangeStyle(r.Top - 1, r.Left - 1, r.Top - 1, r.Left - 1, [&](TCellStyle& s) { s.NumberFormat = fileFormat; });
    }
}

std::string TExcelExport::CellAddr(int row, int col) { return ColumnLetters(col - 1) + IntToStr(row); }

std::string TExcelExport::SumFormula(int col, int row1, int row2)
{
    return "=SUM(" + CellAddr(row1, col) + ":" + CellAddr(row2, col) + ")";
}

void TExcelExport::DrawBorders(int top, int left, int bottom, int right, TExcelBorderStyle outer,
                               TExcelBorderStyle insideVertical, TExcelBorderStyle insideHorizontal)
{
    if (bottom <= top)
        insideHorizontal = ebsNone;
    if (right <= left)
        insideVertical = ebsNone;
    const TRect r = Range(top, left, bottom, right);
    // Each cell's sides: the range's edges take the outer weight, the others the inside ones.
    for (int row = r.Top; row <= r.Bottom; ++row)
        for (int col = r.Left; col <= r.Right; ++col)
            m_sheet->ChangeStyle(row - 1, col - 1, row - 1, col - 1, [&](TCellStyle& s) {
                auto set = [&](TBorderSide side, bool edge, TExcelBorderStyle inside) {
                    const TExcelBorderStyle style = edge ? outer : inside;
                    if (style != ebsNone)
                        s.Border[side] = weightOf(style);
                };
                set(bsLeft, col == r.Left, insideVertical);
                set(bsRight, col == r.Right, insideVertical);
                set(bsTop, row == r.Top, insideHorizontal);
                set(bsBottom, row == r.Bottom, insideHorizontal);
            });
}

void TExcelExport::DrawGrid()
{
    int r1, c1, r2, c2;
    if (!m_sheet->UsedRange(r1, c1, r2, c2))
        return;
    m_sheet->ChangeStyle(r1, c1, r2, c2, [](TCellStyle& s) {
        for (TBorderWeight& side : s.Border)
            side = bwThin;
    });
}

void TExcelExport::AutoFit()
{
    int r1, c1, r2, c2;
    if (m_sheet->UsedRange(r1, c1, r2, c2))
        m_sheet->AutoFit(c1, c2);
}

void TExcelExport::FormatCaption(int row, int leftCol, int rightCol)
{
    const TRect r = Range(row, leftCol, row, rightCol);
    m_sheet->ChangeStyle(r.Top - 1, r.Left - 1, r.Bottom - 1, r.Right - 1, [](TCellStyle& s) {
        s.Bold = true;
        s.HAlign = haCenter;
        s.VAlign = vaCenter;
        s.Wrap = true;
    });
}

void TExcelExport::FormatPrint()
{
    TPageSetup& page = m_sheet->PageSetup();
    if (!Title.empty()) {
        page.HeaderCenter = cp1251ToUtf8(headerLiteral(Title));
        page.PrintTitleFirst = page.PrintTitleLast = 0;
    }
    const bool russian = !ver2007 && ExcelVersion == xlsvRussian;
    const std::string left = russian ? "&Д &В"_w : "&D &T";
    const std::string right = russian ? "&С Страница из  &К"_w : "&P Страница из  &N"_w;
    page.FooterLeft = cp1251ToUtf8(fileHeaderCodes(left));
    page.FooterRight = cp1251ToUtf8(fileHeaderCodes(right));
}

void TExcelExport::translateGrid(TDBGridEh* grid)
{
    if (Lang == "RU" || m_lineCount <= 0 || !TranslateFields)
        return;
    int visible = 0;
    for (int i = 0; i < grid->Columns().Count(); ++i) {
        TColumnEh* column = grid->Columns().Items(i);
        if (!column->Visible())
            continue;
        ++visible;
        TField* field = column->Field();
        int index;
        if (!field || !TranslateFields->Find(upperCase(field->FullName()), index))
            continue;
        for (int r = 1; r <= m_lineCount; ++r) {
            const TCell* cell = m_sheet->Cell(r - 1, visible - 1);
            if (!cell || cell->Kind != ckText)
                continue;
            const std::string text = utf8ToCp1251(m_sheet->TextOf(*cell));
            m_sheet->SetText(r - 1, visible - 1, ReTranslateUtf8(Variant(text), Lang));
        }
    }
}

void TExcelExport::writeFooters(TDBGridEh* grid)
{
    for (int i = 0; i < grid->FooterRowCount(); ++i) {
        int k = 0;
        for (int c = 0; c < grid->Columns().Count(); ++c) {
            TColumnEh* column = grid->Columns().Items(c);
            if (!column->Visible())
                continue;
            const std::string s = grid->GetFooterValue(i, *column);
            if (!s.empty()) {
                std::string plain = s;
                std::erase(plain, '\xA0');
                Currency number;
                if (TryStrToCurr(plain, number)) {
                    std::string format = column->Footers(i).DisplayFormat();
                    if (format.empty()) {
                        const auto* numeric = dynamic_cast<const TNumericField*>(column->Field());
                        format = numeric ? numeric->DisplayFormat() : "#0";
                    }
                    CellValue(m_lineCount + i + 1, k + 1, Variant(number), format);
                } else {
                    CellValue(m_lineCount + i + 1, k + 1, Variant(s));
                }
                m_sheet->ChangeStyle(m_lineCount + i, k, m_lineCount + i, k, [](TCellStyle& st) { st.Bold = true; });
            }
            ++k;
        }
    }
}

void TExcelExport::Save(const std::string& fileName, bool close)
{
    CheckBook();
    m_workbook->SaveXlsx(fileName);
    if (close)
        m_workbook.reset();
}

// --- free functions -------------------------------------------------------------------------

std::string DefaultNumberFormat(const TField* field)
{
    if (field->DataType() == ftFloat || field->DataType() == ftCurrency)
        return std::string();
    if (field->DataType() == ftBCD && field->Size() > 0)
        return "#0" + std::string(1, FormatSettings.DecimalSeparator) + std::string(static_cast<size_t>(field->Size()), '#');
    return "#0";
}

void ExcelCopyDataSetDDE(TDataSet* dataSet, const std::string& sheetName, const std::string& fileName, const std::string& title)
{
    TExcelExport excel;
    excel.Title = title;
    excel.ExportDataSet(dataSet, sheetName, 1, 1);
    if (!fileName.empty())
        excel.Save(fileName, true);
}

void ExcelCopyGridDDE(TDBGridEh* grid, const std::string& sheetName, const std::string& title, const std::string& fileName,
                      bool multiHeader)
{
    TExcelExport excel;
    excel.ShowProgress = true;
    excel.Title = title;
    excel.MultiHeader = multiHeader;
    excel.Lang = GridExportLanguage(grid->Tag(), excel.TranslateFields);
    excel.ExportGrid(grid, sheetName, 1, 1);
    if (!fileName.empty())
        excel.Save(fileName, true);
}

} // namespace lm
