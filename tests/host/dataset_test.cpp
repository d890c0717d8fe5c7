// Dataset behaviour: opening, navigation, bookmarks, locate, editing, filtering, sorting,
// calculated fields and control bracketing.
#include <gtest/gtest.h>

#include "host/datasource.h"
#include "host/filterexpr.h"
#include "host/memdataset.h"
#include "hostfixture.h"
#include "util/exceptions.h"

using namespace lm;
using lm::test::GoodsData;

TEST(DataSet, FieldsFollowDefinitionsAndAreFoundIgnoringCase)
{
    GoodsData d;
    ASSERT_EQ(d.goods.FieldCount(), 7);
    EXPECT_EQ(d.goods.Fields(1)->FieldName(), "NAME");
    EXPECT_EQ(d.goods.FindField("price"), d.goods.Fields(2));
    EXPECT_EQ(d.goods.FindField("NOPE"), nullptr);
    try {
        d.goods.FieldByName("NOPE");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Goods: Field 'NOPE' not found");
    }
    EXPECT_NE(dynamic_cast<TFloatField*>(d.goods.FieldByName("PRICE")), nullptr);
    EXPECT_NE(dynamic_cast<TDateField*>(d.goods.FieldByName("DOC_DATE")), nullptr);
    EXPECT_EQ(d.goods.FieldByName("ID")->FieldNo(), 1);
}

TEST(DataSet, ForwardPassVisitsEveryRecordAndSetsEof)
{
    GoodsData d;
    std::vector<int> seen;
    for (d.goods.First(); !d.goods.Eof(); d.goods.Next())
        seen.push_back(d.goods.FieldByName("ID")->AsInteger());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(d.goods.RecNo(), 5);
    EXPECT_EQ(d.goods.RecordCount(), 5);
    d.goods.Prior();
    EXPECT_FALSE(d.goods.Eof());
    EXPECT_EQ(d.goods.RecNo(), 4);
    EXPECT_EQ(d.goods.MoveBy(-10), -3);
    EXPECT_TRUE(d.goods.Bof());
    d.goods.SetRecNo(3);
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 3);
}

TEST(DataSet, ClosedAndEmptyDataSetsBehave)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("A", ftInteger);
    EXPECT_THROW(ds.First(), Exception);
    ds.Open();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_TRUE(ds.FieldByName("A")->IsNull());
    EXPECT_THROW(ds.Delete(), Exception);
    TField* a = ds.FieldByName("A");
    ds.Close();
    ds.Open();
    EXPECT_EQ(ds.FieldByName("A"), a) << "reopening with the same definitions keeps the fields";
}

TEST(DataSet, BookmarksSurviveFilterAndSortButNotDeletion)
{
    GoodsData d;
    d.goods.SetRecNo(3);
    const TBookmark third = d.goods.GetBookmark();
    d.goods.First();
    d.goods.GotoBookmark(third);
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 3);

    d.goods.SortOnFields("PRICE", true);
    EXPECT_EQ(d.ids(), (std::vector<int>{2, 3, 1, 5, 4})) << "nulls last when descending";
    d.goods.GotoBookmark(third);
    EXPECT_EQ(d.goods.RecNo(), 2);

    d.goods.SetFilter("QTY > 5");
    d.goods.SetFiltered(true);
    EXPECT_FALSE(d.goods.BookmarkValid(third));
    EXPECT_THROW(d.goods.GotoBookmark(third), Exception);
    d.goods.SetFiltered(false);
    EXPECT_TRUE(d.goods.BookmarkValid(third));

    d.goods.GotoBookmark(third);
    d.goods.Delete();
    EXPECT_FALSE(d.goods.BookmarkValid(third));
    EXPECT_EQ(d.goods.RecordCount(), 4);

    d.goods.Close();
    d.goods.Open();
    EXPECT_FALSE(d.goods.BookmarkValid(third)) << "a reopened dataset has new records";
}

TEST(DataSet, LocateIsExactAndCaseSensitiveWithoutOptions)
{
    GoodsData d;
    EXPECT_FALSE(d.goods.Locate("NAME", "аспирин"_w));
    EXPECT_EQ(d.goods.RecNo(), 1) << "a failed locate stays put";
    EXPECT_TRUE(d.goods.Locate("NAME", "аспирин кардио"_w));
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 2);
    EXPECT_TRUE(d.goods.Locate("NAME", "АСПИРИН"_w, loCaseInsensitive));
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 1);
    EXPECT_TRUE(d.goods.Locate("NAME", "Анал"_w, loPartialKey));
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 3);
    EXPECT_TRUE(d.goods.Locate("QTY;VENDOR_ID", {Variant(0), Variant(2)}));
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 2);
    EXPECT_TRUE(d.goods.Locate("VENDOR_ID", Variant::Null()));
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 5);
    EXPECT_TRUE(d.goods.Locate("ID", "4")) << "a text key matches a number field by value";
    EXPECT_FALSE(d.goods.Locate("ID", "x"));
    EXPECT_THROW(d.goods.Locate("ID;NAME", Variant(1)), Exception);
}

