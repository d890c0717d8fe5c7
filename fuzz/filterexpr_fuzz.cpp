// Fuzz target: arbitrary text compiled as a dataset's local filter over a small dataset with
// text, number, date, boolean, calculated and lookup fields, then evaluated on every record.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../tests/filter/testfields.h"
#include "host/filterexpr.h"
#include "host/memdataset.h"
#include "util/sysutils.h"

using namespace lm;

namespace {

struct Setup {
    TMemDataSet vendors;
    TMemDataSet goods;

    Setup()
    {
        vendors.FieldDefs().Add("ID", ftInteger);
        vendors.FieldDefs().Add("NAME", ftString, 20);
        vendors.Open();
        vendors.AppendRecord({1, "a"});
        vendors.AppendRecord({2, "b'c"});

        goods.FieldDefs().Add("ID", ftInteger);
        goods.FieldDefs().Add("NAME", ftString, 40);
        goods.FieldDefs().Add("PRICE", ftFloat);
        goods.FieldDefs().Add("SUM", ftBCD, 2);
        goods.FieldDefs().Add("D", ftDate);
        goods.FieldDefs().Add("ACTIVE", ftBoolean);
        goods.FieldDefs().Add("VENDOR_ID", ftInteger);
        lmtest::makeLookup(lmtest::addField<TStringField>(goods, "VENDOR", "", ""), "VENDOR_ID", &vendors, "ID", "NAME");
        goods.Open();
        goods.AppendRecord({1, "Aspirin 100", 1.5, 2.25, Variant::FromDate(EncodeDate(2026, 1, 2)), true, 1});
        goods.AppendRecord({2, "", 0.0, Variant::Null(), Variant::Null(), false, 3});
        goods.AppendRecord({Variant::Null(), Variant::Null(), -7.0, 0, Variant::FromDate(0), Variant::Null(), Variant::Null()});
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        setup.goods.SetFiltered(false);
        setup.goods.SetFilter(text);
        setup.goods.SetFiltered(true);
        for (setup.goods.First(); !setup.goods.Eof(); setup.goods.Next())
            setup.goods.FieldByName("NAME")->DisplayText();
    } catch (const EFilterError&) {
    }
    return 0;
}
