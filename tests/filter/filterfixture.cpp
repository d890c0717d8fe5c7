// The goods dataset shared by the filter tests.
#include "filterfixture.h"

#include "testfields.h"

using namespace lm;

namespace lmtest {

GoodsFixture::GoodsFixture()
{
    addField<TIntegerField>(vendors, "ID", "ID", "");
    addField<TStringField>(vendors, "NAME", "NAME", "")->SetSize(40);
    vendors.CreateDataSet();
    vendors.AppendRecord({Variant(1), Variant("Фармстандарт"_w)});
    vendors.AppendRecord({Variant(2), Variant("O'Neil Pharma")});

    addField<TStringField>(countries, "CODE", "CODE", "")->SetSize(3);
    addField<TStringField>(countries, "NAME", "NAME", "")->SetSize(40);
    countries.CreateDataSet();
    countries.AppendRecord({Variant("RU"), Variant("Россия"_w)});
    countries.AppendRecord({Variant("D'A"), Variant("Дальняя"_w)});

    addField<TStringField>(goods, "NAME", "Наименование"_w, "G.NAME")->SetSize(60);
    addField<TFloatField>(goods, "PRICE", "Цена"_w, "G.PRICE");
    addField<TDateField>(goods, "DOC_DATE", "Дата"_w, "G.DOC_DATE");
    addField<TBooleanField>(goods, "IS_ACTIVE", "Активен"_w, "G.IS_ACTIVE");
    addField<TIntegerField>(goods, "QTY", "Кол"_w, "G.QTY");
    addField<TFloatField>(goods, "SUMMA", "Сумма"_w, "G.SUMMA");
    addField<TIntegerField>(goods, "CODE", "Код"_w, "G.CODE");
    addField<TStringField>(goods, "NOTE", "Примечание"_w, "")->SetSize(60);
    addField<TIntegerField>(goods, "VENDOR_ID", "Код поставщика"_w, "G.VENDOR_ID");
    auto* vendor = addField<TStringField>(goods, "VENDOR", "Поставщик"_w, "G.VENDOR_ID");
    vendor->SetSize(40);
    makeLookup(vendor, "VENDOR_ID", &vendors, "ID", "NAME");
    addField<TStringField>(goods, "COUNTRY_CODE", "Код страны"_w, "G.COUNTRY_CODE")->SetSize(3);
    auto* country = addField<TStringField>(goods, "COUNTRY", "Страна"_w, "G.COUNTRY_CODE");
    country->SetSize(40);
    makeLookup(country, "COUNTRY_CODE", &countries, "CODE", "NAME");
    goods.CreateDataSet();

    filter.SetDataSet(&goods);
    filter.Prepare();
}

std::string GoodsFixture::compile(const std::string& text)
{
    if (!filter.Compile(utf8ToCp1251(text)))
        return "<fail>";
    return cp1251ToUtf8(filter.FilterSQL());
}

} // namespace lmtest
