// The title block builder, seen through a document that records every call it receives.
#include <gtest/gtest.h>

#include "export/execlheaderbuilder.h"
#include "../util/messageof.h"
#include "util/cp1251.h"
#include "util/fastlist.h"

using namespace lm;

namespace {

// Each call as "op c1,r1-c2,r2[ argument]".
struct Recorder : IExcelDocument {
    std::vector<std::string> calls;
    struct Range : IRange {
        Recorder* owner;
        std::string where;
        void Merge() override { owner->calls.push_back("merge " + where); }
        void SetCaption(const std::string& c) override { owner->calls.push_back("caption " + where + " " + c); }
        void SetFontBold(bool b) override { owner->calls.push_back("bold " + where + (b ? " 1" : " 0")); }
        void SetAlligment(TExcelAligment h, TExcelAligment v) override
        {
            owner->calls.push_back("align " + where + " " + std::to_string(h) + std::to_string(v));
        }
        void SetWrapText(bool b) override { owner->calls.push_back("wrap " + where + (b ? " 1" : " 0")); }
    };
    std::shared_ptr<IRange> GetRange(unsigned c1, unsigned r1, unsigned c2, unsigned r2) override
    {
        auto r = std::make_shared<Range>();
        r->owner = this;
        r->where = std::to_string(c1) + "," + std::to_string(r1) + "-" + std::to_string(c2) + "," + std::to_string(r2);
        return r;
    }
};

std::vector<std::string> build(const std::vector<std::string>& titles, bool multi, int* rows = nullptr)
{
    auto doc = std::make_shared<Recorder>();
    TExeclHeaderBuilder builder(doc, multi);
    TFastList list;
    for (const std::string& t : titles)
        list.Add(t);
    builder.SetListOfTitles(list);
    if (rows)
        *rows = builder.GetRowCount();
    builder.Build();
    return doc->calls;
}

} // namespace

TEST(HeaderBuilder, MultiLevelMergesEqualNeighboursDownAndAcross)
{
    int rows = 0;
    const auto calls = build({"A|B", "A|C", "D"}, true, &rows);
    EXPECT_EQ(rows, 2);
    const std::vector<std::string> expected = {
        "merge 2,0-2,1", "caption 2,0-2,1 D",              // D, D down both rows
        "merge 0,0-1,0", "caption 0,0-1,0 A",              // A across columns 0..1
        "merge 2,0-2,0", "caption 2,0-2,0 D",              // the last group of a level, merged with itself
        "caption 0,1-0,1 B", "caption 1,1-1,1 C",          // single cells
        "merge 2,1-2,1", "caption 2,1-2,1 D",
        "bold 0,0-2,1 1", "align 0,0-2,1 00", "wrap 0,0-2,1 1",
    };
    EXPECT_EQ(calls, expected);
}

TEST(HeaderBuilder, SimpleModeJoinsDifferingLevelsWithLineBreaks)
{
    int rows = 0;
    const auto calls = build({"A|B", "A|C", "D", "X|X|Y"}, false, &rows);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(calls[0], "caption 0,0-0,0 A\r\nB");
    EXPECT_EQ(calls[1], "caption 1,0-1,0 A\r\nC");
    EXPECT_EQ(calls[2], "caption 2,0-2,0 D");
    EXPECT_EQ(calls[3], "caption 3,0-3,0 X\r\nY");
    EXPECT_EQ(calls[4], "bold 0,0-3,0 1");
}

TEST(HeaderBuilder, ShorterTitlesRepeatTheirLastLevel)
{
    auto doc = std::make_shared<Recorder>();
    TExeclHeaderBuilder builder(doc, true);
    TFastList list;
    list.Add("X|X|Y");
    list.Add("A|B");
    builder.SetListOfTitles(list);
    EXPECT_EQ(builder.Levels(), 3);
    EXPECT_EQ(builder.Title(1, 2), "B");
    builder.Build();
    // X merged over rows 0..1, Y alone in row 2: no vertical merge reaches row 2.
    EXPECT_EQ(doc->calls[0], "merge 0,0-0,1");
    EXPECT_EQ(doc->calls[1], "caption 0,0-0,1 X");
    EXPECT_EQ(doc->calls[2], "merge 1,1-1,2");
}

TEST(HeaderBuilder, TitlesWithoutBarsMakeOneRowAndANilDocumentIsRefused)
{
    int rows = 0;
    build({"Код"_w, "Имя"_w}, true, &rows);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(lm::test::messageOf([] { TExeclHeaderBuilder(nullptr, false); }),
              "[TExeclHeaderBuilder] Не передан интерфейс документа для добавления заголовка"_w);
}
