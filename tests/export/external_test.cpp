// LibreOffice reads what we write: every xlsx and ods produced here is converted to CSV by
// LibreOffice headless, and the texts it reports are the ones we exported; workbooks that
// LibreOffice wrote are imported back. Each conversion runs with a private user profile so
// tests can run in parallel.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/excelexport.h"
#include "export/excelimport.h"
#include "export/opoffice.h"
#include "exportfixture.h"
#include "util/cp1251.h"
#include "util/process.h"

using namespace lm;
using lm::test::GoodsGrid;
using lm::test::TempDir;
using lm::test::importedGoods;

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Converts `file` with LibreOffice to `filter` in `outDir`; fails the test when it does not end well.
void convert(const TempDir& dir, const std::string& file, const std::string& filter, const fs::path& outDir)
{
    const std::string profile = "file://" + (dir.path / "profile").string();
    const std::string cmd = "soffice --headless --norestore -env:UserInstallation=" + profile + " --convert-to '" + filter +
                            "' --outdir '" + outDir.string() + "' '" + file + "'";
    std::string log;
    const int rc = ExecLogOutput(cmd, std::string(), [&](const std::string& line) { log += line + "\n"; });
    ASSERT_EQ(rc, 0) << log;
}

// The CSV of each sheet (LibreOffice writes "<name>-<sheet>.csv"), by sheet name, in UTF-8.
std::map<std::string, Rows> sheetsAsCsv(const TempDir& dir, const std::string& file)
{
    const fs::path out = dir.path / ("csv-" + fs::path(file).filename().string());
    fs::create_directories(out);
    convert(dir, file, "csv:Text - txt - csv (StarCalc):44,34,76,1,,1049,false,true,true,false,false,-1", out);
    std::map<std::string, Rows> sheets;
    const std::string stem = fs::path(file).stem().string() + "-";
    for (const auto& entry : fs::directory_iterator(out)) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        Rows rows(1, std::vector<std::string>(1));
        bool quoted = false;
        const std::string s = text.str();
        for (size_t i = 0; i < s.size(); ++i) {
            const char c = s[i];
            if (quoted && c == '"' && i + 1 < s.size() && s[i + 1] == '"')
                rows.back().back() += '"', ++i;
            else if (c == '"')
                quoted = !quoted;
            else if (!quoted && c == ',')
                rows.back().emplace_back();
            else if (!quoted && c == '\n')
                rows.emplace_back(1);
            else
                rows.back().back() += c;
        }
        if (rows.back() == std::vector<std::string>(1))
            rows.pop_back();
        sheets[entry.path().stem().string().substr(stem.size())] = rows;
    }
    return sheets;
}

std::vector<std::string> u(std::initializer_list<const char*> cp1251)
{
    std::vector<std::string> out;
    for (const char* s : cp1251)
        out.push_back(cp1251ToUtf8(s));
    return out;
}

} // namespace

TEST(LibreOffice, ReadsOurXlsxTitleBlockValuesAndComputedSums)
{
    TempDir dir;
    GoodsGrid g;
    {
        TExcelExport excel;
        excel.MultiHeader = true;
        excel.Title = "Товары"_w;
        excel.ExportGrid(&g.grid, "Остатки"_w, 1, 1);
        excel.CellValue(6, 2, Variant("Итого"_w));
        excel.CellFormula(6, 3, TExcelExport::SumFormula(3, 3, 5), "#,##0.00");
        excel.Save(dir.file("goods.xlsx"), true);
    }
    const auto sheets = sheetsAsCsv(dir, dir.file("goods.xlsx"));
    ASSERT_EQ(sheets.count(cp1251ToUtf8("Остатки"_w)), 1u);
    const Rows& rows = sheets.at(cp1251ToUtf8("Остатки"_w));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], u({"ID", "Товар"_w, "", "Дата"_w, "CODE"}));
    EXPECT_EQ(rows[1], u({"", "Название"_w, "Цена"_w, "", ""}));
    EXPECT_EQ(rows[2], u({"1", "Аспирин"_w, "12.5", "01.12.2026", " 12/5"}));
    EXPECT_EQ(rows[3], u({"2", "Ёлка 'Зимняя'"_w, "1500.75", "05.03.2009", " 7"}));
    EXPECT_EQ(rows[4], u({"3", "Йод"_w, "", "", "0012"}));
    EXPECT_EQ(rows[5], u({"", "Итого"_w, "1,513.25", "", ""}));
}

