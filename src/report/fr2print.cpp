// The in-memory conversion of a version-2 report for printing.
#include "report/fr2print.h"

#include "host/dataset.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frxreport.h"
#include "report/printrows.h"
#include "report/repconv2to3.h"
#include "report/repfixup3.h"

namespace lm {

std::unique_ptr<TfrxReport> frConvertForPrint(const TfrReport& report, TComponent* home,
                                              const std::vector<TDataSet*>& dataSets, TDBGridEh* grid)
{
    auto out = std::make_unique<TfrxReport>(home);
    ConvertFR2Report(*out, report.SaveToStream());
    TfrxDBDataset* master = nullptr;
    for (TDataSet* data : dataSets) {
        if (!data)
            continue;
        auto* ds = new TfrxDBDataset(out.get());
        ds->SetName(data->Name());
        ds->SetUserName(data->Name());
        ds->SetDataSet(data);
        out->AddDataSet(ds);
        if (!master) {
            master = ds;
            WalkSelectedRows(*ds, grid);
        }
    }
    ConvertReport(*out, master);
    if (!report.Title.empty())
        out->SetProp("ReportOptions.Name", report.Title);
    return out;
}

} // namespace lm
