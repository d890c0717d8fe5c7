// Test helpers over the demo database: a goods query with a vendor lookup field, and display
// labels given in UTF-8.
#pragma once

#include <string>
#include <utility>

#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "testfields.h"
#include "util/cp1251.h"

namespace lmtest {

// Opens `vendors` over the VENDOR table and `goods` over `sql`, which selects VENDOR_ID, with a
// "VENDOR" lookup field that shows the vendor's name; both read in `tr`.
inline void openGoodsWithVendor(lm::TpFIBDataSet& goods, lm::TpFIBDataSet& vendors, lm::TFIBDatabase& db,
                                lm::TFIBTransaction& tr, const std::string& sql)
{
    vendors.SetDatabase(&db);
    vendors.SetTransaction(&tr);
    vendors.SetSelectSQL("select ID, NAME from VENDOR");
    vendors.Open();
    goods.SetDatabase(&db);
    goods.SetTransaction(&tr);
    goods.SetSelectSQL(sql);
    goods.Prepare();
    makeLookup(addField<lm::TStringField>(goods, "VENDOR", lm::utf8ToCp1251("Поставщик"), ""), "VENDOR_ID", &vendors,
               "ID", "NAME");
    goods.Open();
}

// Gives the fields of `ds` the display labels of `labels` (field name, UTF-8 label).
template <std::size_t N>
void setLabels(lm::TDataSet& ds, const std::pair<const char*, const char*> (&labels)[N])
{
    for (const auto& [name, label] : labels)
        ds.FieldByName(name)->SetDisplayLabel(lm::utf8ToCp1251(label));
}

} // namespace lmtest
