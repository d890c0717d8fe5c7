// The Excel-style export: typed text, the fraction fix, the sheet it fills, formats, footers,
// translation, page setup, limits.
#include <gtest/gtest.h>

#include "export/excelexport.h"
#include "export/exceltyping.h"
#include "exportfixture.h"
#include "../util/messageof.h"
#include "util/cp1251.h"
#include "util/fastlist.h"

using namespace lm;
using lm::test::GoodsGrid;
using lm::test::messageOf;

namespace {

// The text or number of a 1-based cell of the exporter's sheet, as "t:<text>", "n:<number>"
// or "" when empty.
std::string cellOf(const TExcelExport& excel, int row, int col)
{
    const TCell* cell = excel.Sheet()->Cell(row - 1, col - 1);
    if (!cell || cell->Kind == ckEmpty)
        return std::string();
    if (cell->Kind == ckNumber)
        return "n:" + FloatToStr(cell->Number);
    if (cell->Kind == ckFormula)
        return "f:" + std::string(excel.Sheet()->TextOf(*cell));
    return "t:" + utf8ToCp1251(excel.Sheet()->TextOf(*cell));
}

const TCellStyle& styleOf(const TExcelExport& excel, int row, int col)
{
    const TCell* cell = excel.Sheet()->Cell(row - 1, col - 1);
    return excel.Workbook()->Style(cell ? cell->Style : 0);
}

} // namespace

TEST(ExcelTyping, ReadsNumbersDatesAndTextTheRussianWay)
{
    EXPECT_EQ(ParseTypedText("-12,5").Kind, tkNumber);
    EXPECT_DOUBLE_EQ(ParseTypedText("-12,5").Number, -12.5);
    EXPECT_DOUBLE_EQ(ParseTypedText("1,5E3").Number, 1500);
    EXPECT_EQ(ParseTypedText("05.03.2009").Kind, tkDate);
    EXPECT_DOUBLE_EQ(ParseTypedText("05.03.2009").Number, EncodeDate(2009, 3, 5));
    EXPECT_EQ(ParseTypedText("05.03.2009 10:20:30").Kind, tkDateTime);
    EXPECT_TRUE(ParseTypedText("05.03.2009 10:20:30").Seconds);
    EXPECT_EQ(ParseTypedText("12/5").Kind, tkDayMonth);  // why the fraction fix exists
    EXPECT_EQ(ParseTypedText("10:15").Kind, tkTime);
    for (const char* text : {" 12/5", "12.5.", "1.5.20099", "32.01.2009", "12,5,1", "'12", "abc", "1 234"})
        EXPECT_EQ(ParseTypedText(text).Kind, tkText) << text;
    EXPECT_EQ(ParseTypedText("'12").Text, "12");
    EXPECT_EQ(ParseTypedText("").Kind, tkEmpty);
}

TEST(ExcelTyping, FractionFixGuardsShortFractionsOnly)
{
    EXPECT_EQ(FractionFix("12/5\t1/5\t1/10\t123/4\tab/5\t12/34\t12/345"), " 12/5\t1/5\t 1/10\t123/4\tab/5\t 12/34\t12/345\t");
    // A quoted item keeps its TAB and is not split.
    EXPECT_EQ(FractionFix("\"a\tb\"\t12/5"), "\"a\tb\"\t 12/5\t");
}

TEST(ExcelExport, AddressesAndSumFormulas)
{
    EXPECT_EQ(TExcelExport::CellAddr(1, 26), "Z1");
    EXPECT_EQ(TExcelExport::CellAddr(5, 27), "AA5");
    EXPECT_EQ(TExcelExport::CellAddr(2, 52), "AZ2");
    EXPECT_EQ(TExcelExport::CellAddr(3, 28), "AB3");
    EXPECT_EQ(TExcelExport::SumFormula(3, 2, 10), "=SUM(C2:C10)");
    EXPECT_EQ(TExcelExport::ConvertNumberFormat("#,##0.00"), "#\xA0##0,00");
}

