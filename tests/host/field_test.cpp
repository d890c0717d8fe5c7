// Field classes: conversions, display and edit texts with formats, OnGetText, lookup fields.
#include <gtest/gtest.h>

#include "host/memdataset.h"
#include "hostfixture.h"
#include "util/exceptions.h"

using namespace lm;
using namespace std::string_literals;
using lm::test::GoodsData;

namespace {

// A one-record dataset holding a field of each class, in edit state.
struct AllTypes {
    TMemDataSet ds;
    AllTypes()
    {
        ds.FieldDefs().Add("S", ftString, 10);
        ds.FieldDefs().Add("SI", ftSmallint);
        ds.FieldDefs().Add("I", ftInteger);
        ds.FieldDefs().Add("L", ftLargeint);
        ds.FieldDefs().Add("F", ftFloat);
        ds.FieldDefs().Add("C", ftCurrency);
        ds.FieldDefs().Add("B", ftBCD, 2);
        ds.FieldDefs().Add("D", ftDate);
        ds.FieldDefs().Add("T", ftTime);
        ds.FieldDefs().Add("DT", ftDateTime);
        ds.FieldDefs().Add("BOOL", ftBoolean);
        ds.FieldDefs().Add("M", ftMemo);
        ds.Open();
        ds.Append();
    }
    TField* f(const char* name) { return ds.FieldByName(name); }
};

} // namespace

TEST(Field, DefaultPropertiesFollowTheType)
{
    AllTypes t;
    EXPECT_EQ(t.f("S")->Alignment(), taLeftJustify);
    EXPECT_EQ(t.f("F")->Alignment(), taRightJustify);
    EXPECT_EQ(t.f("S")->DisplayWidth(), 10);
    EXPECT_EQ(t.f("SI")->DisplayWidth(), 6);
    EXPECT_EQ(t.f("S")->DisplayLabel(), "S");
    t.f("S")->SetDisplayLabel("Строка"_w);
    EXPECT_EQ(t.f("S")->DisplayName(), "Строка"_w);
    EXPECT_EQ(t.f("B")->Size(), 2);
    EXPECT_TRUE(IsNumericType(t.f("B")->DataType()));
    EXPECT_FALSE(IsNumericType(t.f("D")->DataType()));
    EXPECT_NE(dynamic_cast<TNumericField*>(t.f("C")), nullptr);
    EXPECT_NE(dynamic_cast<TDateTimeField*>(t.f("T")), nullptr);
}

TEST(Field, ValuesConvertBetweenKinds)
{
    AllTypes t;
    t.f("I")->SetAsString("42");
    EXPECT_EQ(t.f("I")->AsInteger(), 42);
    EXPECT_EQ(t.f("I")->Value().VarType(), TVarType::varInteger);
    EXPECT_THROW(t.f("I")->SetAsString("4x"), EConvertError);
    t.f("I")->SetAsString("");
    EXPECT_TRUE(t.f("I")->IsNull()) << "empty text clears a number";
    EXPECT_EQ(t.f("I")->AsInteger(), 0);
    EXPECT_EQ(t.f("I")->AsString(), "");

    EXPECT_THROW(t.f("SI")->SetAsInteger(40000), Exception);
    t.f("L")->SetAsLargeInt(int64_t(1) << 40);
    EXPECT_EQ(t.f("L")->AsString(), "1099511627776");

    t.f("F")->SetAsString("1234,5");
    EXPECT_DOUBLE_EQ(t.f("F")->AsFloat(), 1234.5);
    t.f("B")->SetAsFloat(2.345);
    EXPECT_EQ(t.f("B")->AsCurrency(), Currency::FromRaw(23500)) << "BCD rounds to its decimals";

    t.f("D")->SetAsDateTime(EncodeDate(2026, 12, 6) + 0.5);
    EXPECT_DOUBLE_EQ(t.f("D")->AsDateTime(), EncodeDate(2026, 12, 6)) << "a date keeps only the day";
    t.f("D")->SetAsString("01.02.2026");
    EXPECT_DOUBLE_EQ(t.f("D")->AsDateTime(), EncodeDate(2026, 2, 1));
    t.f("T")->SetAsDateTime(EncodeDate(2026, 12, 6) + EncodeTime(13, 5, 0, 0));
    EXPECT_EQ(t.f("T")->AsString(), "13:05:00");

    t.f("BOOL")->SetAsString("true");
    EXPECT_TRUE(t.f("BOOL")->AsBoolean());
    EXPECT_EQ(t.f("BOOL")->AsString(), "True");
    static_cast<TBooleanField*>(t.f("BOOL"))->SetDisplayValues("Да;Нет"_w);
    t.f("BOOL")->SetAsString("нет"_w);
    EXPECT_FALSE(t.f("BOOL")->AsBoolean());
    EXPECT_EQ(t.f("BOOL")->DisplayText(), "Нет"_w);

    const std::string longText(100, 'x');
    t.f("S")->SetAsString(longText);
    EXPECT_EQ(t.f("S")->AsString(), longText) << "text longer than Size is kept whole";
}

