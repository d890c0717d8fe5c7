// Conversion of version-2 reports: files our writer makes in versions 21, 23, 24 and 25 become
// the expected version-3 objects, positions, bands, scripts and names.
#include <gtest/gtest.h>

#include "../util/messageof.h"
#include "report/frdbdataset.h"
#include "report/frxreport.h"
#include "report/repconv2to3.h"
#include "samplereports.h"
#include "script/script.h"
#include "util/cp1251.h"

using namespace lm;
using lm::test::messageOf;

namespace {

class Convert : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ds = new TfrxDBDataset(&form);
        ds->SetName("frDBDataSet1");
        ds->SetUserName("Товары"_w);
        rep = new TfrxReport(&form);
        V = static_cast<uint8_t>(GetParam());
        rep->LoadFromStream(lmtest::sampleReport(V)->SaveToStream(V));
    }
    TfrxComponent& obj(const std::string& name)
    {
        TfrxComponent* c = rep->FindObject(name);
        if (!c)
            throw std::runtime_error("no object " + name);
        return *c;
    }
    std::string script() const
    {
        std::string s;
        for (const auto& line : rep->ScriptText)
            s += line + "\n";
        return s;
    }

    TComponent form;
    TfrxDBDataset* ds = nullptr;
    TfrxReport* rep = nullptr;
    uint8_t V = 0;
};

TEST_P(Convert, PageTakesPaperMarginsColumnsAndPrinter)
{
    auto* page = dynamic_cast<TfrxReportPage*>(rep->Pages().at(0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), "Page1");
    EXPECT_EQ(page->LeftMargin(), 10);
    EXPECT_EQ(page->PaperWidth(), 210);
    EXPECT_EQ(page->Prop("Columns"), "2");
    EXPECT_EQ(page->Prop("ColumnWidth"), "90");  // (210 - 10 - 10 + 10) / 2 - 10
    EXPECT_EQ(page->Prop("ColumnPositions.Text"), "0\r\n100");
    EXPECT_EQ(page->Prop("Bin"), V > 23 ? "-1" : "-1");
    EXPECT_EQ(rep->Prop("PrintOptions.Printer"), "HP LaserJet");
    EXPECT_TRUE(rep->PropBool("EngineOptions.DoublePass"));
}

TEST_P(Convert, BandsGetTheirClassesAndObjectsLandInThem)
{
    const char* expected[] = {"TfrxReportTitle", "TfrxReportSummary", "TfrxPageHeader", "TfrxPageFooter",
                              "TfrxHeader", "TfrxMasterData", "TfrxFooter", "TfrxHeader", "TfrxDetailData",
                              "TfrxFooter", "TfrxHeader", "TfrxSubdetailData", "TfrxFooter", "TfrxOverlay",
                              "TfrxColumnHeader", "TfrxColumnFooter", "TfrxGroupHeader", "TfrxGroupFooter",
                              "TfrxHeader", "TfrxMasterData", "TfrxFooter", "TfrxChild"};
    for (int t = 0; t < 22; ++t) {
        TfrxComponent& band = obj("Band" + std::to_string(t + 1));
        EXPECT_EQ(band.ClassName(), expected[t]) << t;
        EXPECT_EQ(band.PropBool("Vertical"), t >= 18 && t <= 20) << t;
        EXPECT_EQ(band.Top(), 40 + 24 * t - 38) << t;  // the top margin of 10 mm is 38 units
    }
    EXPECT_EQ(obj("Band6").Prop("DataSetName"), "frDBDataSet1");
    EXPECT_EQ(obj("Band9").Prop("RowCount"), "5");
    EXPECT_EQ(obj("Band17").Prop("Condition"), "[Товары.\"GROUP_ID\"]"_w);
    EXPECT_TRUE(obj("Band3").PropBool("PrintOnFirstPage"));
    EXPECT_EQ(obj("Band1").Prop("Child"), V > 23 ? "Band22" : "");

    TfrxComponent& memo = obj("Memo1");
    EXPECT_EQ(memo.Parent()->Name(), "Band6");
    EXPECT_EQ(memo.Top(), 2);
    EXPECT_EQ(memo.Left(), 2);  // 40 minus the left margin of 38 units
    EXPECT_EQ(obj("Memo2").Parent()->Name(), "Band1");
    // A memo stretching to the largest height in a stretched band keeps stretching.
    EXPECT_EQ(obj("Memo2").Prop("StretchMode"), "smMaxHeight");
    EXPECT_EQ(obj("Line1").Parent()->Name(), "Band2");
    EXPECT_EQ(obj("Line1").ClassName(), "TfrxCustomLineView");
    EXPECT_EQ(rep->FindObject("Object1"), nullptr);  // object types 5 … 9 make nothing
}

