// The filter language compiler: lexing, grammar and precedence, compatibility rules, failures.
#include <gtest/gtest.h>

#include "filterfixture.h"
#include "filter/fieldentry.h"
#include "host/field.h"
#include "testfields.h"

using namespace lm;
using lmtest::GoodsFixture;

namespace {

// The tree's structure: AND/OR groups and arithmetic in parentheses, NOT as "!".
std::string dump(const TNode* node)
{
    if (node->NodeType == ntBoolNode) {
        const auto* b = static_cast<const TBoolNode*>(node);
        std::string text = b->IsNot ? "!" : "";
        if (b->Znak == fzAnd || b->Znak == fzOr)
            return text + "(" + dump(b->Left.get()) + (b->Znak == fzAnd ? " AND " : " OR ") + dump(b->Right.get()) + ")";
        text += dump(b->Left.get());
        if (b->Right)
            text += std::string(ZnakText(b->Znak)) + dump(b->Right.get());
        return text;
    }
    const auto* c = static_cast<const TCalcNode*>(node);
    switch (c->NodeType) {
    case ntCalcNode: return "(" + dump(c->Left.get()) + std::string(CalcOpText(c->Op)) + dump(c->Right.get()) + ")";
    case ntEntry: return cp1251ToUtf8(c->Entry->EntryName);
    case ntNullConst: return "NULL";
    case ntDateConst: return c->DateText;
    case ntStrConst: return "'" + cp1251ToUtf8(c->ConstText) + "'";
    default: return c->ConstText;
    }
}

class Compiler : public ::testing::Test, public GoodsFixture {
protected:
    std::string tree(const std::string& text)
    {
        auto root = filter.Parse(utf8ToCp1251(text));
        return root ? dump(root.get()) : "<fail>";
    }
};

TEST_F(Compiler, AndBindsTighterThanOr)
{
    EXPECT_EQ(tree("[Сумма] > 100 И [Сумма] < 200 ИЛИ [Код] = 5"), "((Сумма>100 AND Сумма<200) OR Код=5)");
    EXPECT_EQ(tree("[Код]=1 ИЛИ [Кол]=2 И [Сумма]=3"), "(Код=1 OR (Кол=2 AND Сумма=3))");
    EXPECT_EQ(tree("[Код]=1 И [Кол]=2 И [Сумма]=3 ИЛИ [Цена]=4"), "((Код=1 AND (Кол=2 AND Сумма=3)) OR Цена=4)");
    EXPECT_EQ(tree("[Код]=1 И [Кол]=2 ИЛИ [Сумма]=3 И [Цена]=4"), "((Код=1 AND Кол=2) OR (Сумма=3 AND Цена=4))");
    EXPECT_EQ(tree("[Код]=1 И ([Кол]=2 ИЛИ [Сумма]=3)"), "(Код=1 AND (Кол=2 OR Сумма=3))");
}

TEST_F(Compiler, NotBindsToOneComparisonOrGroup)
{
    EXPECT_EQ(tree("НЕ [Код]=1 И [Кол]=2"), "(!Код=1 AND Кол=2)");
    EXPECT_EQ(tree("НЕ ([Код]=1 И [Кол]=2)"), "!(Код=1 AND Кол=2)");
    // Two NOTs on one comparison cancel rather than collapse into one.
    EXPECT_EQ(tree("НЕ (НЕ [Код]=1)"), "Код=1");
}

TEST_F(Compiler, MultiplicationBindsTighterThanAddition)
{
    EXPECT_EQ(tree("[Цена] * 2 + 1 > 5"), "((Цена*2)+1)>5");
    EXPECT_EQ(tree("[Цена] - [Сумма] + 1 > 0"), "((Цена-Сумма)+1)>0");
    EXPECT_EQ(tree("([Цена] + 1) * 2 > 5"), "((Цена+1)*2)>5");
    EXPECT_EQ(tree("5 < [Кол]"), "5<Кол");
}

TEST_F(Compiler, AcceptsWhatTheCompatibilityRulesAllow)
{
    for (const char* text : {
             "НЕ [Цена] = ПУСТО", "[Наименование] = ПУСТО", "5 < [Кол]", "[Цена] > [Сумма]",
             "[Активен]", "[Активен] И [Кол] > 1", "([Активен])", "[Кол] > 1 ИЛИ [Активен]",
             "НЕ [Активен]", "([Цена] + 1) * 2 > 5", "[Наименование] = 'x'", "[Дата] >= NOW",
             "[Цена] = -1,5", "[Активен] = 'да'", "[Активен] = 1", "[Дата] = '01.01.2020'",
             "[Цена] + [Сумма] * 2 <= [Кол]", "-1 < [Цена] - 1",
         })
        EXPECT_NE(tree(text), "<fail>") << text;
}

TEST_F(Compiler, RejectsWhatTheCompatibilityRulesForbid)
{
    for (const char* text : {
             "[Цена] <> ПУСТО",          // ПУСТО only after "="
             "'abc' = [Наименование]",   // a string constant on the left
             "ПУСТО = [Цена]", "NOW < [Дата]",
             "5 < [Наименование]",       // a non-numeric field on the right
             "[Наименование] = [Примечание]", "[Цена] = [Наименование]",
             "[Наименование] = [Цена]",  // a non-numeric field against anything but a constant
             "[Цена] = 'abc'",           // a numeric field against a string
             "[Цена] + 1 = 'abc'",
             "[Наименование]", "[Наименование] И [Кол] > 1", "([Наименование])",  // lone non-boolean field
             "[Наименование] + 1 > 2", "'a' * 2 + 1 > 0", "[Цена] + 'a' > 1",    // arithmetic needs numbers
             "[Дата] - 1 > NOW",
         })
        EXPECT_EQ(tree(text), "<fail>") << text;
}

TEST_F(Compiler, LexicalRules)
{
    // CR LF is a blank; tabs and lone line feeds are not.
    EXPECT_EQ(compile("[Цена] > 1\r\nИ [Кол] < 2"), "PRICE>1 AND QTY<2");
    EXPECT_EQ(compile("[Цена]\t> 1"), "<fail>");
    EXPECT_EQ(compile("[Цена] >\n1"), "<fail>");
    // Keywords in any case, matched by prefix without a word boundary.
    EXPECT_EQ(compile("[Цена] = пусто или [Кол] = 2 и не [Код] = 3"), "PRICE IS NULL OR QTY=2 AND  NOT CODE=3");
    EXPECT_EQ(compile("[Код]=1 ИЛИ[Кол]=2"), "CODE=1 OR QTY=2");
    // Entry names: case-insensitive, trailing blanks dropped, leading ones kept.
    EXPECT_EQ(compile("[цена  ] = 1"), "PRICE=1");
    EXPECT_EQ(compile("[ Цена] = 1"), "<fail>");
    // Both quote characters delimit strings; the other one is plain text inside.
    EXPECT_EQ(compile("[Наименование] = \"д'Артаньян\""), "NAME='д''Артаньян'");
    EXPECT_EQ(compile("[Наименование] = 'say \"hi\"'"), "NAME='say \"hi\"'");
}

TEST_F(Compiler, MalformedTextsFail)
{
    const std::string previous = compile("[Код] = 7");
    for (const char* text : {
             "[Нет такого] = 1", "[Цена = 1", "([Цена] = 1", "[Цена] = 1)", "[Наименование] = 'abc",
             "[Цена] = 1,2,3", "[Цена] = -", "[Дата] >= {NOW-7", "[Цена] = 1 #", "[Цена] =", "[Цена] == 1",
             "И [Цена] = 1", "[Цена] > 1 [Кол] > 2", "[Цена] > 1 ИЛИ", "(", ")", "НЕ", "$", "[Цена] > 1 НЕ [Кол] > 2",
             "[Цена] > (1", "[Цена] > ()", "[]",
         }) {
        EXPECT_FALSE(filter.Compile(utf8ToCp1251(text))) << text;
    }
    // A failed compile keeps the previous statement.
    EXPECT_EQ(cp1251ToUtf8(filter.FilterSQL()), previous);
    EXPECT_EQ(filter.FilterSource(), "[Код] = 7"_w);
}

TEST_F(Compiler, DeepNestingFailsInsteadOfOverflowingTheStack)
{
    EXPECT_FALSE(filter.Compile(std::string(100000, '(') + "[Код]=1"));
    std::string sum = "[Код]";
    for (int i = 0; i < 20000; ++i)
        sum += "+1";
    EXPECT_FALSE(filter.Compile(utf8ToCp1251(sum + ">0")));
    // Nesting that people actually write is fine.
    EXPECT_TRUE(filter.Compile(std::string(50, '(') + "[Код]=1"_w + std::string(50, ')')));
}

TEST_F(Compiler, LongFlatListsAreNoDeeperThanShortOnes)
{
    // A list of conditions is limited by nothing but its text: only nesting counts.
    std::string any = "[Код]=0";
    for (int i = 1; i < 1000; ++i)
        any += " ИЛИ [Код]=" + std::to_string(i);
    ASSERT_TRUE(filter.Compile(utf8ToCp1251(any)));
    EXPECT_TRUE(filter.FilterSQL().starts_with("CODE=0 OR CODE=1 OR CODE=2 OR "));
    EXPECT_TRUE(filter.FilterSQL().ends_with(" OR CODE=999"));
    std::string mixed = "[Код]=1";
    int ors = 0, ands = 0;
    for (int i = 0; i < 20000; ++i) {
        mixed += i % 3 ? " И [Кол]=2" : " ИЛИ [Код]=1";
        ++(i % 3 ? ands : ors);
    }
    ASSERT_TRUE(filter.Compile(utf8ToCp1251(mixed)));
    const auto count = [&](const std::string& word) {
        int n = 0;
        for (std::size_t at = 0; (at = filter.FilterSQL().find(word, at)) != std::string::npos; at += word.size())
            ++n;
        return n;
    };
    EXPECT_EQ(count(" OR "), ors);
    EXPECT_EQ(count(" AND "), ands);
    // Precedence inside a long list is the usual one.
    EXPECT_EQ(tree("[Код]=1 И [Кол]=2 И [Сумма]=3 И [Цена]=4 ИЛИ [Код]=5 И [Кол]=6"),
              "(((Код=1 AND Кол=2) AND (Сумма=3 AND Цена=4)) OR (Код=5 AND Кол=6))");
}

TEST_F(Compiler, NowForms)
{
    EXPECT_EQ(compile("[Дата] >= {NOW-7}"), "DOC_DATE>=CURRENT_DATE - 7");
    EXPECT_TRUE(filter.Options().Contains(ufoSQLPrefer));
    setOptions({});
    EXPECT_EQ(compile("[Дата] >= {NOW + 1 0}"), "DOC_DATE>=CURRENT_DATE + 10");
    EXPECT_TRUE(filter.Options().Contains(ufoSQLPrefer));
    EXPECT_EQ(compile("[Дата] >= {now}"), "DOC_DATE>=CURRENT_DATE");
    EXPECT_EQ(compile("[Дата] >= {NOW x}"), "DOC_DATE>=CURRENT_DATE");
    EXPECT_EQ(compile("[Дата] < now"), "DOC_DATE<CURRENT_DATE");
    setOptions({});
    EXPECT_EQ(compile("[Код] = 1"), "CODE=1");
    EXPECT_FALSE(filter.Options().Contains(ufoSQLPrefer));
}

TEST_F(Compiler, ChoosesBetweenSqlAndLocal)
{
    EXPECT_EQ(compile("[Код] = 1"), "CODE=1");
    EXPECT_FALSE(filter.UseSQL());
    setOptions({ufoSQLEnabled});
    EXPECT_EQ(compile("[Код] = 1"), "CODE=1");  // SQL possible but not preferred
    setOptions({ufoSQLEnabled, ufoSQLPrefer});
    EXPECT_EQ(compile("[Код] = 1"), "AND (G.CODE=1)");
    EXPECT_TRUE(filter.UseSQL());
    // A field without a SQL origin makes the statement local.
    EXPECT_EQ(compile("[Код] = 1 И [Примечание] = 'x'"), "CODE=1 AND NOTE='x'");
    EXPECT_FALSE(filter.UseSQL());
}

TEST_F(Compiler, ExtFieldEntryIsSqlOnly)
{
    filter.Entries()->AddEntry(std::make_unique<TExtFieldEntry>(goods.FieldByName("QTY"), "(SELECT 1 FROM RDB$DATABASE)"), true);
    EXPECT_EQ(compile("[Кол*] = 1"), "<fail>");  // SQL not enabled
    setOptions({ufoSQLEnabled});
    EXPECT_EQ(compile("[Кол*] = 1"), "AND ((SELECT 1 FROM RDB$DATABASE)=1)");  // SQL is the only kind left
    EXPECT_EQ(compile("[Кол*] = 1 И [Примечание] = 'x'"), "<fail>");          // no kind left
}

TEST_F(Compiler, BlankAndVerbatimTexts)
{
    compile("[Код] = 1");
    EXPECT_EQ(compile("   "), "");
    EXPECT_TRUE(filter.Changed());
    EXPECT_EQ(filter.FilterSource(), "   ");
    EXPECT_EQ(compile("$G.CODE IN (1, 2)  "), "AND (G.CODE IN (1, 2))");
    EXPECT_TRUE(filter.UseSQL());
    EXPECT_EQ(compile("$G.CODE IN (1, 2)"), "AND (G.CODE IN (1, 2))");
    EXPECT_FALSE(filter.Changed());
}

TEST_F(Compiler, VerbatimSqlMustStayOneCondition)
{
    // Each of these would reach outside the brackets it is printed in.
    for (const char* text : {
             "$ 1=0) UNION SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE (1=1",
             "$ 1=1) OR (1=1", "$ 1=1) --", "$ G.CODE = 1 -- rest", "$ G.CODE = 1 /* x */",
             "$ G.CODE = 1; DELETE FROM GOODS", "$ (G.CODE = 1", "$ G.NAME = 'x", "$ G.NAME = \"x",
             "$ G.CODE IN (SELECT 1 FROM A union SELECT 2 FROM B)", "$ G.CODE = 1 */",
         })
        EXPECT_EQ(compile(text), "<fail>") << text;
    // Quotes, brackets, markers and words inside literals and quoted names are content.
    EXPECT_EQ(compile("$ G.NAME = ')--;/*' AND (G.CODE IN (1, 2))"), "AND ( G.NAME = ')--;/*' AND (G.CODE IN (1, 2)))");
    EXPECT_EQ(compile("$ G.NAME = 'it''s union' OR \"UNION\" = 1"), "AND ( G.NAME = 'it''s union' OR \"UNION\" = 1)");
    EXPECT_EQ(compile("$ G.REUNION_ID = 1 AND G.UNIONS > 0"), "AND ( G.REUNION_ID = 1 AND G.UNIONS > 0)");
    EXPECT_EQ(compile("$ G.PRICE - 1 > 2 / 3 * 4"), "AND ( G.PRICE - 1 > 2 / 3 * 4)");
}

TEST(ExtFieldEntry, TakesTheTypeOfItsHiddenField)
{
    TMemDataSet ds;
    lmtest::addField<TIntegerField>(ds, "CODE", "Код"_w, "G.CODE");
    lmtest::addField<TIntegerField>(ds, "HIDDEN", "Скрытый"_w, "G.HIDDEN")->SetVisible(false);
    ds.CreateDataSet();
    TUFilter filter;
    filter.SetDataSet(&ds);
    filter.SetOptions({ufoSQLEnabled});
    filter.Prepare();
    filter.Entries()->AddEntry(std::make_unique<TExtFieldEntry>(ds.FieldByName("HIDDEN"), "G.HIDDEN"), true);
    const auto compile = [&](const std::string& text) {
        return filter.Compile(utf8ToCp1251(text)) ? cp1251ToUtf8(filter.FilterSQL()) : "<fail>";
    };
    EXPECT_EQ(compile("[Скрытый] + 1 > 2"), "AND (G.HIDDEN+1>2)");
    EXPECT_EQ(compile("[Скрытый] > [Код]"), "AND (G.HIDDEN>G.CODE)");
    EXPECT_EQ(compile("[Скрытый] = 'x'"), "<fail>");  // a number is not compared with a text
}

} // namespace
