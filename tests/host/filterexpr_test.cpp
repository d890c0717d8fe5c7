// The local filter language as tables: expressions against the records they keep (with SQL's
// NULL logic), and malformed texts against their exact position and reason.
#include <gtest/gtest.h>

#include <random>

#include "host/filterexpr.h"
#include "hostfixture.h"

using namespace lm;
using namespace std::string_literals;
using lm::test::GoodsData;

namespace {

struct Case {
    std::string expr;
    std::vector<int> ids;
};

std::vector<int> filtered(GoodsData& d, const std::string& expr)
{
    d.goods.SetFiltered(false);
    d.goods.SetFilter(expr);
    d.goods.SetFiltered(true);
    return d.ids();
}

} // namespace

// Records: 1 Аспирин 12.5 10 01.12.2026 T V1 | 2 аспирин кардио 150 0 20.11.2026 F V2 |
// 3 Анальгин 30.25 5 05.12.2026 T V1 | 4 Bepanthen, all null, V2 | 5 Йод 1.5 100 15.01.2025 T null
TEST(FilterExpr, KeepsTheRecordsTheServerWouldSelect)
{
    const std::vector<Case> cases = {
        // the forms the filter statements print
        {"NAME LIKE '"s + "Аспирин%"_w + "'", {1}},
        {"UPPER(NAME) LIKE '"s + "АСПИРИН%"_w + "'", {1, 2}},
        {"UPPER(NAME) LIKE '%"s + "ИН"_w + "%'", {1, 2, 3}},
        {"(NOT NAME LIKE '%"s + "ин"_w + "')", {2, 4, 5}},
        {"PRICE IS NULL", {4}},
        {" NOT PRICE IS NULL", {1, 2, 3, 5}},
        {"IS_ACTIVE=1 AND PRICE>1,5", {1, 3}},
        {"DOC_DATE>='01.12.2026'", {1, 3}},
        {"DOC_DATE = '2026-11-20'", {2}},
        {"VENDOR_ID=2", {2, 4}},
        // numbers, arithmetic and the integer division of the server
        {"PRICE > 1.5", {1, 2, 3}},
        {"PRICE = 30,25", {3}},
        {"PRICE > 12,", {1, 2, 3}},
        {"PRICE < ,5E1", {5}},
        {"QTY = '5'", {3}},
        {"PRICE*QTY>100", {1, 3, 5}},
        {"(PRICE+1)*2 >= 5", {1, 2, 3, 5}},
        {"QTY/3 = 1", {3}},
        {"QTY/0 = 1", {}},
        {"-PRICE < -100", {2}},
        {"PRICE > -1 AND QTY >= 0", {1, 2, 3, 5}},
        {"PRICE * 1e300 * 1e300 > 0", {}},
        {"DOC_DATE + 99999999 LIKE '%'", {}},
        // three-valued logic
        {"PRICE <> 150", {1, 3, 5}},
        {"NOT (PRICE = 150)", {1, 3, 5}},
        {"PRICE = 150 OR QTY IS NULL", {2, 4}},
        {"PRICE > 100 OR QTY > 50", {2, 5}},
        {"NOT (PRICE > 100 OR QTY > 50)", {1, 3}},
        {"VENDOR_ID = 2 AND NOT IS_ACTIVE = 1", {2}},
        {"NAME = NULL", {}},
        {"NAME IS NOT NULL", {1, 2, 3, 4, 5}},
        {"IS_ACTIVE", {1, 3, 5}},
        {"NOT IS_ACTIVE", {2}},
        // texts: padding, wildcards, case, quoting of names
        {"NAME = '"s + "Йод   "_w + "'", {5}},
        {"NAME LIKE '"s + "Йод "_w + "'", {}},
        {"NAME LIKE '_"s + "од"_w + "'", {5}},
        {"NAME LIKE '%'", {1, 2, 3, 4, 5}},
        {"NAME LIKE '%"s + "а%и"_w + "%'", {2, 3}},
        {"NAME NOT LIKE '%"s + "ин"_w + "'", {2, 4, 5}},
        {"UPPER(NAME) = '"s + "ЙОД"_w + "'", {5}},
        {"LOWER(NAME) LIKE 'bep%'", {4}},
        {"UPPER(NAME) = UPPER('"s + "йод"_w + "')", {5}},
        {"name like '"s + "Йод"_w + "' and id = 5", {5}},
        {"[NAME] = '"s + "Йод"_w + "' OR \"ID\" = 1", {1, 5}},
        {"NAME < 'B'", {}},
        {"NAME >= 'B' AND NAME < 'C'", {4}},
    };
    for (const Case& c : cases) {
        GoodsData d;
        EXPECT_EQ(filtered(d, c.expr), c.ids) << cp1251ToUtf8(c.expr);
    }
}

