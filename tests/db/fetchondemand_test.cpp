// TpFIBDataSet fetching on demand: the first batch at Open, more as the dataset moves or reads
// past it, everything for what needs every row, and the same rows as fetching all at Open.
#include "demofixture.h"

#include "db/fibdataset.h"

namespace {

using namespace lm;
using lmtest::DemoDbTest;

constexpr int kBatch = 50;

class FetchOnDemandTest : public DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        ds.SetTransaction(&read);
        ds.SetSelectSQL("select ID, NAME, PRICE from GOODS order by ID");
        ds.SetFetchOnDemand(true);
        ds.SetFetchBatch(kBatch);
    }
    // ID and NAME of every row, read by stepping with Next from the first.
    static std::vector<std::string> walk(TDataSet& d)
    {
        std::vector<std::string> rows;
        for (d.First(); !d.Eof(); d.Next())
            rows.push_back(d.FieldByName("ID")->AsString() + " " + d.FieldByName("NAME")->AsString());
        return rows;
    }
    TpFIBDataSet ds;
};

TEST_F(FetchOnDemandTest, OpenFetchesTheFirstBatchAndNextCrossesIt)
{
    ds.Open();
    EXPECT_EQ(ds.FetchedRecordCount(), kBatch);
    EXPECT_FALSE(ds.AllFetched());
    EXPECT_EQ(ds.MoveBy(kBatch - 1), kBatch - 1);
    EXPECT_EQ(ds.FetchedRecordCount(), kBatch);  // standing on the last fetched row needs no more
    const std::vector<std::string> ids = column("select ID from GOODS order by ID");
    EXPECT_EQ(ds.FBN("ID")->AsString(), ids[kBatch - 1]);
    ds.Next();
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), kBatch + 1);
    EXPECT_EQ(ds.FBN("ID")->AsString(), ids[kBatch]);
    EXPECT_GT(ds.FetchedRecordCount(), kBatch);
    EXPECT_LT(ds.FetchedRecordCount(), lmtest::kDemoRows);
    // a window read past the fetched rows, as a grid paints it, fetches them too
    std::vector<int> seen;
    const int first = ds.FetchedRecordCount() + 10;
    ds.ScanRecords(first, 3, [&](int index) { seen.push_back(index); });
    EXPECT_EQ(seen, (std::vector<int>{first, first + 1, first + 2}));
    EXPECT_FALSE(ds.BookmarkAt(first + 200).Empty());
    EXPECT_TRUE(ds.BookmarkAt(lmtest::kDemoRows).Empty());
    EXPECT_TRUE(ds.AllFetched());
}

TEST_F(FetchOnDemandTest, WholeSetOperationsFetchTheRest)
{
    ds.Open();
    EXPECT_EQ(ds.RecordCount(), lmtest::kDemoRows);
    EXPECT_TRUE(ds.AllFetched());

    ds.Close();
    ds.Open();
    ds.Last();
    EXPECT_EQ(ds.RecNo(), lmtest::kDemoRows);
    EXPECT_EQ(ds.FBN("ID")->AsString(), lmtest::firstValue(db, "select max(ID) from GOODS"));
    ds.Next();
    EXPECT_TRUE(ds.Eof());

    ds.Close();
    ds.Open();
    ds.DoSortEx({"ID"}, {false});
    ds.First();
    EXPECT_EQ(ds.FBN("ID")->AsString(), lmtest::firstValue(db, "select max(ID) from GOODS"));
    EXPECT_EQ(ds.FetchedRecordCount(), lmtest::kDemoRows);

    ds.Close();
    ds.Open();
    const int lastId = std::stoi(lmtest::firstValue(db, "select max(ID) from GOODS"));
    EXPECT_TRUE(ds.Locate("ID", Variant(lastId)));
    EXPECT_EQ(ds.RecNo(), lmtest::kDemoRows);
    EXPECT_FALSE(ds.Locate("ID", Variant(lastId + 1)));
    EXPECT_EQ(ds.RecNo(), lmtest::kDemoRows);
}

TEST_F(FetchOnDemandTest, SameRowsAsFetchingAllAtOpen)
{
    TpFIBDataSet all;
    all.SetTransaction(&read);
    all.SetSelectSQL(ds.SelectSQL());
    all.Open();
    EXPECT_TRUE(all.AllFetched());
    ds.Open();
    const std::vector<std::string> lazy = walk(ds);
    EXPECT_EQ(lazy.size(), static_cast<std::size_t>(lmtest::kDemoRows));
    EXPECT_EQ(lazy, walk(all));
    // and again after a reopen, which starts from the first batch
    ds.CloseOpen();
    EXPECT_EQ(ds.FetchedRecordCount(), kBatch);
    EXPECT_EQ(walk(ds), lazy);
}

TEST_F(FetchOnDemandTest, FilteredRowsAreTestedAsTheyArrive)
{
    ds.OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() % 7 == 0; };
    ds.SetFiltered(true);
    ds.Open();
    EXPECT_FALSE(ds.AllFetched());
    EXPECT_EQ(ds.FBN("ID")->AsInteger() % 7, 0);
    const std::vector<std::string> ids = column("select ID from GOODS where mod(ID, 7) = 0 order by ID");
    std::vector<std::string> got;
    for (; !ds.Eof(); ds.Next())
        got.push_back(ds.FBN("ID")->AsString());
    EXPECT_EQ(got, ids);
    EXPECT_EQ(ds.RecordCount(), static_cast<int>(ids.size()));
}

TEST_F(FetchOnDemandTest, OffByDefaultAndAppendGoesAfterEveryRow)
{
    TpFIBDataSet plain;
    plain.SetTransaction(&read);
    plain.SetSelectSQL(ds.SelectSQL());
    EXPECT_FALSE(plain.FetchOnDemand());
    plain.Open();
    EXPECT_EQ(plain.FetchedRecordCount(), lmtest::kDemoRows);

    ds.SetUpdateTransaction(&write);
    ds.Open();
    ds.Append();
    EXPECT_TRUE(ds.AllFetched());
    ds.Cancel();
    EXPECT_EQ(ds.RecordCount(), lmtest::kDemoRows);
}

} // namespace
