// Tests of TDateList: bisection, sorted insertion and the duplicate rules.
#include <gtest/gtest.h>

#include <vector>

#include "util/datelist.h"
#include "util/exceptions.h"
#include "util/stringrecs.h"

#include "listtest.h"

using namespace lm;
using lm::test::contents;
using lm::test::expectListError;

TEST(DateList, FindGivesTheLastEntryNotGreater)
{
    TDateList list;
    int index = 99;
    EXPECT_FALSE(list.Find(1.0, index));
    EXPECT_EQ(index, -1);

    list.SetSorted(true);
    for (TDateTime d : {40000.0, 40010.0, 40020.0, 40030.0})
        list.Add(d);
    EXPECT_FALSE(list.Find(39999.5, index));
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(list.Find(50000.0, index));  // later than every entry
    EXPECT_EQ(index, 3);
    EXPECT_TRUE(list.Find(40030.0, index));
    EXPECT_EQ(index, 3);
    EXPECT_TRUE(list.Find(40015.0, index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(list.Find(40010.0, index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(list.Find(40000.0, index));
    EXPECT_EQ(index, 0);

    EXPECT_EQ(list.IndexOf(40020.0), 2);
    EXPECT_EQ(list.IndexOf(40015.0), -1);
    EXPECT_EQ(list.IndexOf(1.0), -1);
}

TEST(DateList, SortedAddFollowsTheDuplicatesRule)
{
    TDateList list;
    list.SetSorted(true);
    for (TDateTime d : {3.0, 1.0, 2.0, 5.0, 0.5})
        list.Add(d);
    EXPECT_EQ(contents(list), (std::vector<TDateTime>{0.5, 1.0, 2.0, 3.0, 5.0}));

    TStringRec first("first");
    TStringRec second("second");
    list.PutObject(2, &first);
    EXPECT_EQ(list.AddObject(2.0, &second), 2);  // ignore: the existing entry keeps its object
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.GetObject(2), &first);
    EXPECT_EQ(list.Add(4.0), 4);

    list.SetDuplicates(dupError);
    expectListError([&] { list.Add(5.0); }, "SDuplicateString", 0);
    expectListError([&] { list.Add(0.5); }, "SDuplicateString", 0);
    EXPECT_EQ(list.Add(2.5), 3);

    list.SetDuplicates(dupAccept);
    EXPECT_EQ(list.AddObject(2.0, &second), 3);  // after the equal entry
    EXPECT_EQ(list.GetObject(3), &second);
    EXPECT_EQ(contents(list), (std::vector<TDateTime>{0.5, 1.0, 2.0, 2.0, 2.5, 3.0, 4.0, 5.0}));
}

TEST(DateList, SortedListRefusesPositionalChanges)
{
    TDateList list;
    list.Add(2.0);
    list.Add(1.0);
    expectListError([&] { list.Get(2); }, "SListIndexError", 2);
    expectListError([&] { list.Delete(-1); }, "SListIndexError", -1);
    expectListError([&] { list.Exchange(0, 2); }, "SListIndexError", 2);
    expectListError([&] { list.Insert(3, 0.0); }, "SListIndexError", 3);
    list.Insert(2, 7.0);
    list.Put(0, 9.0);
    EXPECT_EQ(contents(list), (std::vector<TDateTime>{9.0, 1.0, 7.0}));
    EXPECT_EQ(list.IndexOf(7.0), 2);

    list.SetSorted(true);
    EXPECT_EQ(contents(list), (std::vector<TDateTime>{1.0, 7.0, 9.0}));
    expectListError([&] { list.Put(0, 3.0); }, "SSortedListError", 0);
    expectListError([&] { list.Insert(0, 3.0); }, "SSortedListError", 0);
    list.Delete(1);
    EXPECT_EQ(contents(list), (std::vector<TDateTime>{1.0, 9.0}));
}

TEST(DateList, ObjectsTravelWithTheirDates)
{
    TDateList list;
    auto* a = new TStringRec("a");
    auto* b = new TStringRec("b");
    list.AddObject(20.0, a);
    list.AddObject(10.0, b);
    list.InsertObject(1, 15.0, nullptr);
    list.Sort();
    EXPECT_EQ(contents(list), (std::vector<TDateTime>{10.0, 15.0, 20.0}));
    EXPECT_EQ(list.IndexOfObject(a), 2);
    EXPECT_EQ(list.IndexOfObject(b), 0);
    list.FreeObjects();  // a leak or double free shows under the sanitizers
    EXPECT_EQ(list.IndexOfObject(a), -1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}