TEST_P(Convert, MemoFieldsFramesAndFormatsAreMapped)
{
    TfrxComponent& m = obj("Memo1");
    EXPECT_EQ(m.Prop("Text"), "[Товары.\"NAME\"]"_w);
    EXPECT_EQ(m.Prop("DataSet"), "Товары"_w);
    EXPECT_EQ(m.Prop("DataField"), "NAME");
    EXPECT_EQ(m.Prop("Font.Height"), "-16");
    EXPECT_EQ(m.Prop("Font.Style"), "1");  // bold
    EXPECT_EQ(m.Prop("HAlign"), "haCenter");
    EXPECT_EQ(m.Prop("VAlign"), "vaCenter");
    EXPECT_EQ(m.Prop("Frame.Typ"), "15");
    EXPECT_EQ(m.Prop("Frame.Width"), "2");
    EXPECT_EQ(m.Prop("DisplayFormat.Kind"), "fkNumeric");
    EXPECT_EQ(m.Prop("DisplayFormat.FormatStr"), "%2.2f");  // decimals turn the general form fixed
    EXPECT_EQ(m.Prop("Highlight.Condition"), "VALUE > 0");
    EXPECT_EQ(m.Prop("Font.Charset"), "1");
    EXPECT_TRUE(m.PropBool("WordWrap"));
    // Version 21 files always wrap words.
    EXPECT_EQ(obj("Memo2").PropBool("WordWrap"), V == 21);
    EXPECT_EQ(obj("Memo2").Prop("Text"), "[Report.ReportOptions.Name] [Date]\r\nline two");
    EXPECT_EQ(obj("FRAMEDMEMOVIEW1").ClassName(), "TfrxMemoView");
    EXPECT_EQ(obj("Picture1").Prop("Picture.Type"), "TBitmap");
    EXPECT_EQ(obj("Picture1").Prop("Picture.Data"), "424D000102");
    EXPECT_TRUE(obj("Picture1").PropBool("KeepAspectRatio"));
    EXPECT_EQ(obj("SubReport1").Prop("Page"), "Page1");
}

TEST_P(Convert, ScriptsBecomeProceduresOnlyWhereTheVersionStoresThem)
{
    const std::string s = script();
    if (V <= 23) {
        EXPECT_EQ(s, "begin\n\nend.\n");
        return;
    }
    // A script that starts with "begin" is not wrapped a second time.
    EXPECT_NE(s.find("procedure Memo1OnBeforePrint(Sender: TfrxComponent);\nbegin\n  with Memo1, Engine do\n"
                     "  begin\n  Memo1.Visible := True;\n  end\nend;\n\n"),
              std::string::npos);
    EXPECT_NE(s.find("procedure Memo2OnBeforePrint(Sender: TfrxComponent);\nbegin\n  with Memo2, Engine do\n"
                     "  begin\nMemo2.Visible := False;\n  end\nend;\n"),
              std::string::npos);
    EXPECT_NE(s.find("procedure DialogFormOnShow(Sender: TfrxComponent);"), std::string::npos);
    EXPECT_NE(s.find("procedure Button1OnClick(Sender: TfrxComponent);"), std::string::npos);
    EXPECT_EQ(obj("Memo1").Prop("OnBeforePrint"), "Memo1OnBeforePrint");
    EXPECT_EQ(obj("Button1").Prop("OnClick"), "Button1OnClick");
    EXPECT_EQ(rep->Pages().at(1)->Prop("OnShow"), "DialogFormOnShow");
    EXPECT_EQ(s.substr(s.size() - 12), "begin\n\nend.\n");
    // The converted script compiles in the script engine, once the host's objects are known.
    TScript engine;
    engine.SetCompatV2(true);
    engine.SetText(s);
    EXPECT_TRUE(engine.Compile()) << engine.ErrorMsg();
}

