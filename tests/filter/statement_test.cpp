// Printing of compiled filters: the SQL and the local statement of every kind of comparison.
#include <gtest/gtest.h>

#include "filterfixture.h"

using namespace lm;
using lmtest::GoodsFixture;

namespace {

class Statement : public ::testing::Test, public GoodsFixture {
protected:
    // The statement in both forms: SQL (enabled and preferred) and local (SQL disabled).
    std::pair<std::string, std::string> both(const std::string& text, TUFilterOptions extra = {})
    {
        setOptions(extra + TUFilterOptions{ufoSQLEnabled, ufoSQLPrefer});
        std::string sql = compile(text);
        setOptions(extra);
        std::string local = compile(text);
        return {sql, local};
    }
    using Pair = std::pair<std::string, std::string>;
};

TEST_F(Statement, DocumentedExamples)
{
    EXPECT_EQ(both("[Наименование] = 'аспирин*'"), Pair("AND (G.NAME LIKE 'аспирин%')", "NAME LIKE 'аспирин%'"));
    EXPECT_EQ(both("[Наименование] = 'аспирин*'", {ufoIgnoreCase}),
              Pair("AND (UPPER(G.NAME COLLATE PXW_CYRL) LIKE 'АСПИРИН%')", "UPPER(NAME) LIKE 'АСПИРИН%'"));
    EXPECT_EQ(both("[Наименование] <> '*ин'"), Pair("AND ((NOT G.NAME LIKE '%ин'))", "(NOT NAME LIKE '%ин')"));
    EXPECT_EQ(both("[Цена] = ПУСТО"), Pair("AND (G.PRICE IS NULL)", "PRICE IS NULL"));
    EXPECT_EQ(both("НЕ [Цена] = ПУСТО"), Pair("AND ( NOT G.PRICE IS NULL)", " NOT PRICE IS NULL"));
    EXPECT_EQ(both("[Дата] >= {NOW-7}"), Pair("AND (G.DOC_DATE>=CURRENT_DATE - 7)", "DOC_DATE>=CURRENT_DATE - 7"));
    EXPECT_EQ(both("[Активен] И [Цена] > 1,5"), Pair("AND (G.IS_ACTIVE=1 AND G.PRICE>1.5)", "IS_ACTIVE=1 AND PRICE>1,5"));
}

TEST_F(Statement, NowPrefersSqlWhenSqlIsEnabled)
{
    setOptions({ufoSQLEnabled});
    EXPECT_EQ(compile("[Дата] >= {NOW-7}"), "AND (G.DOC_DATE>=CURRENT_DATE - 7)");
}

TEST_F(Statement, WildcardsBecomeLikeOnlyForEqualAndNotEqual)
{
    EXPECT_EQ(both("[Наименование] < 'а*'"), Pair("AND (G.NAME<'а*')", "NAME<'а*'"));
    EXPECT_EQ(both("НЕ [Наименование] <> 'а*б*'"), Pair("AND ( NOT (NOT G.NAME LIKE 'а%б%'))", " NOT (NOT NAME LIKE 'а%б%')"));
    EXPECT_EQ(both("[Наименование] = 'а'"), Pair("AND (G.NAME='а')", "NAME='а'"));
}

TEST_F(Statement, IgnoreCaseUpperCasesConstantsButWrapsOnlyStringFields)
{
    EXPECT_EQ(both("[Наименование] = 'ёж'", {ufoIgnoreCase}),
              Pair("AND (UPPER(G.NAME COLLATE PXW_CYRL)='ЁЖ')", "UPPER(NAME)='ЁЖ'"));
    EXPECT_EQ(both("[Дата] = 'today'", {ufoIgnoreCase}), Pair("AND (G.DOC_DATE='TODAY')", "DOC_DATE='TODAY'"));
    // A lookup compares its key: no UPPER, the constant is looked up as typed.
    EXPECT_EQ(both("[Поставщик] = 'Фармстандарт'", {ufoIgnoreCase}), Pair("AND (G.VENDOR_ID=1)", "VENDOR_ID=1"));
    EXPECT_EQ(both("[Поставщик] = 'ФАРМСТАНДАРТ'", {ufoIgnoreCase}), Pair("<fail>", "<fail>"));
}

TEST_F(Statement, BooleanFields)
{
    EXPECT_EQ(both("[Активен] = 'да'"), Pair("AND (G.IS_ACTIVE=1)", "IS_ACTIVE=1"));
    EXPECT_EQ(both("[Активен] <> 'Нет'"), Pair("AND (G.IS_ACTIVE<>0)", "IS_ACTIVE<>0"));
    EXPECT_EQ(both("[Активен] = ПУСТО"), Pair("AND (G.IS_ACTIVE IS NULL)", "IS_ACTIVE IS NULL"));
    EXPECT_EQ(both("[Активен] = 1"), Pair("AND (G.IS_ACTIVE=1)", "IS_ACTIVE=1"));
    EXPECT_EQ(both("НЕ [Активен]"), Pair("AND ( NOT G.IS_ACTIVE=1)", " NOT IS_ACTIVE=1"));
    EXPECT_EQ(both("([Активен]) ИЛИ [Код] = 1"), Pair("AND (G.IS_ACTIVE=1 OR G.CODE=1)", "IS_ACTIVE=1 OR CODE=1"));
}

TEST_F(Statement, LookupsCompareTheirKey)
{
    EXPECT_EQ(both("[Поставщик] = 'Фармстандарт'"), Pair("AND (G.VENDOR_ID=1)", "VENDOR_ID=1"));
    EXPECT_EQ(both("[Поставщик] <> \"O'Neil Pharma\""), Pair("AND (G.VENDOR_ID<>2)", "VENDOR_ID<>2"));
    // A string key goes in quotes, its own quotes doubled.
    EXPECT_EQ(both("[Страна] = 'Дальняя'"), Pair("AND (G.COUNTRY_CODE='D''A')", "COUNTRY_CODE='D''A'"));
    EXPECT_EQ(both("[Страна] = 'Россия' ИЛИ [Страна] = ПУСТО"),
              Pair("AND (G.COUNTRY_CODE='RU' OR G.COUNTRY_CODE IS NULL)", "COUNTRY_CODE='RU' OR COUNTRY_CODE IS NULL"));
    // A displayed value that no lookup record carries fails the whole compile.
    EXPECT_EQ(both("[Поставщик] = 'Нет такого'"), Pair("<fail>", "<fail>"));
}

TEST_F(Statement, NumbersUseThePointOnlyInSql)
{
    EXPECT_EQ(both("[Цена] >= -0,25 И [Сумма] < 1000"), Pair("AND (G.PRICE>=-0.25 AND G.SUMMA<1000)", "PRICE>=-0,25 AND SUMMA<1000"));
    EXPECT_EQ(both("([Цена] + 1,5) * 2 > 5 / [Кол]"), 
              Pair("AND ((G.PRICE+1.5)*2>5/G.QTY)", "(PRICE+1,5)*2>5/QTY"));
}

TEST_F(Statement, NumbersWithABareSeparatorAreCompleted)
{
    EXPECT_EQ(both("[Цена] > 1, И [Цена] < ,5 ИЛИ [Цена] = -,25"),
              Pair("AND (G.PRICE>1 AND G.PRICE<0.5 OR G.PRICE=-0.25)", "PRICE>1 AND PRICE<0,5 OR PRICE=-0,25"));
}

TEST_F(Statement, ParenthesesAndNot)
{
    EXPECT_EQ(both("([Код] = 1)"), Pair("AND (G.CODE=1)", "CODE=1"));
    EXPECT_EQ(both("([Код] = 1 ИЛИ [Кол] = 2) И [Цена] > 0"), Pair("AND ((G.CODE=1 OR G.QTY=2) AND G.PRICE>0)", "(CODE=1 OR QTY=2) AND PRICE>0"));
    EXPECT_EQ(both("НЕ ([Код] = 1 ИЛИ [Кол] = 2)"), Pair("AND ( NOT (G.CODE=1 OR G.QTY=2))", " NOT (CODE=1 OR QTY=2)"));
    EXPECT_EQ(both("5 < [Кол]"), Pair("AND (5<G.QTY)", "5<QTY"));
}

TEST_F(Statement, StringConstantsCannotBreakOutOfTheirQuotes)
{
    EXPECT_EQ(both("[Наименование] = \"x' OR 1=1 OR NAME='\""),
              Pair("AND (G.NAME='x'' OR 1=1 OR NAME=''')", "NAME='x'' OR 1=1 OR NAME='''"));
}

} // namespace
