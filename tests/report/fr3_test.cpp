// The .fr3 format: saving and loading give an equal report; unknown content is kept; values with
// line breaks, tabs and references survive; what is not a report is refused.
#include <gtest/gtest.h>

#include "../util/messageof.h"
#include "report/frxreport.h"
#include "util/cp1251.h"
#include "xml/xmlnode.h"

using namespace lm;
using lm::test::messageOf;

namespace {

std::unique_ptr<TfrxReport> makeReport()
{
    auto rep = std::make_unique<TfrxReport>();
    rep->SetName("Report1");
    rep->SetProp("ReportOptions.Name", "Товары"_w);
    rep->ScriptText = {"procedure Memo1OnBeforePrint(Sender: TfrxComponent);", "begin", "\tx := '&#13;';", "end;", "",
                       "begin", "", "end."};
    rep->Variables = {{" Goods", ""}, {"Price", "<Goods.\"PRICE\">"}};
    auto* page = rep->Add(frxCreateComponent("TfrxReportPage"));
    page->SetName("Page1");
    page->SetPropFloat("LeftMargin", 12.5);
    auto* band = page->Add(frxCreateComponent("TfrxMasterData"));
    band->SetName("MasterData1");
    band->SetBounds(0, 18.897638, 718.1, 18);
    auto* memo = band->Add(frxCreateComponent("TfrxMemoView"));
    memo->SetName("Memo1");
    memo->SetProp("Text", "a & b \"q\" <x>\r\nsecond\tline &amp; &#10;");
    memo->SetProp("Font.Name", "Arial");
    auto* unknown = band->Add(frxCreateComponent("TfrxFancyView"));
    unknown->SetProp("Magic", "42");
    unknown->Add(frxCreateComponent("Inner"))->SetProp("x", "1");
    return rep;
}

TEST(Fr3Format, SavedReportLoadsEqualAndKeepsUnknownContent)
{
    auto rep = makeReport();
    const std::string text = rep->SaveToString();
    TfrxReport back;
    back.LoadFromStream(text);
    EXPECT_TRUE(back.SameAs(*rep));
    EXPECT_EQ(back.SaveToString(), text);
    auto* memo = back.FindObject("memo1");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Parent()->Name(), "MasterData1");
    EXPECT_EQ(memo->Prop("Text"), "a & b \"q\" <x>\r\nsecond\tline &amp; &#10;");
    EXPECT_EQ(dynamic_cast<TfrxMemoView*>(memo)->Text(), memo->Prop("Text"));
    EXPECT_EQ(back.ScriptText[2], "\tx := '&#13;';");
    EXPECT_EQ(back.Variables[1].Value, "<Goods.\"PRICE\">");
}

TEST(Fr3Format, LineBreaksAreEncodedSoOtherXmlReadersSeeThem)
{
    const std::string text = makeReport()->SaveToString();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"windows-1251\"", 0), 0u);
    EXPECT_NE(text.find("&lt;x&gt;&#13;&#10;second&#9;line &#38;amp; &#38;#10;"), std::string::npos);
    // The document is plain XML: every element and attribute is where the model put it.
    auto root = TXMLNode::Create(text);
    EXPECT_EQ(root->Name, "TfrxReport");
    EXPECT_EQ(root->NodebyName("TfrxReportPage/TfrxMasterData/TfrxMemoView")->GetAttr("Name"), "Memo1");
    EXPECT_EQ(root->NodebyName("TfrxReportPage/TfrxMasterData")->GetAttr("Top"), "18.897638");
}

TEST(Fr3Format, FileWithoutReportRootIsRefusedAndLeavesTheReportEmpty)
{
    TfrxReport rep;
    rep.LoadFromStream(makeReport()->SaveToString());
    EXPECT_EQ(messageOf([&] { rep.LoadFromStream("<Other/>"); }), "Error in fr3 file: the root element is not TfrxReport");
    EXPECT_EQ(rep.Count(), 0);
    EXPECT_TRUE(rep.ScriptText.empty());
    EXPECT_NE(messageOf([&] { rep.LoadFromStream("<TfrxReport><a></TfrxReport>"); }), "(no exception)");
}

TEST(Fr3Format, SaveToFileWritesAtomicallyAndLoadsBack)
{
    const std::string file = testing::TempDir() + "/fr3_save.fr3";
    auto rep = makeReport();
    rep->SaveToFile(file);
    TfrxReport back;
    back.LoadFromFile(file);
    EXPECT_TRUE(back.SameAs(*rep));
}

TEST(Fr3Format, TypedPropertiesReadTheirTexts)
{
    TfrxComponent c("X");
    c.SetPropFloat("Left", 1.0 / 3);
    EXPECT_EQ(c.Prop("Left"), "0.333333");
    c.SetPropFloat("Top", -0.0000001);
    EXPECT_EQ(c.Prop("Top"), "0");
    c.SetProp("Width", "abc");
    EXPECT_EQ(c.PropFloat("Width", 7), 7);
    EXPECT_TRUE(c.Visible());
    c.SetPropBool("Visible", false);
    EXPECT_EQ(c.Prop("Visible"), "False");
    EXPECT_FALSE(c.Visible());
}

} // namespace
