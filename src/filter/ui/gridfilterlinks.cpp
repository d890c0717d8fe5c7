// Grid links to the context search and the user sort.
#include "filter/ui/gridfilterlinks.h"

#include "filter/contextfilter.h"
#include "filter/contextsearchmodel.h"
#include "filter/ui/frmcfilter.h"
#include "filter/usersort.h"
#include "host/dataset.h"
#include "host/ui/qtdbgrid.h"
#include "host/ui/qtgridmodel.h"
#include "util/cp1251.h"

namespace lm {

void LinkGridSearch(TQtDBGrid& grid, TContextFilter& filter)
{
    grid.OnSearchKey = [&grid, &filter](const std::string& text) {
        TDataSet* ds = filter.DataSet();
        if (!ds || !ds->Active())
            return;
        const TColumnEh* column = grid.Model()->ColumnAt(grid.currentIndex().column());
        TContextSearchModel model(filter, column ? column->Field() : nullptr);
        TfrmCFilter::Execute(model, &grid, text);
    };
}

void LinkGridSort(TQtDBGrid& grid, TUserSort& sort)
{
    grid.SetSortMarks([&sort](const TColumnEh* column) {
        TSortOrderList order;
        sort.ParseSort(order);
        for (int i = 0; i < order.Count(); ++i)
            if (upperCase(order.Strings(i)) == upperCase(column->FieldName()))
                return order.GetAsc(i) ? smUp : smDown;
        return smNone;
    });
}

} // namespace lm
