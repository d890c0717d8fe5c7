// Small in-memory datasets shared by the host tests: goods with a vendor lookup table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/datasource.h"
#include "host/memdataset.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm::test {

// Vendors: ID, NAME. Goods: ID, NAME, PRICE (float), QTY (integer), DOC_DATE (date),
// IS_ACTIVE (boolean), VENDOR_ID (integer, null for the last good).
struct GoodsData {
    TMemDataSet vendors;
    TMemDataSet goods;

    GoodsData()
    {
        vendors.SetName("Vendors");
        vendors.FieldDefs().Add("ID", ftInteger);
        vendors.FieldDefs().Add("NAME", ftString, 40);
        vendors.CreateDataSet();
        vendors.AppendRecord({1, "Фармстандарт"_w});
        vendors.AppendRecord({2, "Bayer"});

        goods.SetName("Goods");
        goods.FieldDefs().Add("ID", ftInteger, 0, true);
        goods.FieldDefs().Add("NAME", ftString, 60);
        goods.FieldDefs().Add("PRICE", ftFloat);
        goods.FieldDefs().Add("QTY", ftInteger);
        goods.FieldDefs().Add("DOC_DATE", ftDate);
        goods.FieldDefs().Add("IS_ACTIVE", ftBoolean);
        goods.FieldDefs().Add("VENDOR_ID", ftInteger);
        goods.CreateDataSet();
        add(1, "Аспирин"_w, 12.5, 10, EncodeDate(2026, 12, 1), true, 1);
        add(2, "аспирин кардио"_w, 150.0, 0, EncodeDate(2026, 11, 20), false, 2);
        add(3, "Анальгин"_w, 30.25, 5, EncodeDate(2026, 12, 5), true, 1);
        add(4, "Bepanthen", Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), 2);
        add(5, "Йод"_w, 1.5, 100, EncodeDate(2025, 1, 15), true, Variant::Null());
        goods.First();
    }

    void add(int id, const std::string& name, const Variant& price, const Variant& qty, const Variant& date,
             const Variant& active, const Variant& vendor)
    {
        Variant d = date.IsNull() ? date : Variant::FromDate(date.AsFloat());
        goods.AppendRecord({id, name, price, qty, d, active, vendor});
    }

    // The ID values of the visible records, in order (the current record is restored).
    std::vector<int> ids()
    {
        std::vector<int> out;
        goods.ScanRecords([&] { out.push_back(goods.FieldByName("ID")->AsInteger()); });
        return out;
    }
};

// The goods behind a data source, for tests of what links to a source.
struct GoodsSource : GoodsData {
    TDataSource source;

    GoodsSource() { source.SetDataSet(&goods); }
};

} // namespace lm::test
