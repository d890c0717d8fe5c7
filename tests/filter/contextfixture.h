// Test fixture of the context search and user sort tests: the demo database with a goods query
// and a vendor lookup field, opened through the embedded engine.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "../db/demofixture.h"
#include "db/fibdataset.h"
#include "goodsquery.h"
#include "util/cp1251.h"

namespace lmtest {

using namespace lm::literals;

inline const char* const kGoodsQuery =
    "select G.ID, G.NAME, G.VENDOR_ID, G.PRICE, G.QUANTITY, G.REG_DATE, G.ACTIVE, G.RECIPE, G.NOTE "
    "from GOODS G where 1=1";

class GoodsDbTest : public DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        openGoodsWithVendor(goods, vendors, db, read, kGoodsQuery);
        goods.FieldByName("NAME")->SetDisplayLabel("Наименование"_w);
        goods.FieldByName("VENDOR_ID")->SetVisible(false);
    }

    // The IDs of the records `ds` shows now.
    static std::set<int> ids(lm::TDataSet& ds)
    {
        std::set<int> out;
        ds.ScanRecords([&] { out.insert(ds.FieldByName("ID")->AsInteger()); });
        return out;
    }

    // The IDs the server selects with `condition` appended to the goods query.
    std::set<int> serverIds(const std::string& condition)
    {
        lm::TpFIBDataSet q;
        q.SetDatabase(&db);
        q.SetTransaction(&read);
        q.SetSelectSQL(std::string(kGoodsQuery) + condition);
        q.Open();
        return ids(q);
    }

    lm::TpFIBDataSet vendors;
    lm::TpFIBDataSet goods;
};

} // namespace lmtest
