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

} // namespace
