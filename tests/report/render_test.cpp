// A grouped report from the demo database printed to PDF through "lmpack report render", read
// back with pdftotext: title, group headers, group sums and the grand total (computed by SQL),
// "page / pages", and no two words of a page overlapping.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "../cli/clirun.h"
#include "../db/demofixture.h"
#include "grouped_report.h"
#include "report/frmodel.h"
#include "samplereports.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

using namespace lm;

namespace {

constexpr int kRows = 400;

std::string run(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

struct Box {
    double x0, y0, x1, y1;
    std::string word;
};

// The words of each page with their boxes, from pdftotext -bbox.
std::vector<std::vector<Box>> wordBoxes(const std::string& pdf)
{
    const std::string html = run("pdftotext -bbox '" + pdf + "' -");
    std::vector<std::vector<Box>> pages;
    const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::istringstream in(html);
    for (std::string line; std::getline(in, line);) {
        if (line.find("<page") != std::string::npos)
            pages.emplace_back();
        std::smatch m;
        if (std::regex_search(line, m, word) && !pages.empty())
            pages.back().push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return pages;
}

// The command line opens the database itself; the test connects only afterwards, for its own
// queries, since the embedded engine allows one process at a time.
class RenderPdf : public lmtest::DemoDbTest {
protected:
    void SetUp() override {}
    void connect() { DemoDbTest::SetUp(); }
};

TEST_F(RenderPdf, GroupedReportPrintsTitleGroupsSumsTotalAndPageNumbers)
{
    const std::string dir = (DemoDbTest::dir()).string();
    const std::string fr3 = dir + "/grouped.fr3", pdf = dir + "/grouped.pdf";
    lmtest::groupedReport()->SaveToFile(fr3);
    const auto result = lmtest::runLmpack({"report", "render", fr3, "--db", file(), "--query",
                                           cp1251ToUtf8(lmtest::groupedQuery(kRows)), "--pdf", pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    connect();
    const std::string text = run("pdftotext '" + pdf + "' -");
    const int pages = std::stoi(run("pdfinfo '" + pdf + "' | sed -n 's/^Pages: *//p'"));
    ASSERT_GT(pages, 1);
    EXPECT_NE(text.find("Прайс-лист по странам"), std::string::npos);

    // Independently in SQL: every country with its sum, and the grand total.
    const auto countries = column("select c.NAME from GOODS g join COUNTRY c on c.ID = g.COUNTRY_ID where g.ID <= " +
                                  std::to_string(kRows) + " group by c.NAME order by c.NAME");
    const auto sums = column("select cast(sum(g.PRICE) as double precision) from GOODS g join COUNTRY c on "
                             "c.ID = g.COUNTRY_ID where g.ID <= " + std::to_string(kRows) +
                             " group by c.NAME order by c.NAME");
    const auto total = column("select cast(sum(PRICE) as double precision) from GOODS where ID <= " +
                              std::to_string(kRows));
    ASSERT_EQ(countries.size(), sums.size());
    ASSERT_GT(countries.size(), 2u);
    // pdftotext shows the no-break space between thousands as a plain blank.
    auto money = [](const std::string& sqlValue) {
        std::string s = FormatFloat("#,##0.00", StrToFloat(sqlValue));
        std::replace(s.begin(), s.end(), '\xA0', ' ');
        return cp1251ToUtf8(s);
    };
    std::size_t at = 0;
    for (std::size_t i = 0; i < countries.size(); ++i) {
        const std::string header = "Страна: " + cp1251ToUtf8(countries[i]);
        at = text.find(header, at);
        ASSERT_NE(at, std::string::npos) << header;
        const std::string sum = "Итого по группе: " + money(sums[i]);
        at = text.find(sum, at);
        ASSERT_NE(at, std::string::npos) << sum;
    }
    EXPECT_NE(text.find("Всего: " + money(total.at(0)), at), std::string::npos);

    // Each page ends with its number and the page count as the words "p", "/", "N" (pdftotext
    // glues digits and slashes in its text output, so the words are checked).
    const auto boxes = wordBoxes(pdf);
    ASSERT_EQ(static_cast<int>(boxes.size()), pages);
    for (int p = 1; p <= pages; ++p) {
        const auto& words = boxes[p - 1];
        ASSERT_GE(words.size(), 3u);
        const std::size_t n = words.size();
        EXPECT_EQ(words[n - 3].word + " " + words[n - 2].word + " " + words[n - 1].word,
                  std::to_string(p) + " / " + std::to_string(pages));
    }

    // No two words of a page overlap.
    for (std::size_t p = 0; p < boxes.size(); ++p)
        for (std::size_t i = 0; i < boxes[p].size(); ++i)
            for (std::size_t j = i + 1; j < boxes[p].size(); ++j) {
                const Box& a = boxes[p][i];
                const Box& b = boxes[p][j];
                const bool overlap = a.x0 < b.x1 - 0.5 && b.x0 < a.x1 - 0.5 && a.y0 < b.y1 - 0.5 && b.y0 < a.y1 - 0.5;
                EXPECT_FALSE(overlap) << "page " << p + 1 << ": '" << a.word << "' and '" << b.word << "'";
            }

    // The first page as an image, for looking at.
    std::filesystem::create_directories(LMPACK_BINARY_DIR "/screenshots");
    run("pdftoppm -png -r 80 -f 1 -l 1 '" + pdf + "' '" LMPACK_BINARY_DIR "/screenshots/report_grouped'");
}

// A version-2 report as the print wizard makes it: fields of the host's dataset by form and
// name, a group by country, footers whose script hides them for single rows, sums, the total
// and the page footer. It prints through conversion and fix-up in memory.
TEST_F(RenderPdf, Version2ReportPrintsThroughConversionAndFixup)
{
    TfrReport src;
    TfrPage& page = *src.AddPage();
    page.Margins = {36, 36, 36, 36};
    auto* title = lmtest::addBand(page, "ReportTitle1", btReportTitle, 52, 60);
    (void)title;
    lmtest::addMemo(page, "MemoTitle1", 0, 72, {"Заголовок"_w})->dx = 300;
    auto* group = lmtest::addBand(page, "GroupHeader0", btGroupHeader, 132, 16);
    group->FormatStr = "str([frmMain.quGoods.\"COUNTRY\"])";
    lmtest::addMemo(page, "MemoGroup1", 16, 132, {"[frmMain.quGoods.\"COUNTRY\"]"})->dx = 300;
    auto* data = lmtest::addBand(page, "MasterData1", btMasterData, 184, 16);
    data->FormatStr = "frmSPMain.frRepDataSet";
    lmtest::addMemo(page, "Memo1", 40, 184, {"[frmMain.quGoods.\"NAME\"]"})->dx = 500;
    auto* footer = lmtest::addBand(page, "GroupFooter0", btGroupFooter, 232, 16);
    footer->Script = {"begin", "visible :=[TRUE] and ([COUNT(MasterData1)]>1){ПЕЧАТЬ если записи дольше одной};"_w,
                      "end"};
    lmtest::addMemo(page, "MemoSum1", 300, 232, {"[SUM([frmMain.quGoods.\"PRICE\"],MasterData1,1)]"})->dx = 200;
    lmtest::addBand(page, "PageFooter1", btPageFooter, 280, 16);
    lmtest::addMemo(page, "MemoPageLabel2", 400, 280, {"[Page#] / [TOTALPAGES]"})->dx = 200;

    const std::string dir = DemoDbTest::dir().string();
    const std::string frf = dir + "/wizard.frf", pdf = dir + "/wizard.pdf";
    src.SaveToFile(frf);
    const auto result = lmtest::runLmpack({"report", "render", frf, "--db", file(), "--query",
                                           cp1251ToUtf8(lmtest::groupedQuery(60)), "--pdf", pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    connect();
    const std::string text = run("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("Заголовок"), std::string::npos);
    const auto countries = column("select c.NAME from GOODS g join COUNTRY c on c.ID = g.COUNTRY_ID where g.ID <= 60 "
                                  "group by c.NAME having count(*) > 1 order by c.NAME");
    ASSERT_FALSE(countries.empty());
    for (const std::string& country : countries)
        EXPECT_NE(text.find(cp1251ToUtf8(country)), std::string::npos) << cp1251ToUtf8(country);
    const auto first = column("select first 1 g.NAME from GOODS g join COUNTRY c on c.ID = g.COUNTRY_ID "
                              "where g.ID <= 60 order by c.NAME, g.ID");
    EXPECT_NE(text.find(cp1251ToUtf8(first.at(0))), std::string::npos);
    // Groups of one row have no footer: as many sums as groups with more rows.
    const auto sums = column("select cast(sum(g.PRICE) as double precision) from GOODS g join COUNTRY c on "
                             "c.ID = g.COUNTRY_ID where g.ID <= 60 group by c.NAME having count(*) > 1 order by c.NAME");
    for (const std::string& sum : sums) {
        std::string expected = FloatToStr(StrToFloat(sum));
        EXPECT_NE(text.find(cp1251ToUtf8(expected)), std::string::npos) << cp1251ToUtf8(expected);
    }
}

TEST_F(RenderPdf, BadVersion2FileIsReportedAndNoPdfWritten)
{
    const std::string dir = DemoDbTest::dir().string();
    const std::string frf = dir + "/bad.frf", pdf = dir + "/bad.pdf";
    std::ofstream(frf, std::ios::binary) << std::string("\x19\x01\x00\x00\x00\x00\x00\x0B", 8);
    const auto render = lmtest::runLmpack({"report", "render", frf, "--db", file(), "--query",
                                           "select * from COUNTRY", "--pdf", pdf});
    EXPECT_EQ(render.exitCode, 1);
    EXPECT_EQ(render.err, "Error in frf file\n");
    EXPECT_FALSE(std::filesystem::exists(pdf));
    const auto convert = lmtest::runLmpack({"report", "convert", frf, dir + "/bad.fr3"});
    EXPECT_EQ(convert.exitCode, 1);
    EXPECT_EQ(convert.err, "Error in frf file\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/bad.fr3"));
}

} // namespace
