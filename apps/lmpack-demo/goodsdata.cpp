// The goods screen's data: query, columns, totals and the linked components.
#include "goodsdata.h"

#include <utility>

#include "color/coloritem.h"
#include "db/fibquery.h"
#include "democonnection.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

constexpr const char* kSelect =
    "select G.ID, G.NAME, G.BARCODE, V.NAME as VENDOR, C.NAME as COUNTRY, G.PRICE, G.QUANTITY, "
    "cast(G.PRICE * G.QUANTITY as numeric(18, 2)) as SUMMA, G.REG_DATE, G.EXPIRY_DATE, G.ACTIVE, "
    "G.RECIPE, G.NOTE, G.VENDOR_ID ";
// The totals row over the same rows: count, stock and sum (the SUMMA column's expression).
constexpr const char* kTotals =
    "select count(*), sum(G.QUANTITY), sum(cast(G.PRICE * G.QUANTITY as numeric(18, 2))) ";
// Each good has at most one vendor and one country (joined on their keys), so the joins change
// neither the count nor the sums; the totals need them only for conditions that name V or C.
constexpr const char* kJoins = " left join VENDOR V on V.ID = G.VENDOR_ID left join COUNTRY C on C.ID = G.COUNTRY_ID";

struct Label {
    const char* field;
    const char* label;  // Windows-1251
};
const Label kLabels[] = {
    {"ID", "Код"_w},           {"NAME", "Наименование"_w},   {"BARCODE", "Штрихкод"_w},
    {"VENDOR", "Поставщик"_w}, {"COUNTRY", "Страна"_w},       {"PRICE", "Цена"_w},
    {"QUANTITY", "Остаток"_w}, {"SUMMA", "Сумма"_w},          {"REG_DATE", "Дата регистрации"_w},
    {"EXPIRY_DATE", "Годен до"_w}, {"ACTIVE", "Активен"_w},   {"RECIPE", "Рецептурный"_w},
    {"NOTE", "Примечание"_w},  {"VENDOR_ID", "Unvisible_VENDOR_ID"},
};

// The grid's columns: field, title ("|" separates the levels), width in characters.
struct Column {
    const char* field;
    const char* title;  // Windows-1251
    int chars;
};
const Column kColumns[] = {
    {"NAME", "Товар|Наименование"_w, 48},
    {"BARCODE", "Товар|Штрихкод"_w, 14},
    {"VENDOR", "Производитель|Фирма"_w, 22},
    {"COUNTRY", "Производитель|Страна"_w, 12},
    {"PRICE", "Цена, руб."_w, 13},
    {"QUANTITY", "Склад|Остаток"_w, 11},
    {"SUMMA", "Склад|Сумма, руб."_w, 19},
    {"EXPIRY_DATE", "Годен до"_w, 10},
    {"ACTIVE", "Активен"_w, 8},
};

} // namespace

TGoodsData::TGoodsData(TDemoConnection& connection)
    : m_connection(connection)
{
    m_form.SetName("frmGoods");
    m_goods.SetName("Goods");
    m_goods.SetDatabase(&connection.Database());
    m_goods.SetTransaction(&connection.Read());
    m_goods.SetUpdateTransaction(&connection.Write());
    m_goods.SetSelectSQL(SelectSQL());
    // the screen shows the first rows at once; the rest are read as the user scrolls
    m_goods.SetFetchOnDemand(true);
    m_goods.AfterPost = m_goods.AfterDelete = [this](TDataSet*) { m_totalsSQL.clear(); };
    m_vendors.SetName("Vendors");
    m_vendors.SetDatabase(&connection.Database());
    m_vendors.SetTransaction(&connection.Read());
    m_vendors.SetSelectSQL("select ID, NAME from VENDOR order by NAME");
    m_source.SetDataSet(&m_goods);
    m_grid.SetDataSource(&m_source);
    m_grid.SetFooterRowCount(1);
    m_search.SetName("ContextFilter");
    m_search.SetCaption("Поиск товара"_w);
    m_search.SetRegKey(kGoodsRegKey);
    m_sort.SetRegKey(std::string(kGoodsRegKey) + "\\Sort");
    m_sort.SetOptions(usoApplyOnReadReg);
    m_filter.SetRegKey(std::string(kGoodsRegKey) + "\\Filter");
    m_filter.SetOptions(TUFilterOptions{ufoSQLEnabled, ufoSQLPrefer, ufoIgnoreCase});
    m_colors.SetRegPath(kGoodsRegKey);
}

TGoodsData::~TGoodsData()
{
    m_filter.OnApply = nullptr;
    m_search.SetDataSet(nullptr);
}