TEST_P(Convert, AddInsBecomeTheirVersion3Objects)
{
    EXPECT_EQ(obj("BarCodeView1").Prop("BarType"), "bcCodeEAN13");
    EXPECT_EQ(obj("BarCodeView1").Prop("Expression"), "[Товары.\"CODE\"]"_w);
    EXPECT_EQ(obj("ChartView1").Objects(0)->Prop("SeriesType"), "TBarSeries");
    EXPECT_EQ(obj("ChartView1").Objects(0)->Prop("DataSet"), "Товары"_w);
    EXPECT_EQ(obj("CheckBoxView1").ClassName(), "TfrxCheckBoxView");
    TfrxComponent& cross = obj("CrossView1");
    EXPECT_EQ(cross.ClassName(), "TfrxDBCrossView");
    EXPECT_EQ(cross.Prop("RowFields.Text"), "COUNTRY");
    EXPECT_EQ(cross.Prop("RowTotals.Text"), "True");
    EXPECT_EQ(cross.Prop("CellFunctions.Text"), "cfSum\r\ncfAvg\r\ncfNone");
    if (V >= 23) {
        // The cell template memo moved into the cross-tab (older files have no names to match).
        ASSERT_EQ(cross.Count(), 1);
        EXPECT_EQ(cross.Objects(0)->Name(), "CellMemo");
        EXPECT_EQ(cross.Objects(0)->Prop("StretchMode"), "smDontStretch");
    }
    EXPECT_EQ(obj("OLEView1").Prop("OLE.Data"), "4F4C4544415441");
    EXPECT_EQ(obj("RoundRectView1").Prop("Shape"), "skRoundRectangle");
    EXPECT_EQ(obj("ShapeView1").Prop("Shape"), "skEllipse");
    if (V <= 23)
        return;
    EXPECT_EQ(rep->Pages().at(1)->ClassName(), "TfrxDialogPage");
    EXPECT_EQ(obj("Label1").Prop("Caption"), "Date:");
    EXPECT_TRUE(obj("Button1").PropBool("Default"));
    EXPECT_TRUE(obj("Button2").PropBool("Cancel"));
    EXPECT_EQ(obj("Combo1").Prop("Style"), "csDropDownList");
    EXPECT_EQ(obj("Date1").Prop("Kind"), "dkTime");
    EXPECT_EQ(obj("Lookup1").ClassName(), "TfrxDBLookupComboBox");
    EXPECT_EQ(obj("Lookup1").Prop("KeyField"), "ID");
    EXPECT_EQ(obj("List1").Prop("Items.Text"), "a\r\nb");
}

TEST_P(Convert, VariablesAndReportInformation)
{
    ASSERT_EQ(rep->Variables.size(), 3u);
    // The first name had no leading blank: every name has it toggled.
    EXPECT_EQ(rep->Variables[0].Name, " Goods");
    EXPECT_EQ(rep->Variables[1].Value, "Товары.\"PRICE\""_w);
    EXPECT_EQ(rep->Variables[2].Value, "Edit1.Text");
    EXPECT_EQ(rep->Prop("ReportOptions.Name"), "Goods list");
    EXPECT_EQ(rep->Prop("ReportOptions.Author"), "Ivanov");
    EXPECT_FALSE(rep->HasProp("ReportOptions.VersionMinor"));  // empty strings are not assigned
    EXPECT_FALSE(rep->HasProp("ReportOptions.Password"));
}

