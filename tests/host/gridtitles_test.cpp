// Multi-level grid titles and the windowed record scan that the grid view reads rows with.
#include <gtest/gtest.h>

#include "host/gridtitles.h"
#include "hostfixture.h"

using namespace lm;

namespace {

std::string describe(const std::vector<TTitleCell>& cells)
{
    std::string out;
    for (const TTitleCell& c : cells)
        out += c.Text + "@" + std::to_string(c.Level) + "," + std::to_string(c.Column) + " " +
               std::to_string(c.Levels) + "x" + std::to_string(c.Columns) + "; ";
    return out;
}

} // namespace

TEST(GridTitles, PartsMergeAcrossNeighboursUnderTheSameParent)
{
    const TGridTitleLayout layout({"A|B", "A|C", "D"});
    EXPECT_EQ(layout.LevelCount(), 2);
    EXPECT_EQ(describe(layout.Cells()), "A@0,0 1x2; D@0,2 2x1; B@1,0 1x1; C@1,1 1x1; ");
    EXPECT_EQ(layout.CellAt(1, 0).Column, 0);
    EXPECT_EQ(layout.CellAt(2, 1).Level, 0);
}

TEST(GridTitles, ShortTitlesRepeatTheirLastPartAndEqualTextsApartStayApart)
{
    const TGridTitleLayout layout({"X|X|Y", "P|Q", "X|Z|Z", "P|Q"});
    EXPECT_EQ(layout.LevelCount(), 3);
    EXPECT_EQ(layout.Part(1, 2), "Q");
    // X spans two rows in column 0; P|Q are not neighbours of each other.
    EXPECT_EQ(describe(layout.Cells()),
              "X@0,0 2x1; P@0,1 1x1; X@0,2 1x1; P@0,3 1x1; Q@1,1 2x1; Z@1,2 2x1; Q@1,3 2x1; Y@2,0 1x1; ");
}

TEST(GridTitles, SameTextUnderDifferentParentsIsNotMerged)
{
    const TGridTitleLayout layout({"Цена|Сумма"_w, "Кол-во|Сумма"_w, "Итог"_w});
    const auto cells = layout.Cells();
    EXPECT_EQ(cells.size(), 5u);
    EXPECT_EQ(layout.CellAt(0, 1).Columns, 1);
    EXPECT_EQ(TGridTitleLayout({"A", "B"}).LevelCount(), 1);
    EXPECT_TRUE(TGridTitleLayout({}).Cells().empty());
}

TEST(GridTitles, WindowedScanReadsRowsWithoutMovingTheCurrentRecord)
{
    lm::test::GoodsData g;
    g.goods.SetRecNo(2);
    std::vector<std::string> names;
    std::vector<int> positions;
    int scrolls = 0;
    g.goods.AfterScroll = [&](TDataSet*) { ++scrolls; };
    g.goods.ScanRecords(3, 10, [&](int index) {
        positions.push_back(index);
        names.push_back(g.goods.FieldByName("NAME")->AsString());
    });
    EXPECT_EQ(positions, (std::vector<int>{3, 4}));
    EXPECT_EQ(names, (std::vector<std::string>{"Bepanthen", "Йод"_w}));
    EXPECT_EQ(g.goods.RecNo(), 2);
    EXPECT_EQ(scrolls, 0);

    // An edited current record shows its buffer; the others their stored values.
    g.goods.Edit();
    g.goods.FieldByName("NAME")->SetAsString("Правка"_w);
    names.clear();
    g.goods.ScanRecords(0, 3, [&](int) { names.push_back(g.goods.FieldByName("NAME")->AsString()); });
    EXPECT_EQ(names[1], "Правка"_w);
    EXPECT_EQ(names[2], "Анальгин"_w);
    EXPECT_EQ(g.goods.State(), dsEdit);
    g.goods.Cancel();

    const TBookmark third = g.goods.BookmarkAt(2);
    EXPECT_EQ(g.goods.IndexOfBookmark(third), 2);
    g.goods.SortOnFields("NAME");
    EXPECT_EQ(g.goods.IndexOfBookmark(third), 1);  // Bepanthen, Анальгин, ...
    EXPECT_TRUE(g.goods.BookmarkAt(5).Empty());
    EXPECT_TRUE(g.goods.BookmarkAt(-1).Empty());
}
