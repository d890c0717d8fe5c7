// The converted-report fix-up: name table, memo and plain conversion, brackets, arrays, implicit
// variables, margins and the script warning.
#include <gtest/gtest.h>

#include "host/memdataset.h"
#include "report/frdbdataset.h"
#include "report/frxreport.h"
#include "report/repfixup3.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

class Fixup : public ::testing::Test {
protected:
    void SetUp() override
    {
        goods = new TMemDataSet(&form);
        goods->SetName("Goods");
        goods->FieldDefs().Add("PRICE", ftFloat);
        goods->FieldDefs().Add("NAME", ftString, 40);
        goods->CreateDataSet();
        ds = new TfrxDBDataset(&form);
        ds->SetName("frxGoods");
        ds->SetDataSet(goods);
        ds->SetUserName("Товары"_w);
        ds->SetFieldAliases({"PRICE=Цена"_w});
        rep = new TfrxReport(&form);
        page = rep->Add(frxCreateComponent("TfrxReportPage"));
        page->SetName("Page1");
        band = page->Add(frxCreateComponent("TfrxMasterData"));
        band->SetName("MasterData1");
        SetReportWarningHook([this](const std::string& text) { warnings.push_back(text); });
    }
    void TearDown() override { SetReportWarningHook({}); }

    TfrxComponent* memo(const std::string& name, const std::string& text, TfrxComponent* parent = nullptr)
    {
        auto* m = (parent ? parent : band)->Add(frxCreateComponent("TfrxMemoView"));
        m->SetName(name);
        m->SetProp("Text", text);
        return m;
    }

    TComponent form;
    TMemDataSet* goods = nullptr;
    TfrxDBDataset* ds = nullptr;
    TfrxReport* rep = nullptr;
    TfrxComponent* page = nullptr;
    TfrxComponent* band = nullptr;
    std::vector<std::string> warnings;
};

TEST_F(Fixup, FieldReferencesTakeUserNamesAndAliasesInMemosAndScripts)
{
    auto* m = memo("Memo1", "[Goods.\"PRICE\"] and [Goods.\"NAME\"] of Goods.\"PRICE\"");
    rep->ScriptText = {"begin", "  if [Goods.\"PRICE\"] > 0 then Memo1.Visible := True;", "end."};
    ConvertReport(*rep, ds);
    EXPECT_EQ(m->Prop("Text"), "[<Товары.\"Цена\">] and [<Товары.\"NAME\">] of <Товары.\"Цена\">"_w);
    EXPECT_EQ(rep->ScriptText.at(1), "  if <Товары.\"Цена\"> > 0 then Memo1.Visible := True;"_w);
    EXPECT_EQ(band->Prop("DataSet"), "Товары"_w);
    EXPECT_TRUE(warnings.empty()) << cp1251ToUtf8(warnings.at(0));
}

TEST_F(Fixup, ReplacementsAreNeverWrappedTwice)
{
    ds->SetUserName("Goods");
    ds->SetFieldAliases({});
    auto* m = memo("Memo1", "[Goods.\"NAME\"] Goods.\"NAME\"");
    ConvertReport(*rep, ds);
    EXPECT_EQ(m->Prop("Text"), "[<Goods.\"NAME\">] <Goods.\"NAME\">");
    // Running the fix-up again changes nothing.
    ConvertReport(*rep, ds);
    EXPECT_EQ(m->Prop("Text"), "[<Goods.\"NAME\">] <Goods.\"NAME\">");
}

TEST_F(Fixup, VariablesPrefixedLabelsAndSystemNames)
{
    ds->SetDescription("Товар"_w);
    rep->Variables = {{" Строки"_w, ""}, {"Цена"_w, "IF(FIELDISNULL(Goods.\"PRICE\"),Null, [Goods.\"PRICE\"])"},
                      {"Итого"_w, "5"}};
    auto* m = memo("Memo1", "[Цена] [Итого] [Товар Цена] [Page#] / [TotalPages#] [IF(X > 0, 1, 2)] [MyIF(1)]"_w);
    ConvertReport(*rep, ds);
    EXPECT_EQ(m->Prop("Text"),
              "[<Товары.\"Цена\">] [<Итого>] [<Товары.\"Цена\">] [<Page#>] / [<TotalPages#>] [IIF(X > 0, 1, 2)] "
              "[MyIF(1)]"_w);
}