TEST(DataSet, EditPostAndCancel)
{
    GoodsData d;
    d.goods.SetRecNo(2);
    d.goods.Edit();
    EXPECT_EQ(d.goods.State(), dsEdit);
    d.goods.FieldByName("QTY")->SetAsInteger(7);
    EXPECT_TRUE(d.goods.Modified());
    d.goods.Cancel();
    EXPECT_EQ(d.goods.FieldByName("QTY")->AsInteger(), 0);

    d.goods.Edit();
    d.goods.FieldByName("NAME")->SetAsString("Цитрамон"_w);
    d.goods.Post();
    EXPECT_EQ(d.goods.State(), dsBrowse);
    EXPECT_EQ(d.goods.FieldByName("NAME")->AsString(), "Цитрамон"_w);
    EXPECT_EQ(d.goods.RecNo(), 2);

    EXPECT_THROW(d.goods.FieldByName("QTY")->SetAsInteger(1), Exception) << "browse state refuses writes";
    EXPECT_THROW(d.goods.Post(), Exception);
}

TEST(DataSet, InsertPlacesBeforeCurrentAppendAtEnd)
{
    GoodsData d;
    d.goods.SetRecNo(2);
    d.goods.Insert();
    EXPECT_EQ(d.goods.RecNo(), 0);
    EXPECT_TRUE(d.goods.FieldByName("NAME")->IsNull());
    d.goods.FieldByName("ID")->SetAsInteger(10);
    d.goods.Post();
    EXPECT_EQ(d.goods.RecNo(), 2);
    EXPECT_EQ(d.ids(), (std::vector<int>{1, 10, 2, 3, 4, 5}));

    d.goods.AppendRecord({11, "Вата"_w});
    EXPECT_EQ(d.goods.RecNo(), 7);
    EXPECT_EQ(d.goods.FieldByName("NAME")->AsString(), "Вата"_w);
    EXPECT_TRUE(d.goods.FieldByName("PRICE")->IsNull());
}

TEST(DataSet, RequiredFieldRefusesPostAndKeepsTheBuffer)
{
    GoodsData d;
    d.goods.Append();
    d.goods.FieldByName("NAME")->SetAsString("x");
    try {
        d.goods.Post();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Field 'ID' must have a value");
    }
    EXPECT_EQ(d.goods.State(), dsInsert);
    EXPECT_EQ(d.goods.FieldByName("NAME")->AsString(), "x");
    d.goods.FieldByName("ID")->SetAsInteger(6);
    d.goods.Post();
    EXPECT_EQ(d.goods.RecordCount(), 6);
    EXPECT_THROW(d.goods.AppendRecord({Variant::Null(), "y"}), Exception);
    EXPECT_EQ(d.goods.State(), dsBrowse) << "a failed AppendRecord cancels its record";
    EXPECT_EQ(d.goods.RecordCount(), 6);
}

TEST(DataSet, MovingPostsAPendingEdit)
{
    GoodsData d;
    d.goods.Edit();
    d.goods.FieldByName("QTY")->SetAsInteger(42);
    d.goods.Next();
    d.goods.First();
    EXPECT_EQ(d.goods.FieldByName("QTY")->AsInteger(), 42);
}

TEST(DataSet, DeleteMovesToNextOrLast)
{
    GoodsData d;
    d.goods.SetRecNo(2);
    d.goods.Delete();
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 3);
    d.goods.Last();
    d.goods.Delete();
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 4);
    EXPECT_EQ(d.ids(), (std::vector<int>{1, 3, 4}));
}

TEST(DataSet, ReadOnlyDataSetRefusesEditing)
{
    GoodsData d;
    d.goods.SetReadOnly(true);
    EXPECT_THROW(d.goods.Edit(), Exception);
    EXPECT_THROW(d.goods.Append(), Exception);
    EXPECT_THROW(d.goods.Delete(), Exception);
    EXPECT_FALSE(d.goods.FieldByName("NAME")->CanModify());
}