std::string TGoodsData::SelectSQL() const
{
    return kSelect + conditions(true);
}

std::string TGoodsData::conditions(bool joins) const
{
    std::string sql = std::string("from GOODS G") + (joins ? kJoins : "") + " where G.ID > 0";
    if (!m_vendorKeys.empty())
        sql += " and G.VENDOR_ID in (" + m_vendorKeys + ")";
    if (!m_filterSQL.empty())
        sql += " " + m_filterSQL;
    return sql;
}

void TGoodsData::SetVendorKeys(const std::string& keys)
{
    // only digits and separators reach the statement
    if (keys.find_first_not_of("0123456789, ") != std::string::npos)
        throw Exception("Неверный список поставщиков: "_w + keys);
    m_vendorKeys = keys;
}

void TGoodsData::Open()
{
    m_goods.Prepare();
    labelFields();
    buildColumns();
    m_sort.SetDS(&m_goods);
    m_search.SetDataSet(&m_goods);
    linkFilter();
    linkColors();
    m_goods.Open();
    m_sort.ReadFromReg();
    m_filter.ReadFilter();
    clearTotals();
}

void TGoodsData::clearTotals()
{
    // static and empty: a summing footer would make the grid fetch every good to paint it
    for (const char* field : {"NAME", "QUANTITY", "SUMMA"}) {
        TColumnFooterEh& footer = m_grid.FieldColumns(field)->Footer();
        footer.SetValueType(fvtStaticText);
        footer.SetValue("");
    }
    m_totalsSQL.clear();
}

void TGoodsData::Reopen()
{
    const int id = CurrentID();
    m_goods.DisableControls();
    try {
        const std::string sql = SelectSQL();
        if (sql != m_goods.SelectSQL())
            m_goods.SetSelectSQL(sql);
        m_goods.CloseOpen();
        labelFields();
        if (!m_goods.IsEmpty())
            m_sort.DoCurrentSort();
        if (id == 0 || !LocateID(id))
            m_goods.First();
    } catch (...) {
        m_goods.EnableControls();
        throw;
    }
    m_goods.EnableControls();
    UpdateTotals();
}

TGoodsTotals TGoodsData::QueryTotals()
{
    // the write transaction, while one is open, sees the edits it has not committed yet
    TFIBTransaction& tr = m_connection.Write().InTransaction() ? m_connection.Write() : m_connection.Read();
    TpFIBQuery q;
    q.SetTransaction(&tr);
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL(kTotals + conditions(!m_filterSQL.empty()));
    q.ExecQuery();
    TGoodsTotals totals;
    totals.Count = static_cast<int>(q.Fields(0).AsInteger());
    totals.Quantity = q.Fields(1).IsNullOrEmpty() ? 0 : q.Fields(1).AsFloat();
    totals.Summa = q.Fields(2).IsNullOrEmpty() ? 0 : q.Fields(2).AsFloat();
    return totals;
}

int TGoodsData::RowCount()
{
    UpdateTotals();
    return m_totalsSQL.empty() ? m_goods.RecordCount() : m_totals.Count;
}

void TGoodsData::UpdateTotals()
{
    TColumnFooterEh& count = m_grid.FieldColumns("NAME")->Footer();
    TColumnFooterEh& quantity = m_grid.FieldColumns("QUANTITY")->Footer();
    TColumnFooterEh& summa = m_grid.FieldColumns("SUMMA")->Footer();
    if (!m_goods.Active() || m_goods.Filtered()) {
        // a local filter or search hides rows the query would count: the grid sums what it shows
        m_totalsSQL.clear();
        count.SetValueType(fvtCount);
        quantity.SetValueType(fvtSum);
        summa.SetValueType(fvtSum);
        return;
    }
    const std::string sql = SelectSQL();
    if (sql != m_totalsSQL) {
        m_totals = QueryTotals();
        m_totalsSQL = sql;
    }
    count.SetValueType(fvtStaticText);
    count.SetValue(IntToStr(m_totals.Count));
    quantity.SetValueType(fvtStaticText);
    quantity.SetValue(FormatFloat(quantity.DisplayFormat(), m_totals.Quantity));
    summa.SetValueType(fvtStaticText);
    summa.SetValue(FormatFloat(summa.DisplayFormat(), m_totals.Summa));
}

int TGoodsData::CurrentID() const
{
    if (!m_goods.Active() || m_goods.IsEmpty())
        return 0;
    return m_goods.FieldByName("ID")->AsInteger();
}

bool TGoodsData::LocateID(int id)
{
    return m_goods.Active() && m_goods.Locate("ID", Variant(id));
}