TEST_F(Fixup, FormatSuffixesAndGroupConditionsAndHighlights)
{
    rep->Variables = {{"Sum", "1"}};
    auto* m = memo("Memo1", "[Sum #N2.2] [Other #n3] [X #d]");
    m->SetProp("Highlight.Condition", "[Goods.\"PRICE\"] > 10");
    auto* group = page->Add(frxCreateComponent("TfrxGroupHeader"));
    group->SetProp("Condition", "str([Goods.\"NAME\"])");
    ConvertReport(*rep, ds);
    EXPECT_EQ(m->Prop("Text"), "[<Sum> #n%2.2f] [Other #n%3f] [X #d]");
    EXPECT_EQ(m->Prop("Highlight.Condition"), "<Товары.\"Цена\"> > 10"_w);
    EXPECT_EQ(group->Prop("Condition"), "str(<Товары.\"NAME\">)"_w);
}

TEST_F(Fixup, UnbalancedBracketsLeaveTheBracketPassOut)
{
    auto* m = memo("Memo1", "[Total #N2 and ]] more");
    ConvertReport(*rep, ds);
    EXPECT_EQ(m->Prop("Text"), "[Total #N2 and ]] more");
}

TEST_F(Fixup, ScriptArraysAndImplicitVariablesAreDeclared)
{
    rep->ScriptText = {"procedure Memo1OnBeforePrint(Sender: TfrxComponent);", "begin",
                       "  with Memo1, Engine do", "  begin", "  Sums[1] := 0; Count := [Goods.\"PRICE\"] + 1;",
                       "  Visible := Count > 0; // [not a bracket]", "  end", "end;", "", "begin", "", "end."};
    memo("Memo1", "x");
    ConvertReport(*rep, ds);
    const auto& s = rep->ScriptText;
    ASSERT_GE(s.size(), 14u);
    EXPECT_EQ(s[0], "var Count: Variant;");
    EXPECT_EQ(s[1], "var Sums: TfrxArray;");
    EXPECT_EQ(s[3], "procedure frxRepOnStartReport(Sender: TfrxComponent);");
    EXPECT_EQ(s[5], "     Sums:=TfrxArray.Create;");
    EXPECT_EQ(s[8], "procedure frxRepOnStopReport(Sender: TfrxComponent);");
    EXPECT_EQ(s[10], "     Sums.Free;");
    EXPECT_EQ(rep->Prop("OnStartReport"), "frxRepOnStartReport");
    EXPECT_NE(std::find(s.begin(), s.end(), "  Sums[1] := 0; Count := <Товары.\"Цена\"> + 1;"_w), s.end());
    EXPECT_TRUE(warnings.empty()) << cp1251ToUtf8(warnings.at(0));
}

TEST_F(Fixup, ScriptThatDoesNotCompileIsReportedAndKept)
{
    rep->ScriptText = {"begin", "  x := ;", "end."};
    ConvertReport(*rep, ds);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("Ошибка в скрипте отчета:\r\n"_w, 0), 0u);
    EXPECT_EQ(rep->ScriptText.at(1), "  x := ;");
}

TEST_F(Fixup, SmallMarginsRiseToFiveAndHeaderMemosStopStretching)
{
    page->SetPropFloat("LeftMargin", 3);
    page->SetPropFloat("TopMargin", 10);
    auto* title = page->Add(frxCreateComponent("TfrxReportTitle"));
    auto* m = memo("Memo1", "t", title);
    m->SetProp("StretchMode", "smMaxHeight");
    ConvertReport(*rep, ds);
    EXPECT_EQ(page->Prop("LeftMargin"), "5");
    EXPECT_EQ(page->Prop("TopMargin"), "10");
    EXPECT_EQ(page->Prop("RightMargin"), "");  // unset margins keep the page default of 10
    EXPECT_EQ(m->Prop("StretchMode"), "smDontStretch");
}

} // namespace
