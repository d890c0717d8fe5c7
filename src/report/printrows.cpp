// The selected-rows walk of the report datasets.
#include "report/printrows.h"

#include <algorithm>

#include "host/dataset.h"
#include "host/gridmodel.h"
#include "report/frdbdataset.h"

namespace lm {

void SelectedRowsGetRecord(TDBGridEh* grid, TfrCustomDBDataSet* sender, int move)
{
    TDataSet* data = sender->DataSet();
    if (!data)
        return;
    const int count = grid ? grid->SelectedRows().Count() : 0;
    if (count > 0) {
        data->GotoBookmark(grid->SelectedRows().Items(std::min(sender->RecNo(), count - 1)));
        return;
    }
    // No selection: the walk the dataset would make by itself.
    if (move == 0)
        data->First();
    else if (move > 0)
        data->Next();
    else
        data->Prior();
}

void SelectedRowsCheckEOF(TDBGridEh* grid, TfrCustomDBDataSet* sender, bool& eof)
{
    const int count = grid ? grid->SelectedRows().Count() : 0;
    if (count > 0)
        eof = count <= sender->RecNo();
}

void WalkSelectedRows(TfrCustomDBDataSet& data, TDBGridEh* grid)
{
    data.OnFirst = [grid](TfrCustomDBDataSet* s) { SelectedRowsGetRecord(grid, s, 0); };
    data.OnNext = [grid](TfrCustomDBDataSet* s) { SelectedRowsGetRecord(grid, s, 1); };
    data.OnPrior = [grid](TfrCustomDBDataSet* s) { SelectedRowsGetRecord(grid, s, -1); };
    data.OnCheckEOF = [grid](TfrCustomDBDataSet* s, bool& eof) { SelectedRowsCheckEOF(grid, s, eof); };
}

} // namespace lm
