// The colour rules dialog's logic.
#include "color/colordlgmodel.h"

#include <algorithm>

#include "app/hooks.h"
#include "color/colorgrid.h"
#include "util/cp1251.h"
#include "util/fastlist.h"

namespace lm {

namespace {

std::string stripTrailing(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

} // namespace

TColorDlgModel::TColorDlgModel(TColorGrid& grid, TColorItemList& items, TColorItemList& templates)
    : m_grid(grid), m_items(items)
{
    for (int i = 0; i < templates.Count(); ++i) {
        TColorItem* templ = templates.GetItem(i);
        const TTab tab = templ->Type() == citField ? tbFields : templ->Type() == citHost ? tbProps : tbAdditional;
        const std::string caption = templ->GetCaption();
        std::vector<TTemplate>& list = m_templates[tab];
        if (std::none_of(list.begin(), list.end(), [&](const TTemplate& t) { return t.Caption == caption; }))
            list.push_back({caption, templ});
        m_fieldList.push_back(ReferenceText(*templ));
    }
    for (std::vector<TTemplate>& list : m_templates)
        std::stable_sort(list.begin(), list.end(), [](const TTemplate& a, const TTemplate& b) { return a.Caption < b.Caption; });
}

std::string TColorDlgModel::TabCaption(TTab tab)
{
    switch (tab) {
    case tbFields: return "Поля"_w;
    case tbProps: return "Свойства"_w;
    default: return "Дополнительно"_w;
    }
}

std::string TColorDlgModel::TypePrefix(int type)
{
    switch (type) {
    case citField: return "Поле"_w;
    case citHost: return "Св-во"_w;
    case citEvent: return "Доп"_w;
    default: return "Форм"_w;
    }
}

std::string TColorDlgModel::ReferenceText(TColorItem& templ)
{
    return templ.Type() == citField ? templ.GetCaption() : TypePrefix(templ.Type()) + "." + templ.GetCaption();
}

int TColorDlgModel::RowCount() const { return m_items.Count(); }

TColorItem* TColorDlgModel::Rule(int row) const { return m_items.GetItem(row); }

bool TColorDlgModel::IsFormula(int row) const
{
    return row >= 0 && row < RowCount() && Rule(row)->Type() == citExpr;
}

TColorDlgModel::TRow TColorDlgModel::RowOf(int row) const
{
    TColorItem* rule = Rule(row);
    TRow out;
    out.TypeName = TypePrefix(rule->Type());
    out.Caption = rule->GetCaption();
    out.Op = rule->Operator();
    out.Value = rule->GetAsString();
    out.FontColor = TColorGrid::ColorIndex(rule->FontColor());
    out.BackColor = TColorGrid::ColorIndex(rule->BackColor());
    return out;
}

TColorDlgModel::TRow TColorDlgModel::Post(int row, const TRow& values)
{
    TColorItem* rule = Rule(row);
    const std::string value = stripTrailing(values.Value);
    if (rule->Type() == citExpr)
        m_grid.CheckExpr(value);
    const int count = TColorGrid::GetColorCount();
    rule->SetFontColor(values.FontColor >= 0 && values.FontColor < count ? TColorGrid::GetColor(values.FontColor) : clWindowText);
    rule->SetBackColor(values.BackColor >= 0 && values.BackColor < count ? TColorGrid::GetColor(values.BackColor) : clWindow);
    rule->SetValues(values.Op, value);
    return RowOf(row);
}

std::vector<std::string> TColorDlgModel::PickListOf(TColorItem& rule)
{
    TFastList list;
    rule.FillPickList(list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i));
    return out;
}

const std::vector<std::string>& TColorDlgModel::Operators()
{
    static const std::vector<std::string> ops = {"НЕ ПУСТО"_w, "=", "<>", ">", "<", ">=", "<=", "ПУСТО"_w};
    return ops;
}

int TColorDlgModel::AddFromTemplate(TColorItem* templ)
{
    if (!templ) {
        ShowMessageBox("Предварительно надо выбрать поле."_w, std::string(), MB_OK | MB_ICONWARNING);
        return -1;
    }
    m_grid.CreateCustomItem(templ);
    return RowCount() - 1;
}

int TColorDlgModel::AddFormula()
{
    m_grid.CreateCustomItem(nullptr);
    return RowCount() - 1;
}

void TColorDlgModel::Delete(int row)
{
    m_items.Delete(row);
}

int TColorDlgModel::Move(int row, int delta)
{
    const int to = row + delta;
    if (row < 0 || row >= RowCount() || to < 0 || to >= RowCount())
        return row;
    // The list only appends: take every rule out and put them back in the new order.
    std::vector<std::unique_ptr<TColorItem>> rules;
    while (m_items.Count() > 0)
        rules.push_back(m_items.Extract(0));
    std::swap(rules[row], rules[to]);
    for (auto& rule : rules)
        m_items.Add(std::move(rule));
    return to;
}

const std::vector<TColorDlgModel::TExprAction>& TColorDlgModel::OperatorActions()
{
    static const std::vector<TExprAction> actions = [] {
        std::vector<TExprAction> list;
        for (const char* op : {" = ", " <>", " >", " <", " >=", " <=", " +", " -", " *", " /"})
            list.push_back({op, ""});
        list.push_back({"ИЛИ"_w, "or"});
        list.push_back({" И"_w, "and"});
        list.push_back({"НЕ"_w, "not"});
        list.push_back({"ПУСТО"_w, "= null "});
        return list;
    }();
    return actions;
}

std::string TColorDlgModel::OperatorText(const TExprAction& action)
{
    const std::string text = action.Hint.empty() ? action.Caption : action.Hint;
    return text.empty() || text.front() == ' ' ? text : " " + text;
}

bool TColorDlgModel::ConfirmDefaults()
{
    return ShowMessageBox("Сбросить текущие настройки цветов и установить настройки по-умолчанию?"_w, std::string(),
                          MB_YESNO | MB_ICONQUESTION) == IDYES;
}

} // namespace lm
