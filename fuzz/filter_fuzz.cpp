// Fuzz target: arbitrary text through TUFilter::Compile over a fixed goods dataset (string,
// numeric, date, boolean and lookup fields, one of them local-only). The first byte picks the
// options, so both statement forms and the case-insensitive printing are reached.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../tests/filter/testfields.h"
#include "filter/ufilter.h"
#include "host/memdataset.h"
#include "util/cp1251.h"

using namespace lm;
using lmtest::addField;
using lmtest::makeLookup;

namespace {

struct Setup {
    TMemDataSet vendors;
    TMemDataSet goods;
    TUFilter filter;

    Setup()
    {
        addField<TIntegerField>(vendors, "ID", "ID", "");
        addField<TStringField>(vendors, "NAME", "NAME", "")->SetSize(20);
        vendors.CreateDataSet();
        vendors.AppendRecord({Variant(1), Variant("a")});
        vendors.AppendRecord({Variant(2), Variant("b'c")});

        addField<TStringField>(goods, "NAME", "N", "G.NAME")->SetSize(20);
        addField<TStringField>(goods, "NOTE", "T", "")->SetSize(20);
        addField<TFloatField>(goods, "PRICE", "P", "G.PRICE");
        addField<TIntegerField>(goods, "QTY", "Q", "G.QTY");
        addField<TDateField>(goods, "DOC_DATE", "D", "G.DOC_DATE");
        addField<TBooleanField>(goods, "ACTIVE", "A", "G.ACTIVE");
        addField<TIntegerField>(goods, "VENDOR_ID", "VI", "G.VENDOR_ID");
        makeLookup(addField<TStringField>(goods, "VENDOR", "V", "G.VENDOR_ID"), "VENDOR_ID", &vendors, "ID", "NAME");
        goods.CreateDataSet();
        filter.SetDataSet(&goods);
        filter.Prepare();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    if (size == 0)
        return 0;
    setup.filter.SetOptions(TUFilterOptions::FromBits(data[0] & 0x7));
    setup.filter.Compile(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    return 0;
}
