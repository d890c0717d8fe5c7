// The grouped price list report.
#include "grouped_report.h"

#include "host/graphics.h"
#include "util/cp1251.h"

namespace lmtest {

using namespace lm;

namespace {

TfrxComponent* band(TfrxComponent& page, const char* cls, const char* name, double top, double height)
{
    TfrxComponent* b = page.Add(frxCreateComponent(cls));
    b->SetName(name);
    b->SetBounds(0, top, 718, height);
    return b;
}

TfrxComponent* memo(TfrxComponent& band, const char* name, double left, double width, const std::string& text,
                    const char* align = "haLeft", bool bold = false)
{
    TfrxComponent* m = band.Add(frxCreateComponent("TfrxMemoView"));
    m->SetName(name);
    m->SetBounds(left, 0, width, band.Height());
    m->SetProp("Text", text);
    m->SetProp("Font.Name", "DejaVu Sans");
    m->SetPropInt("Font.Height", -12);
    m->SetPropInt("Font.Style", bold ? fsBold : 0);
    m->SetProp("HAlign", align);
    m->SetPropBool("WordWrap", false);
    return m;
}

void money(TfrxComponent* m)
{
    m->SetProp("DisplayFormat.Kind", "fkNumeric");
    m->SetProp("DisplayFormat.FormatStr", "%2.2n");
    m->SetProp("DisplayFormat.DecimalSeparator", ",");
}

} // namespace

std::unique_ptr<TfrxReport> groupedReport(TComponent* owner)
{
    auto rep = std::make_unique<TfrxReport>(owner);
    rep->SetName("Report1");
    rep->SetProp("ReportOptions.Name", "Прайс-лист"_w);
    TfrxComponent& page = *rep->Add(frxCreateComponent("TfrxReportPage"));
    page.SetName("Page1");
    TfrxComponent* title = band(page, "TfrxReportTitle", "ReportTitle1", 0, 34);
    memo(*title, "Title", 0, 718, "Прайс-лист по странам"_w, "haCenter", true)->SetPropInt("Font.Height", -18);
    TfrxComponent* header = band(page, "TfrxPageHeader", "PageHeader1", 40, 20);
    memo(*header, "HName", 20, 520, "Наименование"_w, "haLeft", true)->SetPropInt("Frame.Typ", 8);
    memo(*header, "HPrice", 560, 158, "Цена"_w, "haRight", true)->SetPropInt("Frame.Typ", 8);
    TfrxComponent* group = band(page, "TfrxGroupHeader", "GroupHeader1", 70, 24);
    group->SetProp("Condition", "<Товары.\"COUNTRY\">"_w);
    group->SetPropBool("KeepTogether", true);
    memo(*group, "GroupName", 0, 718, "Страна: [<Товары.\"COUNTRY\">]"_w, "haLeft", true);
    TfrxComponent* data = band(page, "TfrxMasterData", "MasterData1", 100, 18);
    data->SetProp("DataSet", "Товары"_w);
    memo(*data, "Name", 20, 520, "[<Товары.\"NAME\">]"_w);
    money(memo(*data, "Price", 560, 158, "[<Товары.\"PRICE\">]"_w, "haRight"));
    TfrxComponent* footer = band(page, "TfrxGroupFooter", "GroupFooter1", 130, 22);
    money(memo(*footer, "GroupSum", 300, 418, "Итого по группе: [SUM(<Товары.\"PRICE\">, MasterData1)]"_w,
               "haRight", true));
    TfrxComponent* summary = band(page, "TfrxReportSummary", "ReportSummary1", 160, 26);
    money(memo(*summary, "Total", 300, 418, "Всего: [SUM(<Товары.\"PRICE\">, MasterData1)]"_w, "haRight", true));
    TfrxComponent* pageFooter = band(page, "TfrxPageFooter", "PageFooter1", 200, 20);
    memo(*pageFooter, "PageNo", 518, 200, "[Page#] / [TotalPages#]", "haRight");
    rep->ScriptText = {"begin", "end."};
    return rep;
}

std::string groupedQuery(int rows)
{
    return "select c.NAME as COUNTRY, g.NAME, g.PRICE from GOODS g join COUNTRY c on c.ID = g.COUNTRY_ID "
           "where g.ID <= " +
           std::to_string(rows) + " order by c.NAME, g.ID";
}

} // namespace lmtest
