// The host form of the print commands.
#include "printhost.h"

#include "filter/usersort.h"
#include "host/datasource.h"
#include "host/field.h"
#include "host/gridmodel.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frprintmenu.h"
#include "report/frxprintmenu.h"
#include "report/frxreport.h"

namespace lmcli {

using namespace lm;

PrintHost::PrintHost(const DbQueryArgs& args, const std::string& forms)
{
    form.SetName("frmMain");
    m_db.SetDatabaseName(args.db);
    m_db.Open();
    m_tr.SetDefaultDatabase(&m_db);
    m_tr.SetKind(TFIBTransaction::tkReadOnly);
    data = new TpFIBDataSet(&form);
    data->SetName("quMain");
    data->SetDatabase(&m_db);
    data->SetTransaction(&m_tr);
    data->SetSelectSQL(args.query);
    data->Open();
    for (const auto& [name, label] : args.labels)
        data->FieldByName(name)->SetDisplayLabel(label);
    source = new TDataSource(&form);
    source->SetDataSet(data);
    grid = new TDBGridEh(&form);
    grid->SetName("grMain");
    grid->SetDataSource(source);
    sort = new TUserSort(&form);
    sort->SetDS(data);
    frData = new TfrDBDataSet(&form);
    frData->SetName("frRepDataSet");
    frData->SetDataSet(data);
    report2 = new TfrReport(&form);
    report2->SetName("frReport");
    report2->SetDataset(frData);
    frxData = new TfrxDBDataset(&form);
    frxData->SetName("frxRepDataSet");
    frxData->SetUserName(data->Name());
    frxData->SetDataSet(data);
    report = new TfrxReport(&form);
    report->SetName("frxReport");

    TfrPrintMenu::SetBaseFolder(forms);
    menu2 = new TfrPrintMenu(&form);
    menu2->SetName("frPrintMenu");
    menu2->SetUSort(sort);
    menu = new TfrxPrintMenu(&form);
    menu->SetName("frxPrintMenu");
    menu->SetUSort(sort);
    menu->SetGrid(grid);
    menu->SetMainDataSet(frxData);
    // The wizard's reports show the name of the previous document; a command has none.
    menu->OnBeforePrint = [](TfrxPrintMenu* sender, int, bool) { sender->CatVars().SetVariable("PredName", "''"); };
}

PrintHost::~PrintHost() = default;

} // namespace lmcli
