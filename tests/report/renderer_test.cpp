// The band renderer on an in-memory dataset, measured by a fixed-width painter: record
// selection through the dataset events, groups and aggregates, stretching, page breaks and
// page counts, formats and script events.
#include <gtest/gtest.h>

#include "../util/messageof.h"
#include "host/memdataset.h"
#include "report/frdbdataset.h"
#include "report/frxpainter.h"
#include "report/frxrenderer.h"
#include "report/frxreport.h"
#include "util/cp1251.h"

using namespace lm;
using lm::test::messageOf;

namespace {

// Every character 6 units wide, lines 12 units apart.
class FixedPainter : public TfrxPainter {
public:
    double TextWidth(const TfrxFont&, std::string_view text) override { return 6.0 * text.size(); }
    double LineHeight(const TfrxFont&) override { return 12; }
    void BeginPage(const TfrxPreparedPage&) override {}
    void Draw(const TfrxDrawItem&) override {}
    void EndPage() override {}
};

class Render : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = new TMemDataSet(&form);
        data->FieldDefs().Add("GRP", ftString, 10);
        data->FieldDefs().Add("NAME", ftString, 100);
        data->FieldDefs().Add("QTY", ftInteger);
        data->CreateDataSet();
        ds = new TfrxDBDataset(&form);
        ds->SetUserName("D");
        ds->SetDataSet(data);
        rep = new TfrxReport(&form);
        page = rep->Add(frxCreateComponent("TfrxReportPage"));
        page->SetName("Page1");
    }
    void rows(std::initializer_list<std::tuple<const char*, const char*, int>> list)
    {
        for (const auto& [g, n, q] : list)
            data->AppendRecord({Variant(std::string(g)), Variant(std::string(n)), Variant(static_cast<int64_t>(q))});
        data->First();
    }
    TfrxComponent* band(const char* cls, const char* name, double top, double height)
    {
        auto* b = page->Add(frxCreateComponent(cls));
        b->SetName(name);
        b->SetBounds(0, top, 700, height);
        return b;
    }
    TfrxComponent* memo(TfrxComponent* b, const char* name, const std::string& text, double width = 300)
    {
        auto* m = b->Add(frxCreateComponent("TfrxMemoView"));
        m->SetName(name);
        m->SetBounds(0, 0, width, b->Height());
        m->SetProp("Text", text);
        return m;
    }
    // The texts of every page, in drawing order.
    std::vector<std::vector<std::string>> run()
    {
        FixedPainter painter;
        TfrxRenderer renderer(*rep, painter);
        TfrxPreparedPages pages;
        renderer.Prepare(pages);
        std::vector<std::vector<std::string>> out;
        for (const auto& p : pages.Pages) {
            out.emplace_back();
            for (const auto& item : p.Items)
                if (item.Kind == TfrxDrawItem::dkText)
                    out.back().push_back(item.Text);
            last = p;
        }
        return out;
    }

    TComponent form;
    TMemDataSet* data = nullptr;
    TfrxDBDataset* ds = nullptr;
    TfrxReport* rep = nullptr;
    TfrxComponent* page = nullptr;
    TfrxPreparedPage last;
};

using Texts = std::vector<std::string>;

TEST_F(Render, GroupsSumsCountsAndTheSummary)
{
    rows({{"A", "a1", 1}, {"A", "a2", 2}, {"B", "b1", 5}, {"C", "c1", 7}, {"C", "c2", 0}});
    auto* gh = band("TfrxGroupHeader", "GH", 10, 20);
    gh->SetProp("Condition", "<D.\"GRP\">");
    memo(gh, "G", "Group [<D.\"GRP\">]");
    auto* md = band("TfrxMasterData", "MD", 40, 20);
    md->SetProp("DataSet", "D");
    memo(md, "N", "[Line#]. [<D.\"NAME\">] [IIF(<D.\"QTY\"> > 1, 'many', 'few')]");
    auto* gf = band("TfrxGroupFooter", "GF", 70, 20);
    memo(gf, "S", "sum [SUM(<D.\"QTY\">, MD)] of [COUNT(MD)], max [MAX(<D.\"QTY\">, MD)]");
    auto* sum = band("TfrxReportSummary", "RS", 100, 20);
    memo(sum, "T", "total [SUM(<D.\"QTY\">, MD)] avg [AVG(<D.\"QTY\">, MD)]");
    const auto pages = run();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (Texts{"Group A", "1. a1 few", "2. a2 many", "sum 3 of 2, max 2", "Group B", "3. b1 many",
                               "sum 5 of 1, max 5", "Group C", "4. c1 many", "5. c2 few", "sum 7 of 2, max 7",
                               "total 15 avg 3"}));
}