TEST(Field, DisplayFormatsGoThroughTheRegionalSettings)
{
    AllTypes t;
    auto* f = static_cast<TFloatField*>(t.f("F"));
    f->SetAsFloat(1234.5);
    EXPECT_EQ(f->DisplayText(), "1234,5");
    f->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(f->DisplayText(), "1\xA0" "234,50");
    EXPECT_EQ(f->Text(), "1234,5") << "the edit text ignores DisplayFormat";
    f->SetEditFormat("0.000");
    EXPECT_EQ(f->Text(), "1234,500");

    auto* c = t.f("C");
    c->SetAsFloat(1234.5);
    EXPECT_EQ(c->DisplayText(), std::string("1\xA0") + "234,50 р."_w);

    auto* i = static_cast<TIntegerField*>(t.f("I"));
    i->SetAsInteger(7);
    i->SetDisplayFormat("000");
    EXPECT_EQ(i->DisplayText(), "007");

    auto* d = static_cast<TDateTimeField*>(t.f("D"));
    d->SetAsDateTime(EncodeDate(2026, 3, 8));
    EXPECT_EQ(d->DisplayText(), "08.03.2026");
    d->SetDisplayFormat("yyyy-mm-dd");
    EXPECT_EQ(d->DisplayText(), "2026-03-08");
    auto* dt = t.f("DT");
    dt->SetAsDateTime(EncodeDate(2026, 3, 8) + EncodeTime(9, 30, 0, 0));
    EXPECT_EQ(dt->DisplayText(), "08.03.2026 9:30:00");

    t.f("M")->SetAsString("line1\r\nline2");
    EXPECT_EQ(t.f("M")->DisplayText(), "(MEMO)");
    EXPECT_EQ(t.f("M")->AsString(), "line1\r\nline2");
}

TEST(Field, OnGetTextReplacesBothTexts)
{
    AllTypes t;
    TField* s = t.f("S");
    s->SetAsString("abc");
    std::vector<bool> calls;
    s->OnGetText = [&](TField* sender, std::string& text, bool displayText) {
        EXPECT_EQ(sender, s);
        calls.push_back(displayText);
        text = sender->AsString();
        text.insert(text.begin(), '<');
        text += '>';
    };
    EXPECT_EQ(s->DisplayText(), "<abc>");
    EXPECT_EQ(s->Text(), "<abc>");
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

TEST(Field, LookupFieldReadsTheResultThroughTheKeys)
{
    GoodsData d;
    d.goods.Close();
    auto* vendor = new TStringField(&d.goods);
    vendor->SetFieldName("VENDOR");
    vendor->SetFieldKind(fkLookup);
    vendor->SetKeyFields("VENDOR_ID");
    vendor->SetLookupDataSet(&d.vendors);
    vendor->SetLookupKeyFields("ID");
    vendor->SetLookupResultField("NAME");
    vendor->SetLookupCache(true);
    vendor->SetDataSet(&d.goods);
    d.goods.Open();
    d.goods.AppendRecord({1, "a", 1.0, 1, Variant::Null(), true, 2});
    d.goods.AppendRecord({2, "b", 1.0, 1, Variant::Null(), true, 7});
    d.goods.AppendRecord({3, "c"});
    d.goods.First();
    EXPECT_TRUE(vendor->Lookup());
    EXPECT_EQ(vendor->StoreColumn(), -1);
    EXPECT_EQ(vendor->AsString(), "Bayer");
    d.vendors.Last();
    d.goods.Next();
    EXPECT_TRUE(vendor->IsNull()) << "a key without a lookup record";
    d.goods.Next();
    EXPECT_TRUE(vendor->IsNull()) << "a null key";
    EXPECT_EQ(d.vendors.RecNo(), 2) << "reading lookups does not move the lookup dataset";

    d.goods.Edit();  // the record with the null key
    vendor->SetAsString("Фармстандарт"_w);
    EXPECT_EQ(d.goods.FieldByName("VENDOR_ID")->AsInteger(), 1) << "writing a lookup sets its key";
    EXPECT_THROW(vendor->SetAsString("nobody"), Exception);
    d.goods.Post();

    d.goods.SetFilter("VENDOR = '"s + "Фармстандарт"_w + "'");
    d.goods.SetFiltered(true);
    EXPECT_EQ(d.goods.RecordCount(), 1) << "filters may read lookup fields";
    EXPECT_EQ(d.goods.FieldByName("ID")->AsInteger(), 3);
}

TEST(Field, LookupDataSetDestroyedFirstLeavesTheFieldNull)
{
    TMemDataSet goods;
    goods.FieldDefs().Add("K", ftInteger);
    auto* lookups = new TMemDataSet();
    lookups->FieldDefs().Add("K", ftInteger);
    lookups->FieldDefs().Add("V", ftString, 5);
    lookups->Open();
    lookups->AppendRecord({1, "one"});
    auto* v = new TStringField(&goods);
    v->SetFieldName("V");
    v->SetLookup(true);
    v->SetKeyFields("K");
    v->SetLookupDataSet(lookups);
    v->SetLookupKeyFields("K");
    v->SetLookupResultField("V");
    v->SetDataSet(&goods);
    goods.Open();
    goods.AppendRecord({1});
    EXPECT_EQ(v->AsString(), "one");
    delete lookups;
    EXPECT_EQ(v->LookupDataSet(), nullptr);
    EXPECT_TRUE(v->IsNull());
}
