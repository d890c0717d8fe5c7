// Writing and reading workbooks: the xlsx and ods files themselves, round trips through
// ExcelToDataSet, and the import's row detection, messages and document kinds.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "export/excelexport.h"
#include "export/excelimport.h"
#include "export/opoffice.h"
#include "export/sheetreader.h"
#include "export/workbook.h"
#include "exportfixture.h"
#include "../util/asnobody.h"
#include "../util/messageof.h"
#include "util/cp1251.h"

using namespace lm;
using lm::test::GoodsGrid;
using lm::test::TempDir;
using lm::test::importedGoods;
using lm::test::messageOf;
using lm::test::zipEntries;
using lm::test::zipPart;

namespace {

// A one-sheet workbook with the given texts in column 1 from row 1 and numbers in column 2.
std::string smallBook(const TempDir& dir, const std::vector<std::string>& keys)
{
    TWorkbook book;
    TWorksheet& sheet = book.AddSheet("S");
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].empty())
            sheet.SetText(static_cast<int>(i), 0, cp1251ToUtf8(keys[i]));
        sheet.SetNumber(static_cast<int>(i), 1, static_cast<double>(i) + 0.5);
    }
    const std::string file = dir.file("small.xlsx");
    book.SaveXlsx(file);
    return file;
}

} // namespace

TEST(WorkbookFiles, XlsxHoldsMergedRangesNumberFormatsAndHeaders)
{
    TempDir dir;
    GoodsGrid g;
    ExcelCopyGridDDE(&g.grid, "Остатки"_w, "Товары"_w, dir.file("a.xlsx"), true);
    const std::string sheet = zipPart(dir.file("a.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<mergeCell ref=\"B1:C1\"/>"), std::string::npos) << sheet.substr(0, 400);
    EXPECT_NE(sheet.find("<mergeCell ref=\"A1:A2\"/>"), std::string::npos);
    EXPECT_NE(sheet.find("<oddHeader>&amp;C" + cp1251ToUtf8("Товары"_w)), std::string::npos);
    EXPECT_NE(sheet.find("&amp;L&amp;D &amp;T"), std::string::npos);
    const std::string styles = zipPart(dir.file("a.xlsx"), "xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"#0.##\""), std::string::npos);
    EXPECT_NE(styles.find("formatCode=\"DD.MM.YYYY\""), std::string::npos);
    EXPECT_NE(styles.find("formatCode=\"@\""), std::string::npos);
    const std::string book = zipPart(dir.file("a.xlsx"), "xl/workbook.xml");
    EXPECT_NE(book.find("name=\"" + cp1251ToUtf8("Остатки"_w) + "\""), std::string::npos);
    EXPECT_NE(book.find("_xlnm.Print_Titles"), std::string::npos);
}

TEST(WorkbookFiles, OdsIsAZipWithTheStoredMimetypeFirst)
{
    TempDir dir;
    GoodsGrid g;
    ASSERT_TRUE(OpExcelOleCopyGrideh(&g.grid, nullptr, "T", "S", true, "", true, true, true, false, "", dir.file("a.ods"),
                                     false, false, 0));
    const auto entries = zipEntries(dir.file("a.ods"));
    ASSERT_GE(entries.size(), 5u);
    EXPECT_EQ(entries[0], std::make_pair(std::string("mimetype"), true));
    EXPECT_EQ(zipPart(dir.file("a.ods"), "mimetype"), "application/vnd.oasis.opendocument.spreadsheet");
    const std::string content = zipPart(dir.file("a.ods"), "content.xml");
    EXPECT_NE(content.find("table:number-columns-spanned=\"2\""), std::string::npos);
    EXPECT_NE(content.find("<table:covered-table-cell"), std::string::npos);
    EXPECT_NE(zipPart(dir.file("a.ods"), "styles.xml").find("<style:region-center><text:p>T</text:p>"), std::string::npos);
    EXPECT_NE(zipPart(dir.file("a.ods"), "META-INF/manifest.xml").find("content.xml"), std::string::npos);
}

TEST(WorkbookFiles, DataSetsRoundTripThroughXlsxAndOds)
{
    TempDir dir;
    GoodsGrid g;
    ExcelCopyDataSetDDE(&g.goods, "S", dir.file("r.xlsx"), "");
    ASSERT_TRUE(OpExcelOleCopyGrideh(nullptr, &g.goods, "", "S", false, "", true, false, false, false, "", dir.file("r.ods"),
                                     false, false, 0));
    // Text fields come back trimmed, so the guard blank of the fraction fix goes again.
    const std::vector<std::string> expected = {
        "1|Аспирин|12,5|01.12.2026|12/5"_w,
        "2|Ёлка 'Зимняя'|1500,75|05.03.2009|7"_w,
        "3|Йод|||0012"_w,
    };
    EXPECT_EQ(importedGoods(dir.file("r.xlsx")), expected);
    std::vector<std::string> odsExpected = expected;
    odsExpected[1] = "2|Ёлка \"Зимняя\"|1500,75|05.03.2009|7"_w;  // quotes are kept on this path
    EXPECT_EQ(importedGoods(dir.file("r.ods")), odsExpected);
}

TEST(WorkbookFiles, SavingThroughALinkReplacesItsFileAndKeepsPermissions)
{
    TempDir dir;
    namespace fs = std::filesystem;
    const std::string target = dir.file("real.xlsx");
    const std::string link = dir.file("link.xlsx");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    fs::create_symlink(target, link);
    TWorkbook book;
    book.AddSheet("S").SetText(0, 0, "new");
    book.SaveXlsx(link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));
    auto read = TSheetFile::Open(target);
    EXPECT_EQ(read->Sheet(0).Cell(0, 0)->Text, "new");

    // a file the user may not write is refused, though the folder would take a new one
    const std::string locked = dir.file("locked.ods");
    std::ofstream(locked) << "old";
    ::chmod(locked.c_str(), 0444);
    ::chmod(dir.path.c_str(), 0777);
    EXPECT_EQ(test::asNobody([&] {
        try {
            book.SaveOds(locked);
            return std::string("saved over a read-only file");
        } catch (const EInOutError& e) {
            return e.Message().find("Permission denied") == std::string::npos ? e.Message() : std::string();
        }
    }), "");
    std::ifstream in(locked);
    std::string old;
    std::getline(in, old);
    EXPECT_EQ(old, "old");
}

