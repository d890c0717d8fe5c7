// A goods dataset with a vendor and a country lookup, and a TUFilter prepared over it, shared by
// the filter tests.
#pragma once

#include <memory>
#include <string>

#include "filter/ufilter.h"
#include "host/memdataset.h"
#include "util/cp1251.h"

namespace lmtest {

// Goods fields (display label / field name / origin):
//   Наименование NAME G.NAME (string)      Цена PRICE G.PRICE (float)
//   Дата DOC_DATE G.DOC_DATE (date)        Активен IS_ACTIVE G.IS_ACTIVE (boolean)
//   Кол QTY G.QTY (integer)                Сумма SUMMA G.SUMMA (float)
//   Код CODE G.CODE (integer)              Примечание NOTE (string, no origin: local only)
//   Код поставщика VENDOR_ID G.VENDOR_ID   Поставщик VENDOR: lookup VENDOR_ID -> vendors ID/NAME
//   Код страны COUNTRY_CODE G.COUNTRY_CODE (string)
//   Страна COUNTRY: lookup COUNTRY_CODE -> countries CODE/NAME, origin G.COUNTRY_CODE
class GoodsFixture {
public:
    GoodsFixture();
    lm::TMemDataSet vendors;
    lm::TMemDataSet countries;
    lm::TMemDataSet goods;
    lm::TUFilter filter;

    // Compiles UTF-8 `text` and returns FilterSQL as UTF-8, or "<fail>" when Compile fails.
    std::string compile(const std::string& text);
    void setOptions(lm::TUFilterOptions options) { filter.SetOptions(options); }
};

} // namespace lmtest
