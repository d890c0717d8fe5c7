// TGoodsData: the goods screen without its window - the goods query with the conditions of the
// user filter and the vendor choice, the grid's columns, titles and totals, and the filter,
// context search, user sort and colour rules components linked to it as a host links them.
#pragma once

#include <string>

#include "color/colorgrid.h"
#include "db/fibdataset.h"
#include "filter/contextfilter.h"
#include "filter/ufilter.h"
#include "filter/usersort.h"
#include "host/datasource.h"
#include "host/gridmodel.h"
#include "util/component.h"

namespace lm {

class TDemoConnection;

// The totals row of the goods list.
struct TGoodsTotals {
    int Count = 0;
    double Quantity = 0;
    double Summa = 0;
};

class TGoodsData {
public:
    // Links everything to `connection` (open; it must outlive this object). Nothing is fetched
    // until Open.
    explicit TGoodsData(TDemoConnection& connection);
    ~TGoodsData();

    // Reads the stored filter, sort and colour rules and fetches the first goods; the totals
    // row stays empty until UpdateTotals.
    void Open();
    // Fetches again with the present conditions, keeping the current good and the user's sort.
    void Reopen();
    // The goods select as it runs now (user filter and vendor choice included).
    std::string SelectSQL() const;
    // The totals of the goods the select returns, by one aggregate query over its conditions.
    TGoodsTotals QueryTotals();
    // Fills the totals row: from QueryTotals (run again when the select or a record changed),
    // so that the goods need not all be fetched; summed by the grid over the rows it shows
    // while a local filter or search hides some.
    void UpdateTotals();
    // The goods the list shows, counted the same way.
    int RowCount();

    // The vendors the list is restricted to: a ","-separated list of VENDOR ids, "" for all.
    const std::string& VendorKeys() const { return m_vendorKeys; }
    void SetVendorKeys(const std::string& keys);
    // Whether the totals row is shown.
    void SetShowFooters(bool show) { m_grid.SetFooterRowCount(show ? 1 : 0); }
    // The price from which a good counts as expensive (the "Дорогой товар" colour rule).
    void SetExpensivePrice(int price) { m_expensivePrice = price; }
    int ExpensivePrice() const { return m_expensivePrice; }
    // The ID of the current good, 0 when there is none.
    int CurrentID() const;
    // Makes the good of that ID current; false when the list does not show it.
    bool LocateID(int id);

    TpFIBDataSet& Goods() { return m_goods; }
    TpFIBDataSet& Vendors() { return m_vendors; }
    TDataSource& Source() { return m_source; }
    TDBGridEh& Grid() { return m_grid; }
    TUFilter& Filter() { return m_filter; }
    TContextFilter& Search() { return m_search; }
    TUserSort& Sort() { return m_sort; }
    TColorGrid& Colors() { return m_colors; }
    TDemoConnection& Connection() { return m_connection; }

private:
    // The select's FROM and WHERE; without the vendor and country joins unless `joins`.
    std::string conditions(bool joins) const;
    void labelFields();
    void buildColumns();
    void clearTotals();
    void linkFilter();
    void linkColors();

    TDemoConnection& m_connection;
    TComponent m_form;  // the owner the components find each other through, as on a host form
    TpFIBDataSet m_goods;
    TpFIBDataSet m_vendors;
    TDataSource m_source;
    TDBGridEh m_grid;
    TUFilter m_filter;
    TContextFilter m_search;
    TUserSort m_sort;
    TColorGrid m_colors;
    std::string m_filterSQL;   // the user filter's "AND (...)" while it is applied as SQL
    std::string m_vendorKeys;
    TGoodsTotals m_totals;
    std::string m_totalsSQL;  // the select m_totals were read for, "" when they are not used
    int m_expensivePrice = 5000;
};

// The registry key of the goods screen's settings (filters, sort, colours, search fields).
inline constexpr const char* kGoodsRegKey = "\\Software\\Lumora\\LMPackDemo\\Goods";

} // namespace lm