TEST(WorkbookImport, RowsEndAtTheFirstEmptyKeyCell)
{
    TempDir dir;
    const std::string file = smallBook(dir, {"head", " a ", "b", "", "d"});
    TMemDataSet ds;
    ds.FieldDefs().Add("K", ftString, 10);
    ds.FieldDefs().Add("V", ftFloat);
    ds.FieldDefs().Add("UNSET", ftString, 10);
    ds.CreateDataSet();
    ds.Fields(0)->SetTag(1);
    ds.Fields(1)->SetTag(2);
    std::vector<std::pair<int, int>> progress;
    ExcelToDataSet(file, &ds, 2, 1, [&](int count, int num) { progress.emplace_back(count, num); });
    ASSERT_EQ(ds.RecordCount(), 2);
    ds.First();
    EXPECT_EQ(ds.Fields(0)->AsString(), "a");  // trimmed
    EXPECT_DOUBLE_EQ(ds.Fields(1)->AsFloat(), 1.5);
    EXPECT_TRUE(ds.Fields(2)->IsNull());
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}}));

    EXPECT_EQ(messageOf([&] { ExcelToDataSet(file, &ds, 4, 1); }),
              Format("Ошибка разбора файла %s строка 4:\r\nСтартовая ячейка [4, 1] содержит пустое значение"_w, {file}));
}

TEST(WorkbookImport, ClearMessagesForFilesThatAreNoWorkbooks)
{
    TempDir dir;
    TMemDataSet ds;
    ds.FieldDefs().Add("K", ftString, 10);
    ds.CreateDataSet();
    const std::string text = dir.file("note.xlsx");
    std::ofstream(text) << "just text";
    EXPECT_EQ(messageOf([&] { ExcelToDataSet(text, &ds, 1, 1); }), Format("Файл %s не является книгой xlsx или ods"_w, {text}));
    EXPECT_EQ(messageOf([&] { ExcelToDataSet(dir.file("none.xlsx"), &ds, 1, 1); }),
              Format("Не найден файл %s"_w, {dir.file("none.xlsx")}));
    const std::string file = smallBook(dir, {"a"});
    EXPECT_EQ(messageOf([&] { ExcelToDataSet(file, &ds, 1, 1, nullptr, 3); }), Format("Лист 3 не найден в файле %s"_w, {file}));
}

TEST(WorkbookImport, DocumentKindsMapColumnsByName)
{
    TempDir dir;
    const std::string file = smallBook(dir, {"7", "7", "8"});
    TMemDataSet map;
    map.FieldDefs().Add("FNAME", ftString, 30);
    map.FieldDefs().Add("COL", ftInteger);
    map.FieldDefs().Add("FLABEL", ftString, 30);
    map.CreateDataSet();
    map.AppendRecord({"MED_ID", 1, "Код"_w});
    map.AppendRecord({"PRICE_VAL", 2, "Цена"_w});
    map.AppendRecord({"UNKNOWN", 3, ""});
    TMemDataSet prices;
    prices.FieldDefs().Add("MED_ID", ftString, 10);
    prices.FieldDefs().Add("PRICE_VAL", ftString, 10);
    prices.CreateDataSet();
    ExcelToDocs(file, &map, &prices, 1, 1, nullptr, 0, 1);
    ASSERT_EQ(prices.RecordCount(), 2);  // the second "7" is skipped
    prices.Last();
    EXPECT_EQ(prices.Fields(0)->AsString(), "8");
    EXPECT_EQ(prices.Fields(1)->AsString(), "2,5");

    map.AppendRecord({"NODE_ID", 0, "Узел"_w});
    TMemDataSet plans;
    EXPECT_EQ(messageOf([&] { ExcelToDocs(file, &map, &plans, 1, 1, nullptr, 0, 6); }),
              Format("Ошибка разбора файла %s строка 1:\r\nНедопустимое значение : 'Узел'"_w, {file}));
}