TEST_F(Render, DatasetEventsChooseTheRecords)
{
    rows({{"A", "r1", 1}, {"A", "r2", 2}, {"A", "r3", 3}, {"A", "r4", 4}});
    // As the print menu does for selected grid rows: records 2 and 4 only.
    const std::vector<int> selected = {2, 4};
    ds->OnFirst = ds->OnNext = [&](TfrCustomDBDataSet* s) {
        if (s->RecNo() < static_cast<int>(selected.size()))
            data->SetRecNo(selected[s->RecNo()]);
    };
    ds->OnCheckEOF = [&](TfrCustomDBDataSet* s, bool& eof) { eof = static_cast<int>(selected.size()) <= s->RecNo(); };
    auto* md = band("TfrxMasterData", "MD", 10, 20);
    md->SetProp("DataSet", "D");
    memo(md, "N", "[<D.\"NAME\">]");
    EXPECT_EQ(run().at(0), (Texts{"r2", "r4"}));
}

TEST_F(Render, PagesBreakWithHeadersFootersAndThePageCount)
{
    for (int i = 1; i <= 60; ++i)
        data->AppendRecord({Variant("A"), Variant("row" + std::to_string(i)), Variant(static_cast<int64_t>(i))});
    auto* title = band("TfrxReportTitle", "RT", 0, 20);
    memo(title, "T", "Title");
    auto* ph = band("TfrxPageHeader", "PH", 30, 20);
    memo(ph, "H", "Header");
    auto* md = band("TfrxMasterData", "MD", 60, 20);
    md->SetProp("DataSet", "D");
    memo(md, "N", "[<D.\"NAME\">]");
    auto* pf = band("TfrxPageFooter", "PF", 100, 20);
    memo(pf, "P", "[Page#] / [TotalPages#]");
    // A4 with 10 mm margins holds (1047 - 20 - 20 - 20) / 20 rows on the first page.
    const auto pages = run();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].front(), "Title");
    EXPECT_EQ(pages[0][1], "Header");
    EXPECT_EQ(pages[0].back(), "1 / 2");
    EXPECT_EQ(pages[1].front(), "Header");
    EXPECT_EQ(pages[1][1], "row" + std::to_string(pages[0].size() - 3 + 1));
    EXPECT_EQ(pages[1].back(), "2 / 2");
    EXPECT_EQ(pages[0].size() - 3 + pages[1].size() - 2, 60u);
}

TEST_F(Render, StretchedMemosWrapAndPushTheNextBandDown)
{
    rows({{"A", "one two three four five six seven", 1}, {"A", "x", 2}});
    auto* md = band("TfrxMasterData", "MD", 10, 20);
    md->SetProp("DataSet", "D");
    md->SetPropBool("Stretched", true);
    auto* m = memo(md, "N", "[<D.\"NAME\">]", 64);  // 10 characters a line after the gaps
    m->SetProp("StretchMode", "smActualHeight");
    const auto pages = run();
    EXPECT_EQ(pages.at(0), (Texts{"one two", "three four", "five six", "seven", "x"}));
    // Four lines of 14 (12 plus the line spacing) and the gaps: the second row starts below them.
    const auto& items = last.Items;
    EXPECT_NEAR(items.back().Y - items.front().Y, 4 * 14 + 2, 0.01);
}

TEST_F(Render, FormatsHideZerosAndScriptEvents)
{
    rows({{"A", "n", 1234}, {"B", "n", 0}});
    auto* md = band("TfrxMasterData", "MD", 10, 20);
    md->SetProp("DataSet", "D");
    auto* q = memo(md, "Q", "[<D.\"QTY\">]");
    q->SetProp("DisplayFormat.Kind", "fkNumeric");
    q->SetProp("DisplayFormat.FormatStr", "%2.2f");
    q->SetProp("DisplayFormat.DecimalSeparator", ".");
    q->SetPropBool("HideZeros", true);
    auto* g = memo(md, "G", "[<D.\"GRP\">]");
    g->SetProp("OnBeforePrint", "GOnBeforePrint");
    rep->ScriptText = {"procedure GOnBeforePrint(Sender: TfrxComponent);", "begin",
                       "  G.Visible := <D.\"GRP\"> <> 'B';", "end;", "begin", "end."};
    EXPECT_EQ(run().at(0), (Texts{"1234.00", "A"}));
}

TEST_F(Render, ScriptErrorsAndBadExpressionsAreReported)
{
    auto* md = band("TfrxMasterData", "MD", 10, 20);
    md->SetProp("DataSet", "D");
    memo(md, "N", "[1 +]");
    FixedPainter painter;
    TfrxPreparedPages pages;
    EXPECT_EQ(messageOf([&] { TfrxRenderer(*rep, painter).Prepare(pages); }).rfind("N: ", 0), 0u);
    rep->ScriptText = {"begin", "  x := ;", "end."};
    EXPECT_EQ(messageOf([&] { TfrxRenderer(*rep, painter).Prepare(pages); }).rfind("Ошибка в скрипте отчета:"_w, 0), 0u);
}

} // namespace
