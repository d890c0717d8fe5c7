// Reading SQL text: named parameters and the tables of the FROM clause.
#include <gtest/gtest.h>

#include "db/fibsqltext.h"
#include "util/cp1251.h"

namespace {

using namespace lm::fib;
using namespace lm::literals;

TEST(SqlText, NamedParametersOutsideQuotesAndCommentsBecomeQuestionMarks)
{
    std::vector<std::string> names;
    const std::string sql = "select * from t where a = :A and b = ':no' and \"x:y\" = :b_2 -- :c\n"
                            "and d = ? /* :e */ and e = :Имя"_w;
    EXPECT_EQ(replaceNamedParams(sql, names),
              "select * from t where a = ? and b = ':no' and \"x:y\" = ? -- :c\nand d = ? /* :e */ and e = ?");
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B_2", "", "ИМЯ"_w}));
    // malformed text is copied, never over-read
    EXPECT_EQ(replaceNamedParams("select ':x", names), "select ':x");
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(replaceNamedParams("a = :", names), "a = :");
    EXPECT_EQ(replaceNamedParams("/* :x", names), "/* :x");
}

std::vector<std::string> tables(const std::string& sql)
{
    std::vector<std::string> out;
    for (const FromTable& t : fromTables(sql))
        out.push_back(t.relation + "=" + t.alias);
    return out;
}

TEST(SqlText, FromTablesWithAliasesJoinsAndSubqueries)
{
    EXPECT_EQ(tables("select g.*, (select max(id) from vendor) m from goods g "
                     "join vendor as v on v.id = g.vendor_id "
                     "left outer join (select id from country) x on x.id = g.country_id, "
                     "country c where c.id = (select 1 from rdb$database)"),
              (std::vector<std::string>{"GOODS=G", "VENDOR=V", "COUNTRY=C"}));
    EXPECT_EQ(tables("select * from goods order by name"), (std::vector<std::string>{"GOODS=GOODS"}));
    EXPECT_EQ(tables("select * from \"Goods\" \"g\" natural join price_list(1, 'a,b') p"),
              (std::vector<std::string>{"Goods=g", "PRICE_LIST=P"}));
    EXPECT_EQ(tables("select * from goods -- join vendor v\nwhere 1 = 1"), (std::vector<std::string>{"GOODS=GOODS"}));
    for (const char* bad : {"select from", "from (", "select * from 'x", "select * from t join", ")))from a b c", ""})
        EXPECT_NO_THROW(fromTables(bad)) << bad;
    EXPECT_TRUE(tables("select 1 from").empty());
}

// "C" column, "S" star, "E" expression, with the qualifier after a colon.
std::vector<std::string> items(const std::string& sql)
{
    std::vector<std::string> out;
    for (const SelectItem& i : selectList(sql).items)
        out.push_back(std::string(i.kind == SelectItem::Column ? "C" : i.kind == SelectItem::Star ? "S" : "E") + ":" +
                      i.qualifier);
    return out;
}

TEST(SqlText, SelectListItemsTellColumnsFromExpressions)
{
    EXPECT_EQ(items("with x as (select id from goods) select first (:n + 1) skip 2 distinct x.id, "
                    "\"Odd\".\"Name\" as n, (select 1 from rdb$database) one, g.*, upper(name), price p, "
                    "g.price * 2, 'text', count(*) from x join goods g on g.id = x.id"),
              (std::vector<std::string>{"C:X", "C:Odd", "E:", "S:G", "E:", "C:", "E:", "E:", "E:"}));
    EXPECT_EQ(items("select * from goods"), (std::vector<std::string>{"S:"}));
    EXPECT_FALSE(selectList("select id from goods").isUnion);
    EXPECT_TRUE(selectList("select id from goods union all select id from vendor").isUnion);
    EXPECT_FALSE(selectList("select id from (select id from goods union select id from vendor) d").isUnion);
    for (const char* bad : {"", "select", "select (", "update goods set a = 1", "select a,, from"})
        EXPECT_NO_THROW(selectList(bad)) << bad;
}

} // namespace
