// Tests of TFastList and of the string list operations it inherits from TStrings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <sstream>
#include <string>
#include <vector>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/fastlist.h"
#include "util/listsort.h"
#include "util/stringrecs.h"

#include "listtest.h"

using namespace lm;
using lm::test::contents;
using lm::test::expectListError;

namespace {

// An attached object that counts its destructions.
struct Counted : TObject {
    explicit Counted(int& deaths) : deaths(deaths) {}
    ~Counted() override { ++deaths; }
    int& deaths;
};

TFastList* filled(TFastList& list, std::initializer_list<const char*> items)
{
    for (const char* s : items)
        list.Add(s);
    return &list;
}

} // namespace

TEST(FastList, SortedAddFollowsTheDuplicatesRule)
{
    TFastList list;
    list.SetSorted(true);
    filled(list, {"c", "a", "b"});
    EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.Add("b"), 1);
    EXPECT_EQ(list.Count(), 3);

    list.SetDuplicates(dupError);
    expectListError([&] { list.Add("b"); }, "SDuplicateString", 0);
    EXPECT_EQ(list.Count(), 3);

    list.SetDuplicates(dupAccept);
    list.Add("b");
    list.Add("b");
    EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b", "b", "b", "c"}));
    int index = -1;
    EXPECT_TRUE(list.Find("b", index));
    EXPECT_EQ(index, 1);  // the first of the equal entries
    EXPECT_FALSE(list.Find("bb", index));
    EXPECT_EQ(index, 4);
    EXPECT_FALSE(list.Find("0", index));
    EXPECT_EQ(index, 0);
}

TEST(FastList, NumericSortComparesValues)
{
    TFastList text;
    filled(text, {"10", "9", "-1", "100"});
    text.Sort();
    EXPECT_EQ(contents(text), (std::vector<std::string>{"-1", "10", "100", "9"}));

    TFastList numeric;
    numeric.SetNumericSort(true);
    filled(numeric, {"10", "9", "-1", "100"});
    numeric.SetSorted(true);
    EXPECT_EQ(contents(numeric), (std::vector<std::string>{"-1", "9", "10", "100"}));
    EXPECT_EQ(numeric.IndexOf("10"), 2);
    EXPECT_EQ(numeric.Add("50"), 3);
    EXPECT_THROW(numeric.Add("abc"), EConvertError);

    // Switching the comparison re-sorts a sorted list, so Find keeps working.
    numeric.SetNumericSort(false);
    EXPECT_EQ(contents(numeric), (std::vector<std::string>{"-1", "10", "100", "50", "9"}));
    EXPECT_EQ(numeric.IndexOf("50"), 3);
}

TEST(FastList, IndexOfIgnoresCaseOnlyWhenUnsorted)
{
    TFastList list;
    filled(list, {"x", "abc", "Ёлка"_w});
    EXPECT_EQ(list.IndexOf("ABC"), 1);
    EXPECT_EQ(list.IndexOf("ёЛКА"_w), 2);
    EXPECT_EQ(list.IndexOf("zzz"), -1);
    list.SetSorted(true);
    EXPECT_EQ(list.IndexOf("ABC"), -1);
    EXPECT_EQ(list.IndexOf("abc"), 0);
}

