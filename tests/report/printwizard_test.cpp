// The print wizard: the rules of its four lists, the generated report (band order and
// positions, scripts and sums, the landscape switch, the group sort), the totals warning, and
// the settings file written exactly and read back.
#include <gtest/gtest.h>

#include <fstream>

#include "../util/messageof.h"
#include "app/hooks.h"
#include "printfixture.h"
#include "report/printwizard.h"
#include "util/strs_files.h"

using namespace lm;
using lmtest::PrintForm;

namespace {

class Wizard : public PrintForm {
protected:
    void SetUp() override
    {
        PrintForm::SetUp();
        menu = new TfrPrintMenu(&form);
        menu->SetName("frPrintMenu");
        menu->LinkComponents();
        menu->CreateFieldList();
        wizard = std::make_unique<TPrintWizard>(*menu);
        SetMessageBoxHook([this](const std::string& text, const std::string&, int) {
            messages.push_back(cp1251ToUtf8(text));
            return answer;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHook({});
        PrintForm::TearDown();
    }
    TObjField* field(const std::string& name) const
    {
        for (TObjField* e : wizard->AllFields())
            if (e->FieldName == name)
                return e;
        for (TObjField* e : wizard->Print())
            if (e->FieldName == name)
                return e;
        return nullptr;
    }
    std::vector<std::string> names(const TPrintWizard::TList& list) const
    {
        std::vector<std::string> out;
        for (const TObjField* e : list)
            out.push_back(e->FieldName);
        return out;
    }
    // Country and name printed and grouped (country outermost), price and quantity totalled.
    void twoGroupsTwoSums()
    {
        for (const char* f : {"NAME", "PRICE", "QTY", "COUNTRY"})
            wizard->AddPrint(field(f));
        wizard->AddGroup(field("COUNTRY"));
        wizard->AddGroup(field("NAME"));
        wizard->AddSumm(field("PRICE"));
        wizard->AddSumm(field("QTY"));
        for (const TObjField* e : wizard->Print())
            wizard->SetColumnWidth(e->Npp, 120);
    }
    const TfrView& object(const std::string& name) const
    {
        const TfrView* v = report->Pages.at(0)->FindObject(name);
        if (!v)
            throw std::runtime_error("no object " + name);
        return *v;
    }

    TfrPrintMenu* menu;
    std::unique_ptr<TPrintWizard> wizard;
    std::vector<std::string> messages;
    int answer = IDYES;
};

TEST_F(Wizard, FieldListOffersVisibleGridFieldsWithTheirDefaults)
{
    EXPECT_EQ(names(wizard->AllFields()), (std::vector<std::string>{"ID", "NAME", "COUNTRY", "PRICE", "QTY", "DOC_DATE"}));
    const TObjField& name = *field("NAME");
    EXPECT_EQ(cp1251ToUtf8(name.VarName), "Наименование товара");
    EXPECT_EQ(name.FieldWidth % 4, 0);
    EXPECT_EQ(name.Alignment, 8);
    EXPECT_EQ(field("PRICE")->Alignment, 9);
    EXPECT_TRUE(field("PRICE")->IsNumeric);
    EXPECT_EQ(field("DOC_DATE")->Alignment, 10);
    EXPECT_EQ(wizard->DataSetName(), "Goods");
    EXPECT_EQ(cp1251ToUtf8(TPrintWizard::StatusText(*field("PRICE"))).substr(0, 16), "FieldName PRICE ");
}

TEST_F(Wizard, ListsKeepGroupFieldsFirstAndRefuseDuplicates)
{
    twoGroupsTwoSums();
    EXPECT_EQ(names(wizard->Print()), (std::vector<std::string>{"COUNTRY", "NAME", "PRICE", "QTY"}));
    EXPECT_FALSE(wizard->AddGroup(field("COUNTRY")));
    EXPECT_EQ(messages, (std::vector<std::string>{"Такое поле уже есть"}));
    EXPECT_EQ(wizard->GroupFields().size(), 2u);
    wizard->MovePrint(3, 0);
    EXPECT_EQ(names(wizard->Print()), (std::vector<std::string>{"COUNTRY", "NAME", "QTY", "PRICE"}));

    // A printed field both grouped and totalled leaves the totals when removed from print.
    wizard->AddSumm(field("COUNTRY"));
    wizard->DelPrint(field("COUNTRY"));
    EXPECT_EQ(names(wizard->SummReport()), (std::vector<std::string>{"PRICE", "QTY"}));
    EXPECT_EQ(names(wizard->AllFields()), (std::vector<std::string>{"ID", "COUNTRY", "DOC_DATE"}));
    wizard->ClearPrint();
    EXPECT_EQ(names(wizard->AllFields()), (std::vector<std::string>{"ID", "NAME", "COUNTRY", "PRICE", "QTY", "DOC_DATE"}));

    wizard->SetSumOnlyGroup(true);
    EXPECT_TRUE(wizard->NoSumAfterOne());
    wizard->SetNoSumAfterOne(false);
    EXPECT_FALSE(wizard->SumOnlyGroup());
}

TEST_F(Wizard, GeneratedBandsStandBelowEachOtherWithMemosInTheirOwnBands)
{
    twoGroupsTwoSums();
    ASSERT_TRUE(wizard->CreateReport());
    const TfrPage& page = *report->Pages.at(0);
    std::vector<std::string> bands;
    int lastTop = -1;
    for (const auto& v : page.Objects)
        if (v->Typ == gtBand) {
            bands.push_back(v->Name);
            EXPECT_EQ(v->y % 4, 0) << v->Name;
            EXPECT_GT(v->y, lastTop) << v->Name;
            lastTop = v->y + v->dy;
        }
    EXPECT_EQ(bands, (std::vector<std::string>{"ReportTitle1", "PageHeader1", "GroupHeader0", "GroupHeader1",
                                               "ColumnHeader1", "MasterData1", "GroupFooter0", "GroupFooter1",
                                               "ReportSummary1", "PageFooter1"}));
    EXPECT_EQ(object("Memo1").y, object("MasterData1").y);
    EXPECT_EQ(object("MemoH1").y, object("ColumnHeader1").y);
    EXPECT_EQ(object("MemoSum1").y, object("GroupFooter0").y);
    EXPECT_EQ(object("MemoSum3").y, object("GroupFooter1").y);
    EXPECT_EQ(object("MemoSum5").y, object("ReportSummary1").y);
    EXPECT_EQ(object("MemoSum1").Memo.at(0), "[SUM([Goods.\"PRICE\"],MasterData1,1)]");
    EXPECT_EQ(object("MemoSum2").x, wizard->ToCalculatePoz(field("QTY")->Npp));
    const TfrView& date = object("MemoPageLabel1");
    const TfrView& pages = object("MemoPageLabel2");
    EXPECT_LE(date.x + date.dx, pages.x);
    EXPECT_EQ(object("MasterData1").FormatStr, "frmGoods.frRepDataSet");
    EXPECT_EQ(object("GroupHeader0").FormatStr, "str([" + std::string("Страна"_w) + "])");
    EXPECT_EQ(cp1251ToUtf8(report->Comment), "Необходима сортировка по полям:  Страна, Наименование товара ");
    const std::string S = " [SUM([Goods.\"PRICE\"], MasterData1, 1)]+[SUM([Goods.\"QTY\"], MasterData1, 1)] ";
    EXPECT_EQ(cp1251ToUtf8(object("GroupFooter1").Script.at(1)),
              "visible :=[TRUE] and ([COUNT(MasterData1)]>1){ПЕЧАТЬ если записи дольше одной} AND ([[SummaOnGroup]<>" +
                  S + "]{ПЕЧАТЬ если сумма по ФУТЕРУ не равна пред ФУТЕРУ}) ;");
    EXPECT_EQ(object("GroupHeader0").Script.size(), 3u);
    EXPECT_TRUE(object("GroupHeader1").Script.empty());
    EXPECT_EQ(page.Orientation, 0);
}

TEST_F(Wizard, WithoutTotalsTheSumIsZeroAndNoSummaryIsMade)
{
    wizard->AddPrint(field("COUNTRY"));
    wizard->AddGroup(field("COUNTRY"));
    wizard->SetSumOnlyGroup(true);
    ASSERT_TRUE(wizard->CreateReport());
    EXPECT_EQ(report->Pages.at(0)->FindObject("ReportSummary1"), nullptr);
    EXPECT_EQ(report->Pages.at(0)->FindObject("Memo1"), nullptr);
    EXPECT_EQ(object("MasterData1").dy, 0);
    EXPECT_NE(object("GroupFooter0").Script.at(1).find("<>0]"), std::string::npos);
}

TEST_F(Wizard, WideStripTurnsThePageToLandscape)
{
    for (const char* f : {"NAME", "COUNTRY", "PRICE"}) {
        wizard->AddPrint(field(f));
        wizard->SetColumnWidth(field(f)->Npp, 300);
    }
    ASSERT_TRUE(wizard->CreateReport());
    const TfrPage& page = *report->Pages.at(0);
    EXPECT_EQ(page.Orientation, 1);
    EXPECT_GT(page.Width, page.Height);
}

TEST_F(Wizard, DecliningOddTotalsLeavesTheReportUntouched)
{
    report->AddPage()->Add(frCreateObject(gtMemo));
    wizard->AddPrint(field("NAME"));
    wizard->AddSumm(field("NAME"));
    answer = IDNO;
    EXPECT_FALSE(wizard->CreateReport());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "В поле для суммирования занесены весьма неподходящие реквизиты.\r\nПродолжить??");
    EXPECT_EQ(report->Pages.at(0)->Objects.size(), 1u);
}

TEST_F(Wizard, GroupFieldsLeadTheSortAheadOfTheGridOrder)
{
    menu->SetUSort(sort);
    sort->SetDS(goods);
    TSortOrderList byPrice;
    byPrice.Add("PRICE", false);
    sort->SetOrder(byPrice);
    twoGroupsTwoSums();
    ASSERT_TRUE(wizard->CreateReport());
    EXPECT_EQ(sort->SortOrder().GetFieldStr(), "COUNTRY;NAME;PRICE;");
    EXPECT_EQ(sort->SortOrder().GetAscStr(), "110");

    const std::string base = dir() + "prices";
    std::filesystem::create_directories(folder);
    wizard->SaveReport(base + ".frf");
    EXPECT_EQ(FileToStr(base + ".srt"), "COUNTRY;NAME;PRICE;\r\n110\r\n");
    EXPECT_EQ(FileToStr(base + ".wzd.xml"), wizard->SaveFormToXML());
    TfrReport reread;
    reread.LoadFromFile(base + ".frf");
    EXPECT_TRUE(reread.SameAs(*report));
}

TEST_F(Wizard, SettingsFileIsWrittenLineByLineExactly)
{
    wizard->AddPrint(field("PRICE"));
    TObjField& price = *field("PRICE");
    price.PrintLabel = "Цена \"опт\" <руб>"_w;
    price.FieldWidth = 60;
    TFont bold = price.Font;
    bold.SetStyle(fsBold | fsItalic);
    wizard->SetColumnFont(price.Npp, bold);
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
        "<TfrmPrintWizardRoot Name=\"frmPrintWizardRoot\">\r\n"
        "<LeftPos Left=\"16\"/>\r\n"
        "  <TCheckBox Name=\"cbSumOnlyGroup\">\r\n"
        "    <Value \r\n"
        "    Checked=\"0\" \r\n"
        "    Caption=\"Считать только итоги по группам\" />\r\n"
        "  </TCheckBox>\r\n"
        "  <TCheckBox Name=\"cbRS\">\r\n"
        "    <Value \r\n"
        "    Checked=\"1\" \r\n"
        "    Caption=\"Подавлять итоги снизу\" />\r\n"
        "  </TCheckBox>\r\n"
        "  <TCheckBox Name=\"cbNoSumAfterOne\">\r\n"
        "    <Value \r\n"
        "    Checked=\"0\" \r\n"
        "    Caption=\"Ставить итог после одной записи\" />\r\n"
        "  </TCheckBox>\r\n"
        "  <TListBox Name=\"lbPrint\">\r\n"
        "    <TObjField\r\n"
        "      FieldName=\"PRICE\"\r\n"
        "      FieldWidth=\"60\"\r\n"
        "      IsNumeric=\"1\"\r\n"
        "      Alignment=\"9\"\r\n"
        "      PrintLabel=\"Цена &quot;опт&quot; &lt;руб&gt;\">\r\n"
        "      <TFont\r\n"
        "        Name=\"Arial\"\r\n"
        "        Size=\"8\"\r\n"
        "        Style=\"[fsBold,fsItalic]\" />\r\n"
        "    </TObjField>\r\n"
        "  </TListBox >\r\n"
        "  <TListBox Name=\"lbGroupFields\">\r\n"
        "  </TListBox >\r\n"
        "  <TListBox Name=\"lbSummReport\">\r\n"
        "  </TListBox >\r\n"
        "</TfrmPrintWizardRoot>\r\n";
    EXPECT_EQ(cp1251ToUtf8(wizard->SaveFormToXML()), expected);
}

TEST_F(Wizard, SettingsReloadRestoresTheListsAndRewritesTheSameBytes)
{
    twoGroupsTwoSums();
    field("NAME")->PrintLabel = "Товар & \"марка\" <шт>"_w;
    wizard->SetColumnAlignment(field("QTY")->Npp, 10);
    wizard->SetRS(false);
    wizard->LeftPos = 20;
    std::filesystem::create_directories(folder);
    const std::string file = dir() + "s.wzd.xml";
    StrtoFile(wizard->SaveFormToXML(), file);

    TPrintWizard again(*menu);
    again.LoadFormFromXML(file);
    EXPECT_EQ(names(again.Print()), names(wizard->Print()));
    EXPECT_EQ(names(again.GroupFields()), (std::vector<std::string>{"COUNTRY", "NAME"}));
    EXPECT_EQ(names(again.SummReport()), (std::vector<std::string>{"PRICE", "QTY"}));
    EXPECT_FALSE(again.RS());
    EXPECT_EQ(again.LeftPos, 20);
    EXPECT_EQ(again.FindObjNpp(field("NAME")->Npp)->PrintLabel, field("NAME")->PrintLabel);
    EXPECT_EQ(again.FindObjNpp(field("NAME")->Npp)->Font.Style(), 0);
    EXPECT_EQ(again.SaveFormToXML(), FileToStr(file));
}

TEST_F(Wizard, SettingsWithUnknownFieldsOrBadNumbers)
{
    std::filesystem::create_directories(folder);
    const std::string file = dir() + "bad.wzd.xml";
    const std::string head = "<?xml version=\"1.0\"?>\r\n<TfrmPrintWizardRoot Name=\"frmPrintWizardRoot\">\r\n";
    StrtoFile(head + "<TCheckBox Name=\"cbRS\"><Value Checked=\"x\"/></TCheckBox>\r\n"
                     "<TListBox Name=\"lbPrint\"><TObjField FieldName=\"GONE\" FieldWidth=\"8\" IsNumeric=\"0\" "
                     "Alignment=\"0\" PrintLabel=\"g\"/></TListBox>\r\n</TfrmPrintWizardRoot>\r\n",
              file);
    wizard->LoadFormFromXML(file);
    EXPECT_TRUE(wizard->Print().empty());
    EXPECT_FALSE(wizard->RS());
    StrtoFile(head + "<TListBox Name=\"lbPrint\"><TObjField FieldName=\"PRICE\" FieldWidth=\"wide\"/></TListBox>\r\n"
                     "</TfrmPrintWizardRoot>\r\n",
              file);
    EXPECT_THROW(wizard->LoadFormFromXML(file), EConvertError);
}

} // namespace
