// The local filter selects the same records as the server's WHERE over the demo data.
#include "demofixture.h"

#include <algorithm>

#include "db/fibdataset.h"
#include "util/cp1251.h"

namespace {

using namespace lm;
using lmtest::DemoDbTest;

struct Case {
    const char* local;
    const char* sql;  // nullptr: the same text
};

// Windows-1251 forms of the UTF-8 texts of the cases (conversion at the test's edge).
std::string w(const char* utf8) { return utf8ToCp1251(utf8); }

const Case kCases[] = {
    {"PRICE > 1000", nullptr},
    {"PRICE > 100,5", "PRICE > 100.5"},
    {"PRICE IS NULL", nullptr},
    {"NOT (PRICE IS NULL) AND QUANTITY < 10", nullptr},
    {"NOTE IS NOT NULL", nullptr},
    {"NOT (QUANTITY > 100)", nullptr},
    {"QUANTITY <> 5", nullptr},
    {"ACTIVE = 1", nullptr},
    {"ACTIVE = 0 OR PRICE < 100", nullptr},
    {"UPPER(NAME) LIKE '%АСПИРИН%'", nullptr},
    {"UPPER(NAME) LIKE '%ЗВЁЗДОЧКА%'", nullptr},
    {"NAME LIKE 'Но-шпа%'", nullptr},
    {"NAME LIKE '%таблетки%' AND PRICE < 500", nullptr},
    {"(VENDOR_ID = 3 OR VENDOR_ID = 5) AND QUANTITY >= 100", nullptr},
    {"VENDOR_ID = 3 OR NOT (NOTE IS NULL)", nullptr},
    {"NOT (VENDOR_ID = 3 OR NOTE IS NULL)", nullptr},
    {"EXPIRY_DATE < CURRENT_DATE + 30", nullptr},
    {"EXPIRY_DATE >= CURRENT_DATE - 365", nullptr},
    {"REG_DATE >= '01.06.2023'", nullptr},
    {"PRICE * 2 > QUANTITY * 10", nullptr},
    {"QUANTITY - 100 > 250", nullptr},
    {"NOTE = 'Отпуск по рецепту'", nullptr},
    {"NOT (NOTE = 'Отпуск по рецепту')", nullptr},
    {"NOTE LIKE '%''под заказ''%'", nullptr},
    {"BARCODE LIKE '460_1%'", nullptr},
    {"NAME < 'Б'", nullptr},
    {"NAME >= 'Эссенциале' OR NAME < 'Б'", nullptr},
    {"UPPER(NOTE) LIKE '%ХРАНИТЬ%' AND NOT (EXPIRY_DATE IS NULL)", nullptr},
};

class FilterParityTest : public DemoDbTest {};

TEST_F(FilterParityTest, LocalFilterSelectsTheRowsOfTheServersWhere)
{
    TpFIBDataSet ds;
    ds.SetTransaction(&read);
    ds.SetSelectSQL("select * from goods");
    ds.Open();
    for (const Case& c : kCases) {
        const std::string local = w(c.local);
        const std::string sql = w(c.sql ? c.sql : c.local);
        ds.SetFilter(local);
        ds.SetFiltered(true);
        std::vector<std::string> ids;
        for (ds.First(); !ds.Eof(); ds.Next())
            ids.push_back(ds.FBN("ID")->AsString());
        std::sort(ids.begin(), ids.end());
        std::vector<std::string> expected = column("select id from goods where " + sql);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ids, expected) << c.local;
        EXPECT_EQ(ds.RecordCount(), static_cast<int>(expected.size())) << c.local;
        // a case that selects nothing or everything would not tell the semantics apart
        EXPECT_GT(expected.size(), 0u) << c.local;
        EXPECT_LT(expected.size(), static_cast<std::size_t>(lmtest::kDemoRows)) << c.local;
        ds.SetFiltered(false);
    }
}

} // namespace
