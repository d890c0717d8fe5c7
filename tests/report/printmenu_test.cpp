// Both print menus over a folder of reports: menu entries and their order, the variable list,
// linking failures, printing only the selected rows, the catalogue and the aliases, and
// designing an old report into a version-3 file that replaces it in the menu.
#include <gtest/gtest.h>

#include <fstream>

#include "../util/messageof.h"
#include "app/hooks.h"
#include "printfixture.h"
#include "report/frxprintmenu.h"
#include "report/menuitem.h"
#include "report/reporthooks.h"
#include "util/strs_files.h"

using namespace lm;
using lmtest::PrintForm;

namespace {

std::vector<std::string> captions(const TMenuItem& menu)
{
    std::vector<std::string> out;
    for (int i = 0; i < menu.Count(); ++i)
        out.push_back(cp1251ToUtf8(menu.Items(i)->Caption()));
    return out;
}

template <typename F>
std::string msg(F f)
{
    return cp1251ToUtf8(lm::test::messageOf(f));
}

using Vars = std::vector<std::pair<std::string, std::string>>;

Vars variables(const TfrReport& report)
{
    Vars out;
    for (int i = 0; i < report.Variables.Count(); ++i)
        out.emplace_back(cp1251ToUtf8(report.Variables.Items(i).Name), cp1251ToUtf8(report.Variables.Items(i).Value));
    return out;
}

class PrintMenu : public PrintForm {
protected:
    void SetUp() override
    {
        PrintForm::SetUp();
        menu = new TfrPrintMenu(&form);
        menu->SetName("frPrintMenu");
        menu->SetMenu(&printItems);
        menu->SetMenuDesign(&designItems);
    }
    void TearDown() override
    {
        SetReportShowHook({});
        SetFRXDesignHook({});
        TfrPrintMenu::SetWizardHook({});
        TfrPrintMenu::SetDuplicateWarningHook({});
        PrintForm::TearDown();
    }
    TMenuItem printItems, designItems;
    TfrPrintMenu* menu;
};

TEST_F(PrintMenu, EmptyFolderIsCreatedAndLeavesOnlyTheFixedDesignEntries)
{
    menu->Loaded();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(printItems.Count(), 0);
    EXPECT_EQ(captions(designItems), (std::vector<std::string>{"Новая печатная форма", "Мастер печатных форма", "-"}));
    EXPECT_EQ(designItems.Items(0)->Tag(), -1);
    EXPECT_EQ(designItems.Items(1)->Tag(), -2);
}

TEST_F(PrintMenu, FilesAreListedByNameIgnoringCaseAndRebuiltWithoutLeftovers)
{
    for (const char* name : {"b.frf", "A.frf", "a2.frf", "skip.txt"})
        addReport(name);
    NewMenuItem(&form, &printItems, "Печать"_w);
    menu->Loaded();
    EXPECT_EQ(captions(printItems), (std::vector<std::string>{"Печать", "-", "A", "a2", "b"}));
    EXPECT_EQ(printItems.Items(3)->Tag(), 1);
    EXPECT_EQ(captions(designItems).size(), 6u);
    // A rebuild replaces the generated entries and keeps the host's own.
    std::filesystem::remove(folder / "b.frf");
    menu->CreateReportList();
    EXPECT_EQ(captions(printItems), (std::vector<std::string>{"Печать", "-", "A", "a2"}));
}

TEST_F(PrintMenu, VariableListUsesLabelsWithExactValueTextsAndCleansTheDataSetList)
{
    TMemDataSet other;  // owned elsewhere: qualified by its owner's name
    goods->FieldByName("QTY")->SetVisible(false);
    menu->DataSetList().AddDataSet(goods, "Товары"_w, "", true);
    menu->DataSetList().AddDataSet(goods, "Дубль"_w, "", true);
    menu->DataSetList().AddDataSet(source->DataSet(), "  ", "", true);
    menu->DataSetList().AddDataSet(nullptr, "Пусто"_w, "", true);
    menu->LinkComponents();
    menu->CreateFieldList();
    ASSERT_EQ(menu->DataSetList().Count(), 1);
    EXPECT_EQ(menu->DataSetList().GetDataSet(0)->DisplayName(), "Goods");
    EXPECT_EQ(variables(*report), (Vars{{" Товары", ""},
                                        {"ID", "IF(FIELDISNULL(Goods.\"ID\"),Null, [Goods.\"ID\"])"},
                                        {"Наименование товара", "[Goods.\"NAME\"]"},
                                        {"Страна", "[Goods.\"COUNTRY\"]"},
                                        {"Цена", "IF(FIELDISNULL(Goods.\"PRICE\"),Null, [Goods.\"PRICE\"])"},
                                        {"Дата", "IF(FIELDISNULL(Goods.\"DOC_DATE\"),Null, [Goods.\"DOC_DATE\"])"}}));

    // All fields with VisibleFields off, a prefix, and a dataset of another form.
    TComponent otherForm;
    otherForm.SetName("frmOther");
    auto* vendors = new TMemDataSet(&otherForm);
    vendors->SetName("Vendors");
    vendors->FieldDefs().Add("NAME", ftString, 20);
    vendors->CreateDataSet();
    menu->DataSetList().GetDataSet(0)->VisibleFields = false;
    menu->DataSetList().AddDataSet(vendors, "Поставщики"_w, "Пост."_w, true);
    report->Variables.Clear();
    menu->CreateFieldList();
    const Vars vars = variables(*report);
    EXPECT_NE(std::find(vars.begin(), vars.end(),
                        std::pair<std::string, std::string>{"Количество", "IF(FIELDISNULL(Goods.\"QTY\"),Null, [Goods.\"QTY\"])"}),
              vars.end());
    EXPECT_EQ(vars.back(), (std::pair<std::string, std::string>{"Пост. NAME", "[frmOther.Vendors.\"NAME\"]"}));
}

TEST_F(PrintMenu, DuplicateVariableIsReportedAndTheLaterDefinitionWins)
{
    goods->FieldByName("COUNTRY")->SetDisplayLabel("Цена"_w);
    std::vector<std::string> warnings;
    TfrPrintMenu::SetDuplicateWarningHook([&](const std::string& text) { warnings.push_back(cp1251ToUtf8(text)); });
    menu->LinkComponents();
    menu->CreateFieldList();
    EXPECT_EQ(warnings, (std::vector<std::string>{"Список переменных для печати - дубль Goods.Цена"}));
    EXPECT_EQ(cp1251ToUtf8(report->Variables.Items(report->Variables.IndexOf("Цена"_w)).Value),
              "IF(FIELDISNULL(Goods.\"PRICE\"),Null, [Goods.\"PRICE\"])");
    // The master dataset was registered under the table-rows category.
    EXPECT_EQ(cp1251ToUtf8(menu->DataSetList().GetDataSet(0)->Section), " Строки таблицы");
}

TEST_F(PrintMenu, LinkingAndMissingFilesFailWithTheMessages)
{
    TComponent bare;
    auto* lonely = new TfrPrintMenu(&bare);
    lonely->SetName("pmLonely");
    EXPECT_EQ(msg([&] { lonely->LinkComponents(); }), "pmLonely: Не указано свойство Report");
    report->SetDataset(nullptr);
    EXPECT_EQ(msg([&] { menu->LinkComponents(); }), "frReport: Не указано свойство DataSet");
    report->SetDataset(frData);
    addReport("gone.frf");
    menu->Loaded();
    std::filesystem::remove(folder / "gone.frf");
    EXPECT_EQ(msg([&] { menu->PrintReport(0); }), "Не найден файл \"gone.frf\"");
}

TEST_F(PrintMenu, PrintingWalksExactlyTheSelectedRowsInBookmarkOrder)
{
    addReport("list.frf");
    menu->Loaded();
    std::vector<int> seen;
    std::string title;
    SetReportShowHook([&](TfrxReport& printable) {
        title = printable.Prop("ReportOptions.Name");
        seen = walk(*printable.DataSets().at(0));
    });
    select({4, 1, 3});
    printItems.Items(0)->Click();
    EXPECT_EQ(seen, (std::vector<int>{4, 1, 3}));
    EXPECT_EQ(title, "list");
    EXPECT_FALSE(goods->ControlsDisabled());
    grid->SelectedRows().Clear();
    printItems.Items(0)->Click();
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
    // The master dataset of the report walks the same way.
    select({2, 5});
    EXPECT_EQ(walk(*frData), (std::vector<int>{2, 5}));
}

TEST_F(PrintMenu, SortFileBesideTheReportIsAppliedBeforePrinting)
{
    addReport("sorted.frf");
    StrtoFile("NAME;\r\n0\r\n", dir() + "sorted.srt");
    menu->SetUSort(sort);
    sort->SetDS(goods);
    menu->Loaded();
    SetReportShowHook([](TfrxReport&) {});
    printItems.Items(0)->Click();
    EXPECT_EQ(sort->SortOrder().GetFieldStr(), "NAME;");
    EXPECT_EQ(sort->SortOrder().GetAscStr(), "0");
}

TEST_F(PrintMenu, WizardEntryRunsTheWizardOnAnEmptyReportAndRebuildsTheMenus)
{
    report->AddPage();
    menu->Loaded();
    bool ran = false;
    TfrPrintMenu::SetWizardHook([&](TfrPrintMenu* sender) {
        ran = sender == menu && report->Pages.empty() && report->FileName == "Untitled";
        addReport("made.frf");
    });
    designItems.Items(1)->Click();
    EXPECT_TRUE(ran);
    EXPECT_EQ(captions(printItems), (std::vector<std::string>{"made"}));
}

class FrxPrintMenu : public PrintForm {
protected:
    void SetUp() override
    {
        PrintForm::SetUp();
        frxData = new TfrxDBDataset(&form);
        frxData->SetName("frxGoods");
        frxData->SetUserName("Goods");
        frxData->SetDataSet(goods);
        xreport = new TfrxReport(&form);
        menu = new TfrxPrintMenu(&form);
        menu->SetName("frxPrintMenu");
        menu->SetMainDataSet(frxData);
        menu->SetGrid(grid);
        menu->SetMenu(&printItems);
        menu->SetMenuDesign(&designItems);
    }
    void TearDown() override
    {
        SetReportShowHook({});
        SetFRXDesignHook({});
        PrintForm::TearDown();
    }
    TMenuItem printItems, designItems;
    TfrxDBDataset* frxData;
    TfrxReport* xreport;
    TfrxPrintMenu* menu;
};

TEST_F(FrxPrintMenu, ReportInBothFormatsIsListedOnceAndOldOnesShowTheirExtension)
{
    addReport("Price.frf");
    addReport("old.frf");
    TfrxReport fresh;
    fresh.SaveToFile(dir() + "price.fr3");
    menu->Loaded();
    EXPECT_EQ(captions(printItems), (std::vector<std::string>{"old", "price"}));
    EXPECT_EQ(menu->FileList(), (std::vector<std::string>{"old.frf", "price.fr3"}));
    EXPECT_EQ(captions(designItems), (std::vector<std::string>{"Новая печатная форма", "-", "old.frf", "price"}));
}

TEST_F(FrxPrintMenu, OldReportPrintsThroughTheVersion2ComponentOrFailsWithoutOne)
{
    addReport("old.frf");
    menu->Loaded();
    delete report;
    EXPECT_EQ(msg([&] { menu->PrintReport(0); }),
              "TfrxPrintMenu: Не найден компонент типа TfrReport - \"старый\" отчет.");
    report = new TfrReport(&form);
    report->SetDataset(frData);
    std::vector<int> seen;
    SetReportShowHook([&](TfrxReport& printable) { seen = walk(*printable.DataSets().at(0)); });
    select({5, 2});
    menu->PrintReport(0);
    EXPECT_EQ(seen, (std::vector<int>{5, 2}));
    EXPECT_FALSE(goods->ControlsDisabled());
    std::filesystem::remove(folder / "old.frf");
    EXPECT_EQ(msg([&] { menu->PrintReport(0); }), "Не найден файл \"" + dir() + "old.frf\"");
}

TEST_F(FrxPrintMenu, DesigningAnOldReportSavesAFr3ThatReplacesItInTheMenu)
{
    addReport("old.frf");
    menu->Loaded();
    SetFRXDesignHook([](TfrxReport&, TDesignRun& run) { EXPECT_TRUE(run.OnSave(false)); });
    designItems.Items(2)->Click();
    EXPECT_TRUE(std::filesystem::exists(folder / "old.fr3"));
    EXPECT_EQ(menu->FileList(), (std::vector<std::string>{"old.fr3"}));
    EXPECT_EQ(captions(designItems).back(), "old");
    // The aliases went into the report and come back at print time.
    TfrxReport saved;
    saved.LoadFromFile(dir() + "old.fr3");
    const TfrxComponent* memo = saved.FindObject("Memo_DataSetsAliases");
    ASSERT_NE(memo, nullptr);
    EXPECT_NE(memo->Prop("Text").find("PRICE=" + std::string("Цена"_w)), std::string::npos);
}

TEST_F(FrxPrintMenu, EditedAliasesStoredInTheReportWinAtPrintTime)
{
    menu->LinkComponents();
    menu->PrepareDataSets(true);
    menu->SaveAliases();
    auto* memo = static_cast<TfrxMemoView*>(xreport->FindObject("Memo_DataSetsAliases"));
    ASSERT_NE(memo, nullptr);
    memo->SetText(" Goods\r\nPRICE=Стоимость\r\n"_w);
    menu->PrepareDataSets(false);
    menu->LoadAliases();
    EXPECT_EQ(frxData->FieldAliases(), (std::vector<std::string>{"PRICE=Стоимость"_w}));
}

TEST(FrxAliases, HiddenFieldRepeatingALabelIsAliasedByItsName)
{
    TMemDataSet data;
    data.FieldDefs().Add("A", ftString, 5);
    data.FieldDefs().Add("B", ftString, 5);
    data.FieldDefs().Add("C", ftString, 5);
    data.CreateDataSet();
    data.FieldByName("A")->SetVisible(false);
    data.FieldByName("A")->SetDisplayLabel("Имя"_w);
    data.FieldByName("B")->SetDisplayLabel("Имя"_w);
    data.FieldByName("C")->SetDisplayLabel("Код|товара"_w);
    TfrxDBDataset ds;
    ds.SetDataSet(&data);
    TfrxPrintMenu menu;
    menu.FillAliases(ds);
    EXPECT_EQ(ds.FieldAliases(), (std::vector<std::string>{"B=Имя"_w, "C=Код товара"_w, "A=A"}));
}

TEST(FrxCatVars, NamesAfterACategoryStayUnderIt)
{
    TfrxCatVars cat;
    cat.SetVariable("Общая"_w, "1");
    cat.SetVariable(" Цены"_w, "");
    cat.SetVariable("Опт"_w, "2");
    cat.SetVariable(" Склад"_w, "");
    cat.SetVariable("Остаток"_w, "3");
    cat.AddVariable("Цены"_w, "Розница"_w, "4");
    std::vector<std::string> names;
    for (const TfrxVariable& v : cat.Items())
        names.push_back(cp1251ToUtf8(v.Name));
    EXPECT_EQ(names, (std::vector<std::string>{"Общая", " Цены", "Опт", "Розница", " Склад", "Остаток"}));
    EXPECT_EQ(cat.GetVariable("розница"_w), "4");
}

TEST_F(FrxPrintMenu, VariableListFollowsTheCatalogueAndKeepsCategorisedReportVariables)
{
    menu->LinkComponents();
    xreport->Variables = {{"Потерянная"_w, "0"}, {" Свои"_w, ""}, {"Своя"_w, "1"}, {" Цены"_w, ""}, {"Опт"_w, "9"}};
    menu->CatVars().SetVariable(" Цены"_w, "");
    menu->CatVars().SetVariable("Опт"_w, "2");
    menu->UpdateVarList();
    std::vector<std::pair<std::string, std::string>> vars;
    for (const TfrxVariable& v : xreport->Variables)
        vars.emplace_back(cp1251ToUtf8(v.Name), v.Value);
    EXPECT_EQ(vars, (std::vector<std::pair<std::string, std::string>>{
                        {" Цены", ""}, {"Опт", "2"}, {" Свои", ""}, {"Своя", "1"}}));
}

} // namespace
