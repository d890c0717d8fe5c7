// A goods dataset in memory for the colour rule tests: string, number, integer, date, boolean
// and lookup fields with Russian labels, and a TColorGrid over it with an in-memory store.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../filter/testfields.h"
#include "color/colorgrid.h"
#include "host/memdataset.h"
#include "host/registry.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lmtest {

struct ColorFixture {
    // installed first: the grid's registry object takes the default store when it is made
    std::unique_ptr<lm::TRegistryStore> previousStore =
        lm::SetDefaultRegistryStore(std::make_unique<lm::TMemoryRegistryStore>());
    lm::TMemDataSet vendors;
    lm::TMemDataSet goods;
    lm::TColorGrid grid;

    ColorFixture()
    {
        using namespace lm;
        addField<TIntegerField>(vendors, "ID", "ID", "");
        addField<TStringField>(vendors, "NAME", "NAME", "")->SetSize(40);
        vendors.CreateDataSet();
        vendors.AppendRecord({1, "Фармстандарт"_w});
        vendors.AppendRecord({2, "Bayer"});

        addField<TStringField>(goods, "NAME", "Наименование"_w, "")->SetSize(60);
        addField<TStringField>(goods, "COUNTRY", "Фирма производитель"_w, "")->SetSize(40);
        addField<TFloatField>(goods, "PRICE", "Цена"_w, "");
        addField<TIntegerField>(goods, "QTY", "Кол"_w, "");
        addField<TDateField>(goods, "REG_DATE", "Дата"_w, "");
        addField<TBooleanField>(goods, "ACTIVE", "Активен"_w, "");
        addField<TIntegerField>(goods, "VENDOR_ID", "Код поставщика"_w, "")->SetVisible(false);
        makeLookup(addField<TStringField>(goods, "VENDOR", "Поставщик"_w, ""), "VENDOR_ID", &vendors, "ID", "NAME");
        goods.CreateDataSet();
        add("Аспирин"_w, "Россия"_w, 12.5, 10, EncodeDate(2026, 12, 1), true, 1);
        add("Кардио"_w, "Германия"_w, 150.0, 0, EncodeDate(2026, 11, 20), false, 2);
        add("Бинт"_w, "Германия"_w, lm::Variant::Null(), lm::Variant::Null(), lm::Variant::Null(), true, lm::Variant::Null());
        goods.First();
        grid.SetDataSet(&goods);
        grid.SetRegPath("\\Software\\Test\\Goods");
    }
    ~ColorFixture() { lm::SetDefaultRegistryStore(std::move(previousStore)); }

    void add(const char* name, const char* country, lm::Variant price, lm::Variant qty, lm::Variant date, bool active,
             lm::Variant vendor)
    {
        if (date.VarType() == lm::TVarType::varDouble)
            date = lm::Variant::FromDate(date.AsFloat());
        goods.AppendRecord({lm::Variant(name), lm::Variant(country), price, qty, date, lm::Variant(active), vendor});
    }

    // A rule of the kind the dialog makes from a template, with its colours.
    lm::TColorItem* rule(int type, const std::string& id, const std::string& op, const std::string& value,
                         lm::TColor font, lm::TColor back)
    {
        auto templates = grid.CreateAllItemList();
        std::unique_ptr<lm::TColorItem> item;
        if (type == lm::citExpr)
            item = std::make_unique<lm::TExprItem>(&grid, lm::citExpr, "", "");
        else
            item = templates->FindItem(type, id)->Clone();
        item->SetValues(op, value);
        item->SetFontColor(font);
        item->SetBackColor(back);
        return grid.Items().Add(std::move(item));
    }

    // Font and background colour names of every record, "font/back" each.
    std::vector<std::string> colours()
    {
        std::vector<std::string> out;
        for (goods.First(); !goods.Eof(); goods.Next()) {
            lm::TColor font, back;
            grid.CalcColors(font, back);
            out.push_back(lm::GetColorName(lm::ColorIndex(font)) + "/" + lm::GetColorName(lm::ColorIndex(back)));
        }
        return out;
    }
};

} // namespace lmtest