TEST(DataSet, FilterTextAndOnFilterRecordBothApply)
{
    GoodsData d;
    d.goods.SetFilter("PRICE < 100");
    d.goods.OnFilterRecord = [](TDataSet* ds, bool& accept) {
        EXPECT_EQ(ds->State(), dsFilter);
        accept = ds->FieldByName("IS_ACTIVE")->AsBoolean();
    };
    d.goods.SetFiltered(true);
    EXPECT_EQ(d.ids(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(d.goods.RecordCount(), 3);
    EXPECT_EQ(d.goods.State(), dsBrowse);

    d.goods.SetFilter("PRICE > 10");
    EXPECT_EQ(d.ids(), (std::vector<int>{1, 3}));
    d.goods.SetFiltered(false);
    EXPECT_EQ(d.goods.RecordCount(), 5);
}

TEST(DataSet, BadFilterRaisesOnSwitchingOnAndLeavesTheDataUnfiltered)
{
    GoodsData d;
    d.goods.SetFilter("PRICE >");
    EXPECT_THROW(d.goods.SetFiltered(true), EFilterError);
    EXPECT_FALSE(d.goods.Filtered());
    EXPECT_EQ(d.goods.RecordCount(), 5);

    d.goods.SetFilter("QTY > 5");
    d.goods.SetFiltered(true);
    EXPECT_THROW(d.goods.SetFilter("QTY >> 5"), EFilterError);
    EXPECT_EQ(d.goods.Filter(), "QTY > 5") << "the previous filter stays";
    EXPECT_EQ(d.ids(), (std::vector<int>{1, 5}));
}

TEST(DataSet, FilterSetBeforeOpenAppliesAtOpen)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("A", ftInteger);
    ds.SetFilter("A = 2 OR A IS NULL");
    ds.SetFiltered(true);
    ds.Open();
    ds.AppendRecord({1});
    ds.AppendRecord({2});
    ds.AppendRecord({Variant::Null()});
    EXPECT_EQ(ds.RecordCount(), 3) << "posted records stay visible until the filter is applied again";
    ds.SetFiltered(false);
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 2);
    ds.Close();
    ds.SetFilter("A = ");
    EXPECT_THROW(ds.Open(), EFilterError);
    EXPECT_FALSE(ds.Active());
}

TEST(DataSet, CalculatedFieldsAreStoredAndFilterable)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("PRICE", ftFloat);
    ds.FieldDefs().Add("QTY", ftInteger);
    auto* total = new TFloatField(&ds);
    total->SetFieldName("TOTAL");
    total->SetFieldKind(fkCalculated);
    total->SetDataSet(&ds);
    ds.OnCalcFields = [](TDataSet* s) {
        s->FieldByName("TOTAL")->SetAsFloat(s->FieldByName("PRICE")->AsFloat() * s->FieldByName("QTY")->AsInteger());
        EXPECT_THROW(s->FieldByName("QTY")->SetAsInteger(0), Exception);
    };
    ds.Open();
    ASSERT_EQ(ds.FieldCount(), 3);
    EXPECT_EQ(ds.Fields(2), total);
    ds.AppendRecord({2.5, 4});
    ds.AppendRecord({1.0, 1});
    EXPECT_DOUBLE_EQ(total->AsFloat(), 1.0);
    ds.First();
    EXPECT_DOUBLE_EQ(total->AsFloat(), 10.0);
    ds.Edit();
    ds.FieldByName("QTY")->SetAsInteger(2);
    ds.Post();
    EXPECT_DOUBLE_EQ(total->AsFloat(), 5.0) << "posting recalculates";
    ds.SetFilter("TOTAL > 2");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 1);
}

TEST(DataSet, RunTimeFieldsReplaceDefaultFields)
{
    TMemDataSet ds;
    auto* id = new TIntegerField(&ds);
    id->SetFieldName("ID");
    id->SetDataSet(&ds);
    auto* name = new TStringField(&ds);
    name->SetFieldName("NAME");
    name->SetSize(30);
    name->SetDisplayLabel("Наименование"_w);
    name->SetDataSet(&ds);
    name->SetIndex(0);
    ds.Open();
    ASSERT_EQ(ds.FieldCount(), 2);
    EXPECT_EQ(ds.Fields(0), name);
    EXPECT_EQ(ds.FieldDefs().Count(), 2);
    ds.AppendRecord({"x", 1});
    EXPECT_EQ(id->AsInteger(), 1);
    EXPECT_THROW(name->SetDataSet(nullptr), Exception) << "fields do not leave an open dataset";
    ds.Close();
    delete name;
    EXPECT_EQ(ds.FieldCount(), 1) << "a destroyed field leaves the list";
}

TEST(DataSet, FieldOfAnotherClassThanItsDefinitionHoldsItsOwnKind)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("SUM", ftBCD, 2);
    auto* sum = new TFloatField(&ds);
    sum->SetFieldName("SUM");
    sum->SetDataSet(&ds);
    ds.Open();
    ds.AppendRecord({2.125});
    EXPECT_DOUBLE_EQ(sum->AsFloat(), 2.125);
    ds.Close();
    auto* twin = new TIntegerField(&ds);
    twin->SetFieldName("SUM");
    twin->SetDataSet(&ds);
    EXPECT_THROW(ds.Open(), Exception);
    EXPECT_FALSE(ds.Active());
}

TEST(DataSet, SortKeepsCurrentRecordAndNullsFirstAscending)
{
    GoodsData d;
    d.goods.SetRecNo(3);
    d.goods.SortOnFields("QTY");
    EXPECT_EQ(d.ids(), (std::vector<int>{4, 2, 3, 1, 5}));
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 3);
    d.goods.SortOnFields("NAME");
    EXPECT_EQ(d.ids(), (std::vector<int>{4, 3, 1, 5, 2})) << "byte order of Windows-1251";
}
