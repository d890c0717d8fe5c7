// The workbook reader on hand-written files: what other programs put in xlsx and ods parts
// (shared strings with runs, styles that make dates, repeated and covered cells, notes).
#include <gtest/gtest.h>

#include "export/sheetreader.h"
#include "exportfixture.h"
#include "util/cp1251.h"

using namespace lm;
using lm::test::TempDir;
using lm::test::writeZip;

namespace {

const char* const kRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://x/worksheet\" Target=\"/xl/worksheets/second.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"http://x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";

std::string text(const TReadSheet& sheet, int row, int col)
{
    const TReadCell* cell = sheet.Cell(row, col);
    return cell ? cell->Text : "(none)";
}

} // namespace

TEST(SheetReader, XlsxSharedStringsStylesAndSheetOrder)
{
    TempDir dir;
    const std::string file = dir.file("hand.xlsx");
    writeZip(file, {
        {"[Content_Types].xml", "<Types/>"},
        {"xl/_rels/workbook.xml.rels", kRels},
        {"xl/workbook.xml", "<x:workbook xmlns:x=\"s\" xmlns:r=\"r\"><x:bookViews><x:workbookView activeTab=\"1\"/></x:bookViews>"
                            "<x:sheets><x:sheet name=\"Первый\" sheetId=\"1\" r:id=\"rId1\"/>"
                            "<x:sheet name=\"Second\" sheetId=\"2\" r:id=\"rId2\"/></x:sheets></x:workbook>"},
        {"xl/sharedStrings.xml", "<sst><si><t>Плain</t></si><si><r><t>Rich </t></r><r><t>text</t></r>"
                                 "<rPh><t>ignored</t></rPh></si></sst>"},
        {"xl/styles.xml", "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"[$-419]DD/MM/YYYY\"/>"
                          "<numFmt numFmtId=\"165\" formatCode=\"#,##0.00&quot; р.&quot;\"/></numFmts>"
                          "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/>"
                          "<xf numFmtId=\"10\"/></cellXfs></styleSheet>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet><sheetData><row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c>"
         "<c r=\"D2\" s=\"1\"><v>39877</v></c><c r=\"E2\" s=\"2\"><v>39877.5</v></c><c r=\"F2\" s=\"3\"><v>1234.5</v></c>"
         "<c r=\"G2\" s=\"4\"><v>0.125</v></c><c r=\"H2\" t=\"b\"><v>1</v></c><c r=\"I2\" t=\"inlineStr\"><is><t>в строке</t></is></c>"
         "<c r=\"J2\" t=\"str\"><f>A1</f><v>formula text</v></c><c r=\"K2\"><f>1+1</f></c><c r=\"L2\" t=\"s\"><v>99</v></c>"
         "</row></sheetData><mergeCells><mergeCell ref=\"A2:B2\"/></mergeCells></worksheet>"},
        {"xl/worksheets/second.xml", "<worksheet><sheetData><row><c><v>7</v></c></row></sheetData></worksheet>"},
    });
    auto book = TSheetFile::Open(file);
    ASSERT_EQ(book->SheetCount(), 2);
    EXPECT_EQ(book->SheetName(0), "Первый"_w);
    EXPECT_EQ(book->ActiveSheet(), 1);
    const TReadSheet& s = book->Sheet(0);
    EXPECT_EQ(text(s, 1, 0), utf8ToCp1251("Плain"));
    EXPECT_EQ(text(s, 1, 1), "Rich text");  // a cell without a reference follows the previous one
    EXPECT_EQ(text(s, 1, 3), "05.03.2009");
    EXPECT_EQ(s.Cell(1, 3)->Value.VarType(), TVarType::varDate);
    EXPECT_EQ(text(s, 1, 4), "05.03.2009");
    EXPECT_EQ(text(s, 1, 5), std::string("1\xA0") + "234,50 р."_w);
    EXPECT_EQ(text(s, 1, 6), "12,50%");
    EXPECT_EQ(text(s, 1, 7), "ИСТИНА"_w);
    EXPECT_TRUE(s.Cell(1, 7)->Value.AsBoolean());
    EXPECT_EQ(text(s, 1, 8), "в строке"_w);
    EXPECT_EQ(text(s, 1, 9), "formula text");
    EXPECT_EQ(text(s, 1, 10), "(none)");  // a formula without a cached value
    EXPECT_EQ(text(s, 1, 11), "");        // a shared string index beyond the table
    EXPECT_EQ(text(book->Sheet(1), 0, 0), "7");
}

TEST(SheetReader, OdsRepeatsCoversNotesAndSpaces)
{
    TempDir dir;
    const std::string file = dir.file("hand.ods");
    writeZip(file, {
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
        {"content.xml",
         "<office:document-content xmlns:office=\"o\" xmlns:table=\"t\" xmlns:text=\"x\"><office:body><office:spreadsheet>"
         "<table:table table:name=\"Лист\"><table:table-row table:number-rows-repeated=\"2\"><table:table-cell/></table:table-row>"
         "<table:table-row table:number-rows-repeated=\"2\">"
         "<table:table-cell table:number-columns-spanned=\"2\" office:value-type=\"string\"><text:p>a<text:s text:c=\"3\"/>b</text:p>"
         "<text:p>second<text:tab/>line</text:p></table:table-cell><table:covered-table-cell/>"
         "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"2.5\"><text:p>2,50</text:p>"
         "</table:table-cell><table:table-cell office:value-type=\"date\" office:date-value=\"2009-03-05T12:00:00\"/>"
         "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"><text:p>ИСТИНА</text:p></table:table-cell>"
         "<table:table-cell office:value-type=\"string\"><office:annotation><text:p>note</text:p></office:annotation>"
         "<text:p>shown</text:p></table:table-cell>"
         "<table:table-cell table:number-columns-repeated=\"16000\"/></table:table-row>"
         "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell table:number-columns-repeated=\"1024\"/></table:table-row>"
         "</table:table><table:table table:name=\"Two\"/></office:spreadsheet></office:body></office:document-content>"},
    });
    auto book = TSheetFile::Open(file);
    ASSERT_EQ(book->SheetCount(), 2);
    EXPECT_EQ(book->SheetName(0), "Лист"_w);
    const TReadSheet& s = book->Sheet(0);
    EXPECT_EQ(s.CellCount(), 12u);  // two rows of six cells: the covered one holds nothing
    EXPECT_EQ(text(s, 1, 0), "(none)");
    EXPECT_EQ(text(s, 2, 0), "a   b\nsecond\tline");
    EXPECT_EQ(text(s, 3, 2), "2,50");
    EXPECT_DOUBLE_EQ(s.Cell(3, 3)->Value.AsFloat(), 2.5);
    EXPECT_EQ(s.Cell(2, 4)->Value.VarType(), TVarType::varDate);
    EXPECT_DOUBLE_EQ(s.Cell(2, 4)->Value.AsDateTime(), 39877.5);
    EXPECT_EQ(text(s, 2, 4), "05.03.2009 12:00:00");
    EXPECT_TRUE(s.Cell(2, 5)->Value.AsBoolean());
    EXPECT_EQ(text(s, 2, 6), "shown");
    EXPECT_EQ(book->Sheet(1).CellCount(), 0u);
}