TEST(ExcelExport, DataSetFillsRowsBelowTheTitleWithTypedValues)
{
    GoodsGrid g;
    TExcelExport excel;
    excel.MultiHeader = true;
    excel.ExportDataSet(&g.goods, "Остатки"_w, 1, 1);
    // Two title rows: "Товар" merged over NAME and PRICE, ID and CODE merged down.
    EXPECT_EQ(cellOf(excel, 1, 1), "t:ID");
    EXPECT_EQ(cellOf(excel, 1, 2), "t:Товар"_w);
    EXPECT_EQ(cellOf(excel, 2, 2), "t:Название"_w);
    EXPECT_EQ(cellOf(excel, 2, 1), "");  // hidden under the merged ID
    EXPECT_TRUE(excel.Sheet()->IsCovered(0, 2));
    EXPECT_TRUE(styleOf(excel, 1, 1).Bold);
    // Records from row 3; text columns are text, so "12/5" and " 7" and "0012" stay as typed.
    EXPECT_EQ(cellOf(excel, 3, 1), "n:1");
    EXPECT_EQ(cellOf(excel, 3, 2), "t:Аспирин"_w);
    EXPECT_EQ(cellOf(excel, 3, 3), "n:12,5");
    EXPECT_EQ(cellOf(excel, 3, 4), "n:" + FloatToStr(EncodeDate(2026, 12, 1)));
    EXPECT_EQ(styleOf(excel, 3, 4).NumberFormat, "DD.MM.YYYY");
    EXPECT_EQ(cellOf(excel, 3, 5), "t: 12/5");
    EXPECT_EQ(cellOf(excel, 4, 2), "t:Ёлка 'Зимняя'"_w);  // quotes become apostrophes
    EXPECT_EQ(cellOf(excel, 4, 5), "t: 7");
    EXPECT_EQ(cellOf(excel, 5, 5), "t:0012");
    EXPECT_EQ(cellOf(excel, 5, 3), "");  // null price
    EXPECT_EQ(styleOf(excel, 3, 5).NumberFormat, "@");
    EXPECT_EQ(styleOf(excel, 3, 3).NumberFormat, "#0.##");
    EXPECT_EQ(styleOf(excel, 3, 3).HAlign, haRight);
    EXPECT_EQ(styleOf(excel, 5, 1).Border[bsBottom], bwThin);  // DrawGrid
    EXPECT_EQ(excel.Sheet()->Name(), cp1251ToUtf8("Остатки"_w));
    EXPECT_EQ(excel.Sheet()->PageSetup().FooterLeft, "&D &T");
    EXPECT_EQ(excel.Sheet()->PageSetup().FooterRight, cp1251ToUtf8("&P Страница из  &N"_w));
}

TEST(ExcelExport, WithoutTextFormatsASingleRecordIsTypedAsExcelWouldTypeIt)
{
    // Column formats come only with more than one record: a lone "12/5" code keeps its
    // leading blank from the fraction fix and stays text, a lone numeric text becomes a number.
    TMemDataSet ds;
    ds.FieldDefs().Add("CODE", ftString, 10);
    ds.FieldDefs().Add("NUM", ftString, 10);
    ds.CreateDataSet();
    ds.AppendRecord({"12/5", "0012"});
    TExcelExport excel;
    excel.ExportDataSet(&ds, "", 1, 1);
    EXPECT_EQ(cellOf(excel, 2, 1), "t: 12/5");
    EXPECT_EQ(cellOf(excel, 2, 2), "n:12");
}

TEST(ExcelExport, FilteredDataSetsAndNumericFractionsAndEmptyTitles)
{
    GoodsGrid g;
    auto* qty = static_cast<TNumericField*>(g.goods.FieldByName("ID"));
    qty->OnGetText = [](TField* f, std::string& text, bool) { text = IntToStr(f->AsInteger()) + "/10"; };
    g.goods.SetFilter("ID > 1");
    g.goods.SetFiltered(true);
    TExcelExport excel;
    excel.ExportDataSet(&g.goods, "", 1, 1);
    EXPECT_EQ(cellOf(excel, 2, 1), "n:0,2");  // "2/10" exported as AsInteger / 10
    EXPECT_EQ(cellOf(excel, 3, 1), "n:0,3");
    EXPECT_EQ(cellOf(excel, 4, 1), "");
    EXPECT_EQ(styleOf(excel, 2, 1).NumberFormat, "");  // OnGetText: no format

    TMemDataSet hidden;
    hidden.FieldDefs().Add("A", ftInteger);
    hidden.CreateDataSet();
    hidden.Fields(0)->SetVisible(false);
    TExcelExport none;
    none.ExportDataSet(&hidden, "", 1, 1);
    int r1, c1, r2, c2;
    EXPECT_FALSE(none.Sheet()->UsedRange(r1, c1, r2, c2));
}