TEST(FastList, MisuseRaisesTheListErrors)
{
    TFastList list;
    filled(list, {"a", "b"});
    expectListError([&] { list.Get(2); }, "SListIndexError", 2);
    expectListError([&] { list.Get(-1); }, "SListIndexError", -1);
    expectListError([&] { list.GetObject(5); }, "SListIndexError", 5);
    expectListError([&] { list.PutObject(2, nullptr); }, "SListIndexError", 2);
    expectListError([&] { list.Put(3, "x"); }, "SListIndexError", 3);
    expectListError([&] { list.Delete(2); }, "SListIndexError", 2);
    expectListError([&] { list.Exchange(0, 7); }, "SListIndexError", 7);
    expectListError([&] { list.Insert(3, "x"); }, "SListIndexError", 3);
    list.Insert(2, "c");  // at Count is allowed
    list.SetSorted(true);
    expectListError([&] { list.Insert(0, "x"); }, "SSortedListError", 0);
    EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(FastList, PutFollowsTheDuplicatesRuleAndKeepsOrder)
{
    TFastList list;
    filled(list, {"a", "b", "c"});
    list.Put(0, "B");  // another entry equals it ignoring case: ignored
    EXPECT_EQ(list.Strings(0), "a");
    list.Put(1, "b");  // the entry itself does not count as a duplicate
    list.SetDuplicates(dupError);
    expectListError([&] { list.Put(0, "c"); }, "SDuplicateString", 0);
    list.SetDuplicates(dupAccept);
    list.Put(0, "c");
    EXPECT_EQ(contents(list), (std::vector<std::string>{"c", "b", "c"}));

    TFastList sorted;
    sorted.SetSorted(true);
    filled(sorted, {"a", "m", "z"});
    sorted.Put(0, "q");
    EXPECT_EQ(contents(sorted), (std::vector<std::string>{"m", "q", "z"}));
}

TEST(FastList, SortMatchesStdSortOnBytesAndDuplicates)
{
    std::mt19937 rng(7);
    std::vector<std::string> expected;
    TFastList list;
    for (int i = 0; i < 20000; ++i) {
        std::string s(rng() % 6, '\0');
        for (char& c : s)
            c = static_cast<char>(i % 3 == 0 ? 'a' + rng() % 3 : rng() % 256);  // many equal keys
        expected.push_back(s);
        list.AddObject(s, reinterpret_cast<TObject*>(static_cast<uintptr_t>(i + 1)));
    }
    list.Sort();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(contents(list), expected);
    // Each string still carries the object it was added with.
    std::vector<bool> seen(expected.size() + 1);
    for (int i = 0; i < list.Count(); ++i) {
        const auto tag = reinterpret_cast<uintptr_t>(list.Objects(i));
        ASSERT_GE(tag, 1u);
        ASSERT_FALSE(seen[tag]);
        seen[tag] = true;
    }
    for (int i = 0; i < list.Count(); ++i)
        list.SetObjects(i, nullptr);

}

// McIlroy's adversary, mirrored: the comparison decides the values lazily, each pivot getting
// the largest value still free, so that every partition leaves nearly everything on its left.
// The values it settles on form an input that makes the sort do so again; a sort that always
// recursed on the left part would then nest about Count/2 calls deep.
TEST(FastList, QuickSortStackStaysShallowOnAdversarialInput)
{
    constexpr int n = 4000;
    const int gas = -1;
    std::vector<int> value(n, gas);
    int solid = n;
    int candidate = 0;
    std::vector<int> items(n);
    for (int i = 0; i < n; ++i)
        items[i] = i;
    detail::QuickSortItems(items.data(), 0, n - 1, [&](int x, int y) {
        if (value[x] == gas && value[y] == gas)
            value[x == candidate ? x : y] = --solid;
        if (value[x] == gas)
            candidate = x;
        else if (value[y] == gas)
            candidate = y;
        return value[x] - value[y];
    });
    for (int& v : value)
        if (v == gas)
            v = --solid;

    uintptr_t lowest = UINTPTR_MAX;
    uintptr_t highest = 0;
    long comparisons = 0;
    detail::QuickSortItems(value.data(), 0, n - 1, [&](int a, int b) {
        const char marker = 0;
        const auto here = reinterpret_cast<uintptr_t>(&marker);
        lowest = std::min(lowest, here);
        highest = std::max(highest, here);
        ++comparisons;
        return a - b;
    });
    EXPECT_TRUE(std::is_sorted(value.begin(), value.end()));
    EXPECT_GT(comparisons, long{n} * n / 8);  // the input is indeed a worst case
    EXPECT_LT(highest - lowest, 16u * 1024);   // a few dozen frames at most
}

TEST(FastList, CapacityGrowsByTheListSteps)
{
    TFastList list;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(std::to_string(i));
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    list.SetCapacity(10);  // below Count: entries are kept
    EXPECT_EQ(list.Capacity(), 100);
    EXPECT_EQ(list.Strings(99), "99");
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST(FastList, FastValuesFindNamesIgnoringCase)
{
    TFastList list;
    filled(list, {"key=x", "k=1", "z"});
    EXPECT_EQ(list.FastGetValue("K"), "1");
    EXPECT_EQ(list.FastGetValue("ke"), "");
    list.FastSetValue("k", "");
    EXPECT_EQ(contents(list), (std::vector<std::string>{"key=x", "z"}));
    list.FastSetValue("KEY", "y");
    list.FastSetValue("new", "v");
    EXPECT_EQ(contents(list), (std::vector<std::string>{"KEY=y", "z", "new=v"}));
    list.FastSetValue("absent", "");
    EXPECT_EQ(list.Count(), 3);
}

TEST(FastList, ObjectsAreFreedOnlyWhenAsked)
{
    int deaths = 0;
    {
        TFastList list;
        list.AddObject("a", new Counted(deaths));
        list.AddObject("b", new Counted(deaths));
        list.FreeObjects();
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(list.Objects(0), nullptr);
        Counted kept(deaths);
        list.AddObject("c", &kept);
        list.Clear();  // does not delete
    }
    EXPECT_EQ(deaths, 3);  // only `kept` going out of scope

    deaths = 0;
    {
        TFastList owner;
        owner.SetOwnsObjects(true);
        owner.SetSorted(true);
        owner.AddObject("x", new Counted(deaths));
        auto* twin = new Counted(deaths);
        // An ignored duplicate neither attaches nor takes the caller's object.
        EXPECT_EQ(owner.AddObject("x", twin), 0);
        EXPECT_NE(owner.Objects(0), twin);
        delete twin;
        owner.AddObject("y", new TStringData("y", 5));
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 2);

    TFastList blocks;
    blocks.AddObject("raw", static_cast<TObject*>(std::malloc(64)));
    blocks.FreePointers();  // a leak or a bad free would show under the sanitizers
    EXPECT_EQ(blocks.Objects(0), nullptr);
}

TEST(Strings, TextUsesCrLfAndSplitsEveryLineEnd)
{
    TFastList list;
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
    list.SetText("\r\n\r\nlast\n");
    EXPECT_EQ(contents(list), (std::vector<std::string>{"", "", "last"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(Strings, NamesAndValues)
{
    TFastList list;
    filled(list, {"plain", "Name=first", "name=second", "=empty name"});
    EXPECT_EQ(list.Names(0), "");
    EXPECT_EQ(list.Names(1), "Name");
    EXPECT_EQ(list.IndexOfName("NAME"), 1);
    EXPECT_EQ(list.Values("name"), "first");
    EXPECT_EQ(list.ValueFromIndex(3), "empty name");
    EXPECT_EQ(list.Values("missing"), "");
    list.SetValues("NAME", "changed");
    EXPECT_EQ(list.Strings(1), "NAME=changed");
    list.SetValues("name", "");
    EXPECT_EQ(list.Values("name"), "second");
    list.SetValues("added", "1");
    EXPECT_EQ(list.Strings(list.Count() - 1), "added=1");
}

TEST(Strings, AssignCopiesStringsAndLinksObjects)
{
    TFastList source;
    TStringRec rec("r");
    source.AddObject("one", &rec);
    source.Add("two");
    TFastList copy;
    copy.Add("old");
    copy.Assign(source);
    EXPECT_TRUE(copy.Equals(source));
    EXPECT_EQ(copy.Objects(0), &rec);
    EXPECT_EQ(copy.IndexOfObject(&rec), 0);
    copy.Exchange(0, 1);
    EXPECT_EQ(copy.Objects(1), &rec);
    EXPECT_FALSE(copy.Equals(source));
}

TEST(Strings, FilesRoundTripBytesAndReplaceTheTarget)
{
    const auto dir = std::filesystem::temp_directory_path() / ("lm_fastlist_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "list.txt").string();
    TFastList list;
    filled(list, {"Привет"_w, "", "b=\xFF"});
    list.SaveToFile(path);
    list.SaveToFile(path);  // over an existing file
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temp left

    TFastList loaded;
    loaded.LoadFromFile(path);
    EXPECT_TRUE(loaded.Equals(list));

    std::stringstream stream;
    loaded.SaveToStream(stream);
    EXPECT_EQ(stream.str(), std::string("Привет"_w) + "\r\n\r\nb=\xFF\r\n");

    try {
        loaded.LoadFromFile((dir / "missing.txt").string());
        ADD_FAILURE() << "missing file loaded";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_NE(e.Message().find("missing.txt"), std::string::npos);
    }
    EXPECT_EQ(loaded.Count(), 3);  // a failed load keeps the list
    EXPECT_THROW(list.SaveToFile((dir / "no" / "such" / "dir.txt").string()), EInOutError);
    std::filesystem::remove_all(dir);
}