INSTANTIATE_TEST_SUITE_P(Versions, Convert, ::testing::Values(21, 23, 24, 25));

TEST(ConvertStream, BadFilesReportTheFileErrorAndNewVersionsAreNotConverted)
{
    TfrxReport rep;
    std::string bad = TfrReport().SaveToStream(25);
    bad.back() = '\x0B';
    EXPECT_EQ(messageOf([&] { rep.LoadFromStream(bad); }), "Error in frf file");
    EXPECT_EQ(rep.Count(), 0);
    EXPECT_FALSE(IsFR2Stream(std::string(1, '\x1E')));
    EXPECT_TRUE(IsFR2Stream(std::string(1, '\x1D')));
    EXPECT_NE(messageOf([&] { rep.LoadFromStream(std::string(1, '\x1E')); }), "Error in frf file");
}

TEST(ConvertStream, AllZeroMarginsTakeThePrinterDefaults)
{
    TfrReport src;
    src.AddPage();
    TfrxReport rep;
    rep.LoadFromStream(src.SaveToStream(25));
    auto* page = dynamic_cast<TfrxReportPage*>(rep.Pages().at(0));
    EXPECT_EQ(page->LeftMargin(), frDefaultMargin);
    EXPECT_EQ(page->BottomMargin(), frDefaultMargin);
}

TEST(ConvertStream, DisplayFormatsOfEveryCategory)
{
    struct Case {
        int category, sub, decimals;
        std::string formatStr, kind, expected;
    } cases[] = {
        {1, 0, 0, "", "fkNumeric", "%2.0g"}, {1, 1, 0, "", "fkNumeric", "%g"},
        {1, 3, 2, "", "fkNumeric", "%2.2f"}, {1, 4, 0, "", "fkNumeric", "%g"},
        {1, 4, 2, "#,##0.00", "fkNumeric", "#,##0.00"}, {2, 1, 0, "", "fkDateTime", "dd.mm.yyyy"},
        {2, 4, 0, "yyyy", "fkDateTime", "yyyy"}, {3, 3, 0, "", "fkDateTime", "h:nn"},
        {4, 1, 0, "", "fkBoolean", "Нет,Да"_w}, {0, 0, 0, "", "fkText", ""},
    };
    for (const Case& c : cases) {
        TfrReport src;
        auto* m = lmtest::addMemo(*src.AddPage(), "M", 0, 0, {"x"});
        m->Format = (c.category << 24) | (c.sub << 16) | (c.decimals << 8) | '.';
        m->FormatStr = c.formatStr;
        TfrxReport rep;
        rep.LoadFromStream(src.SaveToStream(25));
        TfrxComponent* memo = rep.FindObject("M");
        EXPECT_EQ(memo->Prop("DisplayFormat.Kind"), c.kind);
        EXPECT_EQ(memo->Prop("DisplayFormat.FormatStr"), c.expected) << c.category << " " << c.sub;
    }
}

TEST(ConvertStream, NamesBecomeIdentifiersAndBracketsNestAroundQuotes)
{
    TfrReport src;
    auto* m = lmtest::addMemo(*src.AddPage(), "1 Итог-1"_w, 0, 0, {"[IIF([X] > 0, ']', \"[a]\")] [CURY] [open"});
    (void)m;
    TfrxReport rep;
    rep.LoadFromStream(src.SaveToStream(25));
    TfrxComponent* memo = rep.Pages()[0]->Objects(0);
    EXPECT_EQ(memo->Name(), "_______1");  // a later digit stays
    EXPECT_EQ(memo->Prop("Text"), "[IIF([X] > 0, ']', \"[a]\")] [Engine.CurY] [open");
}

} // namespace