void TGoodsData::labelFields()
{
    for (const Label& l : kLabels)
        if (TField* f = m_goods.FindField(l.field))
            f->SetDisplayLabel(l.label);
    if (TField* f = m_goods.FindField("VENDOR_ID"))
        f->SetVisible(false);
    for (const char* money : {"PRICE", "SUMMA"})
        if (auto* f = dynamic_cast<TNumericField*>(m_goods.FindField(money)))
            f->SetDisplayFormat(",0.00");
}

void TGoodsData::buildColumns()
{
    m_grid.Columns().Clear();
    for (const Column& c : kColumns) {
        TColumnEh* column = m_grid.Columns().Add();
        column->SetFieldName(c.field);
        column->Title().SetCaption(c.title);
        column->SetWidth(c.chars * 7 + 8);
    }
    TColumnEh* active = m_grid.FieldColumns("ACTIVE");
    // the flag's domain makes it a boolean field
    active->KeyList() = {"False", "True"};
    active->PickList() = {"Нет"_w, "Да"_w};
    active->SetAlignment(taCenter);

    TColumnFooterEh& count = m_grid.FieldColumns("NAME")->Footer();
    count.SetValueType(fvtCount);
    count.SetAlignment(taRightJustify);
    TColumnFooterEh& label = m_grid.FieldColumns("BARCODE")->Footer();
    label.SetValueType(fvtStaticText);
    label.SetValue("позиций"_w);
    for (const char* sum : {"QUANTITY", "SUMMA"}) {
        TColumnFooterEh& footer = m_grid.FieldColumns(sum)->Footer();
        footer.SetValueType(fvtSum);
        footer.SetAlignment(taRightJustify);
        footer.SetDisplayFormat(std::string(sum) == "SUMMA" ? ",0.00" : ",0");
    }
}

void TGoodsData::linkFilter()
{
    m_filter.SetDataSet(&m_goods);
    m_filter.Prepare();
    m_filter.OnApply = [this](TUFilter* sender, bool state) {
        const bool sql = state && sender->UseSQL();
        m_goods.SetFiltered(false);
        m_goods.SetFilter(state && !sql ? sender->FilterSQL() : std::string());
        m_filterSQL = sql ? sender->FilterSQL() : std::string();
        Reopen();
        m_goods.SetFiltered(state && !sql);
        UpdateTotals();
    };
}

void TGoodsData::linkColors()
{
    m_colors.SetDataSet(&m_goods);
    // Host rules: an expired good and an expensive one, answered here.
    m_colors.OnPopulateAllItems = [](TColorGrid* grid, TColorItemList& items) {
        items.Add(std::make_unique<TEventItem>(grid, "EXPIRED", "Срок годности истёк"_w));
        items.Add(std::make_unique<TEventItem>(grid, "EXPENSIVE", "Дорогой товар"_w));
    };
    m_colors.OnEventItem = [this](TColorGrid*, const std::string& id, bool& isTrue) {
        if (id == "EXPIRED") {
            TField* expiry = m_goods.FieldByName("EXPIRY_DATE");
            isTrue = !expiry->IsNull() && expiry->AsDateTime() < Date();
        } else if (id == "EXPENSIVE") {
            TField* price = m_goods.FieldByName("PRICE");
            isTrue = !price->IsNull() && price->AsFloat() >= m_expensivePrice;
        }
    };
    // The rules a new user starts with: out of stock, expired, inactive, expensive.
    m_colors.OnPopulateDefItems = [this](TColorGrid* grid, TColorItemList& items) {
        auto all = grid->CreateAllItemList();
        auto add = [&](std::unique_ptr<TColorItem> item, const std::string& op, const std::string& value,
                       TColor font, TColor back) {
            item->SetValues(op, value);
            item->SetFontColor(font);
            item->SetBackColor(back);
            items.Add(std::move(item));
        };
        if (TColorItem* expired = all->FindItem(citEvent, "EXPIRED"))
            add(expired->Clone(), "=", "", clMaroon, clError);
        if (TColorItem* stock = all->FindItem(citField, "QUANTITY"))
            add(stock->Clone(), "=", "0", clWindowText, clLightOrange);
        if (TColorItem* active = all->FindItem(citField, "ACTIVE"))
            add(active->Clone(), "=", "0", clGray, clWindow);
        if (TColorItem* expensive = all->FindItem(citEvent, "EXPENSIVE"))
            add(expensive->Clone(), "=", "", clNavy, clSkyBlueLight);
    };
    m_colors.Load();
}

} // namespace lm
