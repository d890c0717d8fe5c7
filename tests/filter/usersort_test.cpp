// The user sort on the demo database: the local sort agrees with Firebird's ORDER BY, orders
// survive a process restart in the SQLite settings store, sort files, and the sort dialog model.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../util/messageof.h"
#include "contextfixture.h"
#include "filter/sortdlgmodel.h"
#include "filter/usersort.h"
#include "host/registry.h"
#include "host/registrystore.h"
#include "host/sqliteregistrystore.h"

using namespace lm;

namespace {

const char* const kSortKey = "\\Software\\Test\\GoodsSort";

class UserSortDb : public lmtest::GoodsDbTest {
protected:
    void SetUp() override
    {
        GoodsDbTest::SetUp();
        sort.SetDS(&goods);
    }

    // The texts of `fields` of every record in the dataset's order, one line per record.
    std::vector<std::string> rows(const std::vector<std::string>& fields)
    {
        std::vector<std::string> out;
        goods.ScanRecords([&] {
            std::string line;
            for (const std::string& f : fields)
                line += goods.FieldByName(f)->AsString() + "\t";
            out.push_back(line);
        });
        return out;
    }

    // The same texts as the server orders them.
    std::vector<std::string> serverRows(const std::string& orderBy, const std::vector<std::string>& fields)
    {
        TpFIBDataSet q;
        q.SetDatabase(&db);
        q.SetTransaction(&read);
        q.SetSelectSQL(std::string(lmtest::kGoodsQuery) + " order by " + orderBy);
        q.Open();
        std::vector<std::string> out;
        q.ScanRecords([&] {
            std::string line;
            for (const std::string& f : fields)
                line += q.FieldByName(f)->AsString() + "\t";
            out.push_back(line);
        });
        return out;
    }

    TUserSort sort;
};

TEST(SortOrderList, TextFormsRoundTrip)
{
    TSortOrderList list;
    list.LoadAsString("A;B;C;", "10");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetFieldStr(), "A;B;");
    EXPECT_EQ(list.GetAscStr(), "10");
    EXPECT_TRUE(list.GetAsc(0));
    EXPECT_FALSE(list.GetAsc(1));
    TSortOrderList other;
    other.Add("A", true);
    other.Add("B", false);
    EXPECT_TRUE(list.Equals(other));
    other.SetAsc(1, true);
    EXPECT_FALSE(list.Equals(other));
    list.LoadAsString("A;", "11");  // a direction without a name gives an empty name
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(1), "");
}

TEST_F(UserSortDb, LocalSortAgreesWithTheServersOrder)
{
    const std::vector<std::string> fields = {"NAME", "PRICE", "QUANTITY"};
    sort.DoSort("name", true);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "NAME;");
    EXPECT_EQ(rows({"NAME"}), serverRows("NAME", {"NAME"}));
    TSortOrderList order;
    order.LoadAsString("NAME;PRICE;QUANTITY;", "100");
    sort.SetOrder(order);
    EXPECT_EQ(rows(fields), serverRows("NAME, PRICE desc, QUANTITY desc", fields));
    sort.DoSort("VENDOR", false);  // a lookup field sorts by the vendor's name
    std::vector<std::string> vendorsShown;
    goods.ScanRecords([&] { vendorsShown.push_back(goods.FieldByName("VENDOR")->AsString()); });
    EXPECT_TRUE(std::is_sorted(vendorsShown.rbegin(), vendorsShown.rend()));
    sort.DoSort("NO_SUCH_FIELD", true);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "VENDOR;");
}

TEST_F(UserSortDb, ReturningToTheQueryOrderUndoesTheLocalSort)
{
    const auto queryOrder = rows({"ID"});
    sort.DoCurrentSort();  // captures the default: the query's own order
    EXPECT_TRUE(sort.DefaultOrder().Empty());
    sort.DoSort("NAME", false);
    EXPECT_NE(rows({"ID"}), queryOrder);
    int opened = 0;
    goods.AfterOpen = [&](TDataSet*) { ++opened; };
    sort.SetOrder(sort.DefaultOrder());
    EXPECT_EQ(rows({"ID"}), queryOrder);
    EXPECT_EQ(opened, 0);
    sort.SetOptions(usoReopenDefSort);
    sort.DoSort("NAME", false);
    sort.SetOrder(sort.DefaultOrder());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(rows({"ID"}), queryOrder);
}

TEST_F(UserSortDb, ReopensForADefaultOrderTheDataSetHadItself)
{
    goods.DoSortEx(std::vector<std::string>{"QUANTITY"}, {true});
    sort.SetOptions(usoReopenDefSort);
    sort.DoCurrentSort();
    EXPECT_EQ(sort.DefaultOrder().GetFieldStr(), "QUANTITY;");
    sort.DoSort("NAME", true);
    int opened = 0;
    goods.AfterOpen = [&](TDataSet*) { ++opened; };
    sort.SetOrder(sort.DefaultOrder());
    EXPECT_EQ(opened, 1);
}

TEST_F(UserSortDb, AHiddenKeyFieldIsReportedAsItsLookupField)
{
    goods.DoSortEx(std::vector<std::string>{"VENDOR_ID", "NAME"}, {false, true});
    TSortOrderList present;
    sort.ParseSort(present);
    EXPECT_EQ(present.GetFieldStr(), "VENDOR;NAME;");
    EXPECT_EQ(present.GetAscStr(), "01");
    EXPECT_TRUE(sort.DefaultOrder().Equals(present));  // the first order read is the default
}