TEST(LibreOffice, ReadsOurOdsAndBothSheetsOfASplitExport)
{
    TempDir dir;
    GoodsGrid g;
    g.grid.SetFooterRowCount(1);
    g.grid.Columns().Items(2)->Footer().SetValueType(fvtSum);
    ASSERT_TRUE(OpExcelOleCopyGrideh(&g.grid, nullptr, "Товары"_w, "Остатки 2009/10"_w, true, "", true, true, true, true, "",
                                     dir.file("goods.ods"), false, false, 0));
    const auto sheets = sheetsAsCsv(dir, dir.file("goods.ods"));
    const Rows& rows = sheets.at(cp1251ToUtf8("Остатки 200910"_w));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], u({"ID", "Товар"_w, "", "Дата"_w, "CODE"}));
    EXPECT_EQ(rows[1], u({"", "Название"_w, "Цена"_w, "", ""}));
    EXPECT_EQ(rows[2], u({"1", "Аспирин"_w, "12.5", "01.12.2026", "12/5"}));
    EXPECT_EQ(rows[3], u({"2", "Ёлка \"Зимняя\""_w, "1500.75", "05.03.2009", " 7"}));
    EXPECT_EQ(rows[5], u({"", "", "1513.25", "", ""}));

    TMemDataSet wide;
    for (int c = 1; c <= 251; ++c)
        wide.FieldDefs().Add("F" + std::to_string(c), ftFloat);
    wide.CreateDataSet();
    std::vector<Variant> values;
    for (int c = 1; c <= 251; ++c)
        values.emplace_back(c + 0.25);
    wide.AppendRecord(values);
    ASSERT_TRUE(OpExcelOleCopyGrideh(nullptr, &wide, "", "Широкий"_w, false, "", true, true, false, false, "F1",
                                     dir.file("wide.ods"), false, false, 0));
    const auto split = sheetsAsCsv(dir, dir.file("wide.ods"));
    ASSERT_EQ(split.size(), 2u);
    const Rows& first = split.at(cp1251ToUtf8("Широкий_1"_w));
    const Rows& second = split.at(cp1251ToUtf8("Широкий_2"_w));
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1].size(), 250u);
    EXPECT_EQ(first[1][249], "250.25");
    EXPECT_EQ(second[0], (std::vector<std::string>{"F1", "F251"}));
    EXPECT_EQ(second[1], (std::vector<std::string>{"1.25", "251.25"}));
}

TEST(LibreOffice, WorkbooksItWroteImportBackWithTheSameValues)
{
    TempDir dir;
    GoodsGrid g;
    ExcelCopyDataSetDDE(&g.goods, "S", dir.file("ours.xlsx"), "");
    const fs::path out = dir.path / "lo";
    fs::create_directories(out);
    convert(dir, dir.file("ours.xlsx"), "ods", out);
    convert(dir, dir.file("ours.xlsx"), "xlsx:Calc MS Excel 2007 XML", out);

    const std::vector<std::string> ours = importedGoods(dir.file("ours.xlsx"));
    ASSERT_EQ(ours.size(), 3u);
    EXPECT_EQ(ours[1], "2|Ёлка 'Зимняя'|1500,75|05.03.2009|7"_w);
    EXPECT_EQ(importedGoods((out / "ours.ods").string()), ours);
    EXPECT_EQ(importedGoods((out / "ours.xlsx").string()), ours);
}
