// Variant conversions and the comparison across kinds.
#include <gtest/gtest.h>

#include <cmath>

#include "util/exceptions.h"
#include "util/variant.h"

using namespace lm;

TEST(Variant, KindsAndTheirTexts)
{
    EXPECT_EQ(Variant().VarType(), TVarType::varEmpty);
    EXPECT_EQ(Variant::Null().VarType(), TVarType::varNull);
    EXPECT_EQ(Variant(int64_t(5)).VarType(), TVarType::varInt64);
    EXPECT_EQ(Variant::FromDate(1).VarType(), TVarType::varDate);
    EXPECT_EQ(Variant("x").VarType(), TVarType::varString);
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(1234.5).AsString(), "1234,5");
    EXPECT_EQ(Variant(Currency::FromRaw(15000)).AsString(), "1,5");
    EXPECT_EQ(Variant::FromDate(39146.5).AsString(), "05.03.2007 12:00:00");
    EXPECT_EQ(Variant::Null().AsString(), "");
    EXPECT_EQ(Variant().AsString(), "");
}

TEST(Variant, NumericConversions)
{
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);  // halves to even
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(-2.5).AsInt64(), -2);
    EXPECT_EQ(Variant(Currency::FromRaw(25000)).AsInteger(), 2);
    EXPECT_EQ(Variant(Currency::FromRaw(-35000)).AsInteger(), -4);
    EXPECT_EQ(Variant(" 42 ").AsInteger(), 42);
    EXPECT_DOUBLE_EQ(Variant("1,5").AsFloat(), 1.5);
    EXPECT_EQ(Variant("1,23456").AsCurrency().Raw(), 12346);
    EXPECT_EQ(Variant(7).AsCurrency().Raw(), 70000);
    EXPECT_DOUBLE_EQ(Variant("05.03.2007").AsDateTime(), 39146);
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_FALSE(Variant("0").AsBoolean());
    EXPECT_TRUE(Variant(0.1).AsBoolean());
}

TEST(Variant, ConversionFailuresNameTheKinds)
{
    EXPECT_THROW(Variant("abc").AsInteger(), EConvertError);
    EXPECT_THROW(Variant("1.5").AsFloat(), EConvertError);  // "." is not the decimal separator
    EXPECT_THROW(Variant("maybe").AsBoolean(), EConvertError);
    try {
        Variant::Null().AsInteger();
        FAIL();
    } catch (const EConvertError&) {
        FAIL() << "null is no conversion error of a text";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (Integer)");
    }
    try {
        Variant(1e10).AsInteger();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (Double) into type (Integer)");
    }
    EXPECT_THROW(Variant(std::nan("")).AsInt64(), Exception);
    EXPECT_THROW(Variant(1e19).AsInt64(), Exception);
    EXPECT_THROW(Variant().AsDateTime(), Exception);
}

TEST(Variant, NumbersCompareAcrossKinds)
{
    EXPECT_EQ(Variant(5), Variant(int64_t(5)));
    EXPECT_EQ(Variant(5), Variant(5.0));
    EXPECT_EQ(Variant(5), Variant(Currency::FromInt(5)));
    EXPECT_EQ(Variant(true), Variant(-1));
    EXPECT_EQ(Variant::FromDate(39146), Variant(39146));
    EXPECT_LT(Variant(2).Compare(Variant(2.5)), 0);
    EXPECT_GT(Variant(Currency::FromRaw(20001)).Compare(Variant(2)), 0);
    // Beyond double precision the integers still compare exactly.
    EXPECT_LT(Variant(int64_t(9007199254740992)).Compare(Variant(int64_t(9007199254740993))), 0);
    EXPECT_LT(Variant(int64_t(922337203685477)).Compare(Variant(Currency::FromRaw(9223372036854770001))), 0);
    EXPECT_LT(Variant(std::nan("")).Compare(Variant(-1e300)), 0);
    EXPECT_EQ(Variant(std::nan("")), Variant(std::nan("")));
}

TEST(Variant, StringsAgainstStringsAndNumbers)
{
    EXPECT_LT(Variant("a").Compare(Variant("b")), 0);
    EXPECT_LT(Variant("Z").Compare(Variant("a")), 0);       // byte-wise, case-sensitive
    EXPECT_LT(Variant("z").Compare(Variant("\xE0")), 0);    // Cyrillic bytes sort after Latin
    EXPECT_NE(Variant("a"), Variant("A"));
    EXPECT_EQ(Variant("5,0"), Variant(5));
    EXPECT_EQ(Variant(5), Variant("5,0"));
    EXPECT_GT(Variant("10").Compare(Variant(9)), 0);        // as numbers, not as texts
    EXPECT_LT(Variant(9).Compare(Variant("10")), 0);
    EXPECT_EQ(Variant("05.03.2007"), Variant::FromDate(39146));
    EXPECT_EQ(Variant("True"), Variant(true));
    EXPECT_NE(Variant("abc"), Variant(5));                  // no exception for a non-number
    EXPECT_GT(Variant("abc").Compare(Variant(5)), 0);
    EXPECT_LT(Variant(5).Compare(Variant("abc")), 0);
}

TEST(Variant, NullAndEmptyOrderFirstAndEqualOnlyEachOther)
{
    EXPECT_EQ(Variant::Null(), Variant());
    EXPECT_EQ(Variant::Null(), Variant::Null());
    EXPECT_NE(Variant::Null(), Variant(0));
    EXPECT_NE(Variant(), Variant(""));
    EXPECT_LT(Variant::Null().Compare(Variant(-1e300)), 0);
    EXPECT_LT(Variant().Compare(Variant("")), 0);
    EXPECT_GT(Variant(false).Compare(Variant::Null()), 0);
    EXPECT_TRUE(Variant().IsNullOrEmpty());
    EXPECT_FALSE(Variant(0).IsNullOrEmpty());
}
