// The goods screen's print menus and reports.
#include "goodsprinting.h"

#include "goodsdata.h"
#include "goodsreport.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frprintmenu.h"
#include "report/frxprintmenu.h"
#include "report/frxreport.h"
#include "report/menuitem.h"
#include "util/cp1251.h"

namespace lm {

TGoodsPrinting::TGoodsPrinting(TGoodsData& data, const std::string& baseFolder)
{
    m_form.SetName("frmGoods");
    TfrPrintMenu::SetBaseFolder(baseFolder);
    m_printRoot = new TMenuItem(&m_form);
    m_printRoot->SetName("mnPrint");
    m_designRoot = new TMenuItem(&m_form);
    m_designRoot->SetName("mnDesign");

    m_frData = new TfrDBDataSet(&m_form);
    m_frData->SetName("frGoods");
    m_frData->SetDataSet(&data.Goods());
    m_report2 = new TfrReport(&m_form);
    m_report2->SetName("frReport");
    m_report2->SetDataset(m_frData);
    m_frxData = new TfrxDBDataset(&m_form);
    m_frxData->SetName("frxGoods");
    m_frxData->SetUserName("Товары"_w);
    m_frxData->SetDataSet(&data.Goods());
    m_report = new TfrxReport(&m_form);
    m_report->SetName("frxReport");

    // the wizard's menu: its reports are designed, the version-3 menu prints them
    m_menu2 = new TfrPrintMenu(&m_form);
    m_menu2->SetName("frPrintMenu");
    m_menu2->SetReport(m_report2);
    m_menu2->SetDirectory("Goods");
    m_menu2->SetUSort(&data.Sort());
    m_menu2->SetGrid(&data.Grid());
    m_menu2->SetMenuDesign(m_designRoot);
    m_menu = new TfrxPrintMenu(&m_form);
    m_menu->SetName("frxPrintMenu");
    m_menu->SetDirectory("Goods");
    m_menu->SetUSort(&data.Sort());
    m_menu->SetGrid(&data.Grid());
    m_menu->SetMainDataSet(m_frxData);
    m_menu->SetReport2(m_report2);
    m_menu->SetMenu(m_printRoot);
    // the wizard's reports show the previous document's name; the goods list has none
    m_menu->OnBeforePrint = [](TfrxPrintMenu* sender, int, bool) { sender->CatVars().SetVariable("PredName", "''"); };
    EnsureGoodsReport(Folder());
    m_menu2->Loaded();
    m_menu->Loaded();
}

TGoodsPrinting::~TGoodsPrinting() = default;

std::string TGoodsPrinting::Folder() const
{
    return m_menu->FullDir();
}

void TGoodsPrinting::Refresh()
{
    m_menu2->CreateReportList();
    m_menu->CreateReportList();
}

} // namespace lm