TEST_F(UserSortDb, SortFilesRoundTripAndRefuseUnknownFields)
{
    namespace fs = std::filesystem;
    const std::string file = (dir() / "goods.srt").string();
    TSortOrderList order;
    order.LoadAsString("NAME;PRICE;", "10");
    sort.SaveSortToFile(file, &order);
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "NAME;PRICE;\r\n10\r\n");

    sort.LoadSortFromFile(file);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "NAME;PRICE;");
    EXPECT_EQ(rows({"NAME", "PRICE"}), serverRows("NAME, PRICE desc", {"NAME", "PRICE"}));

    std::ofstream(file, std::ios::binary) << "NAME;GONE;\r\n11\r\n";
    sort.LoadSortFromFile(file);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "NAME;PRICE;");
    EXPECT_THROW(sort.LoadSortFromFile((dir() / "missing.srt").string()), EInOutError);
}

// The writing side of the restart test; runs only as the child started below.
TEST_F(UserSortDb, ChildStoresAnOrder)
{
    if (!std::getenv("LMPACK_SORT_RESTART_CHILD"))
        GTEST_SKIP() << "runs only as the child of UserSortDb.StoredOrdersSurviveAProcessRestart";
    sort.DoCurrentSort();
    TSortOrderList order;
    order.LoadAsString("VENDOR;NAME;", "01");
    sort.SetOrder(order);
    sort.WriteToReg(kSortKey);
    sort.SetOrder(order);
    sort.WriteToReg(std::string(kSortKey) + "Old");
}

TEST_F(UserSortDb, StoredOrdersSurviveAProcessRestart)
{
    namespace fs = std::filesystem;
    const fs::path file = dir() / "registry.db";
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command = "LMPACK_SORT_RESTART_CHILD=1 LMPACK_REGISTRY='" + file.string() + "' '" + self +
                                "' --gtest_filter=UserSortDb.ChildStoresAnOrder > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);

    auto previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>(file.string()));
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly(kSortKey));
        EXPECT_EQ(reg.ReadString("Fields"), "VENDOR;NAME;");
        EXPECT_EQ(reg.ReadString("Direct"), "01");
    }
    sort.SetOptions(usoApplyOnReadReg);
    sort.ReadFromReg(kSortKey);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "VENDOR;NAME;");
    EXPECT_EQ(goods.RecNo(), 1);
    std::vector<std::string> vendorsShown;
    goods.ScanRecords([&] { vendorsShown.push_back(goods.FieldByName("VENDOR")->AsString()); });
    EXPECT_TRUE(std::is_sorted(vendorsShown.rbegin(), vendorsShown.rend()));

    // a stored field that no longer exists: the default order instead
    {
        TRegistry reg;
        reg.OpenKey(std::string(kSortKey) + "Old", false);
        reg.WriteString("Fields", "VENDOR;DROPPED;");
    }
    TUserSort fresh;
    fresh.SetDS(&goods);
    fresh.ReadFromReg(std::string(kSortKey) + "Old");
    EXPECT_TRUE(fresh.SortOrder().Equals(fresh.DefaultOrder()));

    // choosing the default order deletes the stored key
    sort.SetRegKey(kSortKey);
    TSortDlgModel dlg(sort, "", false);
    dlg.Finish(TSortDlgModel::srDefault);
    EXPECT_FALSE(TRegistry().KeyExists(kSortKey));
    SetDefaultRegistryStore(std::move(previous));
}

TEST_F(UserSortDb, WithoutAKeyNothingIsStoredOrDeleted)
{
    auto previous = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
    {
        TRegistry reg;
        reg.OpenKey("\\Software\\Other", true);
        reg.WriteString("Keep", "me");
    }
    sort.DoSort("NAME", true);
    sort.WriteToReg();  // no RegKey: not into the root
    TRegistry root;
    ASSERT_TRUE(root.OpenKeyReadOnly("\\"));
    EXPECT_FALSE(root.ValueExists("Fields"));
    sort.SetOrder(sort.DefaultOrder());
    sort.WriteToReg();  // the default order deletes its key: there is none to delete
    EXPECT_TRUE(TRegistry().KeyExists("\\Software\\Other"));
    SetDefaultRegistryStore(std::move(previous));
}

TEST_F(UserSortDb, DialogModelMovesFieldsAndAppliesTheSortList)
{
    TSortOrderList order;
    order.LoadAsString("PRICE;", "0");
    sort.SetOrder(order);
    TSortDlgModel dlg(sort, "", true);
    EXPECT_EQ(dlg.Caption(), "Сортировка"_w);
    ASSERT_EQ(dlg.SortFields().size(), 1u);
    EXPECT_TRUE(dlg.SortFields()[0].Descending);
    for (const auto& item : dlg.Fields())
        EXPECT_TRUE(item.FieldName != "PRICE" && item.FieldName != "VENDOR_ID");
    const auto nameAt = [&] {
        for (std::size_t i = 0; i < dlg.Fields().size(); ++i)
            if (dlg.Fields()[i].FieldName == "NAME")
                return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(dlg.AddToSort(nameAt()), 1);
    EXPECT_EQ(dlg.MoveTop(1), 0);
    EXPECT_EQ(dlg.MoveDown(1), 1);  // clamped at the bottom
    EXPECT_EQ(nameAt(), -1);
    dlg.Finish(TSortDlgModel::srCancel);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "PRICE;");
    dlg.Finish(TSortDlgModel::srApply);
    EXPECT_EQ(sort.SortOrder().GetFieldStr(), "NAME;PRICE;");
    EXPECT_EQ(sort.SortOrder().GetAscStr(), "10");
    EXPECT_EQ(rows({"NAME", "PRICE"}), serverRows("NAME, PRICE desc", {"NAME", "PRICE"}));

    dlg.RemoveFromSort(0);
    EXPECT_GE(nameAt(), 0);
    dlg.ClearSort();
    EXPECT_EQ(test::messageOf([&] { dlg.CheckCanSave(); }), "Не задано ни одного поля"_w);
}

} // namespace