TEST(ExcelExport, GridAddsBoldFootersAndTranslatesListedFields)
{
    GoodsGrid g;
    g.grid.SetFooterRowCount(1);
    g.grid.Columns().Items(0)->Footer().SetValueType(fvtStaticText);
    g.grid.Columns().Items(0)->Footer().SetValue("Итого"_w);
    g.grid.Columns().Items(2)->Footer().SetValueType(fvtSum);
    g.grid.Columns().Items(2)->Footer().SetDisplayFormat("#,##0.00");
    TFastList fields;
    fields.SetSorted(true);
    fields.Add("NAME");
    TGridExportInfo info{"KZ", &fields};
    g.grid.SetTag(RegisterGridExportInfo(&info));
    g.goods.Edit();
    g.goods.FieldByName("NAME")->SetAsString(std::string("\xAA", 1));  // the Kazakh private byte of Ә
    g.goods.Post();
    g.goods.First();

    TExcelExport excel;
    excel.Lang = GridExportLanguage(g.grid.Tag(), excel.TranslateFields);
    excel.ExportGrid(&g.grid, "", 1, 1);
    UnregisterGridExportInfo(g.grid.Tag());
    EXPECT_EQ(excel.Sheet()->TextOf(*excel.Sheet()->Cell(1, 1)), "\xD3\x98");  // U+04D8
    EXPECT_EQ(cellOf(excel, 5, 1), "t:Итого"_w);
    EXPECT_EQ(cellOf(excel, 5, 3), "n:1513,25");
    EXPECT_EQ(styleOf(excel, 5, 3).NumberFormat, "#,##0.00");
    EXPECT_TRUE(styleOf(excel, 5, 3).Bold);
    EXPECT_EQ(styleOf(excel, 5, 3).Border[bsLeft], bwThin);
    EXPECT_TRUE(excel.Sheet()->Columns().at(1).Optimal);
}

TEST(ExcelExport, SheetsAreFoundByNameCutToThirtyCharacters)
{
    GoodsGrid g;
    TExcelExport excel;
    excel.ExportDataSet(&g.goods, "Первый"_w, 1, 1);
    excel.ExportDataSet(&g.goods, std::string(40, 'x'), 1, 1);
    excel.ExportDataSet(&g.goods, "Первый"_w, 10, 1);
    ASSERT_EQ(excel.Workbook()->SheetCount(), 2);
    EXPECT_EQ(excel.Workbook()->Sheet(1).Name(), std::string(30, 'x'));
    EXPECT_EQ(excel.Sheet(), &excel.Workbook()->Sheet(0));
    EXPECT_EQ(cellOf(excel, 11, 2), "t:Аспирин"_w);  // the second export's records from row 10 + 1 title row
    EXPECT_EQ(cellOf(excel, 1, 2), "t:Товар\nНазвание"_w);  // its title block still at A1
}

TEST(ExcelExport, PageSetupTranslatesRussianCodesAndKeepsAmpersandsOfTheTitle)
{
    GoodsGrid g;
    TExcelExport excel;
    excel.Title = "Цены & остатки"_w;
    ver2007 = false;
    excel.ExportDataSet(&g.goods, "", 1, 1);
    ver2007 = true;
    const TPageSetup& page = excel.Sheet()->PageSetup();
    EXPECT_EQ(page.HeaderCenter, cp1251ToUtf8("Цены && остатки"_w));
    EXPECT_EQ(page.PrintTitleFirst, 0);
    EXPECT_EQ(page.FooterLeft, "&D &T");
    EXPECT_EQ(page.FooterRight, cp1251ToUtf8("&P Страница из  &N"_w));
}

TEST(ExcelExport, LimitsRaiseTheirMessages)
{
    TExcelExport excel;
    excel.StartExport(1, 2, 1);
    EXPECT_EQ(messageOf([&] { excel.ExportLine(std::string(60001, 'a')); }), "Слишком много столбцов для экспорта в Excel."_w);
    EXPECT_EQ(messageOf([&] { excel.StartExport(16384, 2, 1); }),
              "Слишком много столбцов для экспорта в Excel.Макcимальное количество 16384."_w);
    excel.StartExport(1, 1, 1048576);
    excel.ExportLine("a\t");
    EXPECT_EQ(messageOf([&] { excel.ExportLine("b\t"); }),
              "Слишком много строк для экспорта в Excel.Макcимальное количество 1048576."_w);
    excel.FlushDDEBuffer();
    EXPECT_EQ(cellOf(excel, 1048576, 1), "t:a");  // rows before the limit stay
    EXPECT_EQ(messageOf([&] { excel.CellValue(0, 1, Variant(1)); }),
              "Cell lies outside the sheet. Range: Top 0 Left 1 Bottom 0 Right 1");
}

TEST(ExcelExport, BlocksOverflowingTheBufferAreFlushedInOrder)
{
    TExcelExport excel;
    excel.StartExport(2, 1, 3);
    const std::string item(20000, 'z');
    for (int i = 0; i < 5; ++i)
        excel.ExportLine(item + std::to_string(i) + "\t");
    excel.FlushDDEBuffer();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(cellOf(excel, 3 + i, 2), "t:" + item + std::to_string(i));
    EXPECT_EQ(cellOf(excel, 8, 2), "");
}
