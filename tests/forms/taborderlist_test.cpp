// The tab order list: the four button moves at the ends and in the middle, and drops.
#include <gtest/gtest.h>

#include "forms/taborderlist.h"

using namespace lm;

namespace {

std::string order(const TTabOrderList& l)
{
    std::string s;
    for (int i = 0; i < l.Count(); ++i)
        s += l.Items(i).Text;
    return s;
}

TTabOrderList abcd()
{
    TTabOrderList l;
    for (const char* t : {"a", "b", "c", "d"})
        l.Add(t, nullptr);
    return l;
}

} // namespace

TEST(TabOrderList, ButtonsMoveTheSelectedEntryAndClampAtTheEnds)
{
    TTabOrderList l = abcd();
    l.Move(tmDown);  // nothing selected
    EXPECT_EQ(order(l), "abcd");
    l.SetSelected(0);
    l.Move(tmUp);
    EXPECT_EQ(order(l), "abcd");
    EXPECT_EQ(l.Selected(), 0);
    l.Move(tmDown);
    EXPECT_EQ(order(l), "bacd");
    l.Move(tmBottom);
    EXPECT_EQ(order(l), "bcda");
    EXPECT_EQ(l.Selected(), 3);
    l.Move(tmDown);
    EXPECT_EQ(order(l), "bcda");
    l.SetSelected(2);
    l.Move(tmTop);
    EXPECT_EQ(order(l), "dbca");
    EXPECT_EQ(l.Selected(), 0);
}

TEST(TabOrderList, DropMovesTheSelectedEntryToTheTarget)
{
    TTabOrderList l = abcd();
    l.Drop(2);
    EXPECT_EQ(order(l), "abcd");
    l.SetSelected(0);
    l.Drop(2);
    EXPECT_EQ(order(l), "bcad");
    EXPECT_EQ(l.Selected(), 2);
    l.Drop(2);
    EXPECT_EQ(order(l), "bcad");
}