TEST(FilterExpr, CurrentDateCountsDays)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("N", ftInteger);
    ds.FieldDefs().Add("D", ftDate);
    ds.Open();
    const double today = std::floor(Now());
    for (int back : {10, 7, 3, 0})
        ds.AppendRecord({back, Variant::FromDate(today - back)});
    auto count = [&](const std::string& expr) {
        ds.SetFiltered(false);
        ds.SetFilter(expr);
        ds.SetFiltered(true);
        return ds.RecordCount();
    };
    EXPECT_EQ(count("D>=CURRENT_DATE - 7"), 3);
    EXPECT_EQ(count("D < CURRENT_DATE"), 3);
    EXPECT_EQ(count("D = CURRENT_DATE"), 1);
    EXPECT_EQ(count("D > CURRENT_DATE + 1"), 0);
    EXPECT_EQ(count("CURRENT_DATE - D = N"), 4);
}

TEST(FilterExpr, QuotesInsideStringsAreDoubled)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("S", ftString, 20);
    ds.Open();
    ds.AppendRecord({"it's"});
    ds.AppendRecord({"its"});
    ds.SetFilter("S = 'it''s'");
    ds.SetFiltered(true);
    ASSERT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("S")->AsString(), "it's");
}

TEST(FilterExpr, MalformedTextsNameThePositionAndReason)
{
    const struct {
        std::string text;
        int position;
        std::string reason;
    } cases[] = {
        {"PRICE >", 8, "ожидается значение"_w},
        {"PRICE > 'abc'", 9, "неверное число 'abc'"_w},
        {"DOC_DATE = '32.13.2026'", 12, "неверная дата '32.13.2026'"_w},
        {"NOPE = 1", 1, "неизвестное поле NOPE"_w},
        {"NAME = 'abc", 8, "незакрытая строка"_w},
        {"(PRICE > 1", 11, "ожидается ')'"_w},
        {"PRICE > 1)", 10, "лишний текст"_w},
        {"PRICE # 1", 7, "недопустимый символ '#'"_w},
        {"NAME", 1, "ожидается условие"_w},
        {"", 1, "ожидается условие"_w},
        {"PRICE IS 1", 10, "ожидается NULL"_w},
        {"NAME NOT 'x'", 10, "ожидается LIKE"_w},
        {"[NAME = 1", 1, "незакрытое имя поля"_w},
        {"PRICE = 1 AND", 14, "ожидается значение"_w},
        {"UPPER(NAME = 'x'", 12, "ожидается ')'"_w},
        {"PRICE AND", 10, "ожидается значение"_w},
        {std::string(300, '('), 201, "слишком глубокая вложенность"_w},
    };
    GoodsData d;
    for (const auto& c : cases) {
        try {
            TFilterExpr expr(c.text, d.goods);
            ADD_FAILURE() << "compiled: " << cp1251ToUtf8(c.text);
        } catch (const EFilterError& e) {
            EXPECT_EQ(e.Position(), c.position) << cp1251ToUtf8(c.text);
            EXPECT_EQ(e.Reason(), c.reason) << cp1251ToUtf8(c.text) << " -> " << cp1251ToUtf8(e.Reason());
        }
    }
    try {
        TFilterExpr expr("PRICE >", d.goods);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Ошибка в выражении фильтра \"PRICE >\" в позиции 8: ожидается значение"_w);
    }
}

TEST(FilterExpr, RandomBytesNeverCrash)
{
    GoodsData d;
    std::mt19937 rng(12345);
    const std::string alphabet = "NAMEPRICQTYIS_() '=<>!+-*/%,.0123456789ANDORNOTLIKEUPPER[]\"\xC0\xE0";
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const int len = static_cast<int>(rng() % 40);
        for (int k = 0; k < len; ++k)
            text += rng() % 8 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
        try {
            TFilterExpr expr(text, d.goods);
            for (TRecordStore::RecId rec = 0; rec < d.goods.Store().Size(); ++rec)
                expr.Evaluate(rec);
        } catch (const EFilterError&) {
        }
    }
}
