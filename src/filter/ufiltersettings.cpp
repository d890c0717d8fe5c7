// TUFilter's per-user settings: the current filter with its options under RegKey, and the named
// filters under RegKey\FilterList.
//
// Layout: RegKey holds UFilterOn, UFilterPreferSQL, UFilterIgnoreCase, UFilterOnShow (booleans)
// and UFilter (the source text of the current filter, also the reserved "ПО УМОЛЧАНИЮ" filter);
// RegKey\FilterList holds one string value per saved filter, named by the filter.
#include "filter/ufilter.h"

#include <algorithm>

#include "host/registry.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

const char* const kFilterListKey = "\\FilterList";

// The reserved name of the default filter, in any letter case and with any blanks around it
// (so that "  По умолчанию", the list's line for it, selects it too).
bool isReserved(const std::string& name)
{
    return upperCase(Trim(name)) == "ПО УМОЛЧАНИЮ"_w;
}

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    return upperCase(a) < upperCase(b);
}

} // namespace

void TUFilter::SaveFilter(bool onlyState)
{
    TRegistry reg;
    reg.OpenKey(m_regKey, true);
    reg.WriteBool("UFilterOn", m_active);
    if (!onlyState) {
        // A statement the host has not received yet is not a filter worth restoring.
        if (!m_filterSQL.empty() && !m_changed)
            reg.WriteString("UFilter", m_filterSource);
        else
            reg.DeleteValue("UFilter");
        reg.WriteBool("UFilterPreferSQL", m_options.Contains(ufoSQLPrefer));
        reg.WriteBool("UFilterIgnoreCase", m_options.Contains(ufoIgnoreCase));
        reg.WriteBool("UFilterOnShow", m_options.Contains(ufoSwitchOnShow));
    }
    reg.CloseKey();
}

void TUFilter::ReadFilter()
{
    std::string text;
    bool on = false;
    {
        TRegistry reg;
        reg.OpenKey(m_regKey, true);
        if (reg.ValueExists("UFilter"))
            text = reg.ReadString("UFilter");
        const std::pair<const char*, TUFilterOption> flags[] = {
            {"UFilterPreferSQL", ufoSQLPrefer}, {"UFilterIgnoreCase", ufoIgnoreCase}, {"UFilterOnShow", ufoSwitchOnShow}};
        for (const auto& [name, option] : flags)
            if (reg.ValueExists(name))
                m_options.Set(option, reg.ReadBool(name));
        if (reg.ValueExists("UFilterOn"))
            on = reg.ReadBool("UFilterOn");
        reg.CloseKey();
    }
    if (!Compile(text)) {
        // A stored text that no longer compiles leaves no filter, not the previous one.
        m_filterSQL.clear();
        m_filterSource.clear();
        m_useSQL = false;
        m_changed = false;
    }
    ApplyFilter(on && m_options.Contains(ufoSwitchOnShow));
    UpdateFilterList();
}

void TUFilter::SaveFilterAs(const std::string& name, const std::string& source)
{
    if (name.empty())
        return;
    if (isReserved(name))
        throw Exception(Format("Указанное имя фильтра \"%s\" зарезервировано"_w, {name}));
    const std::string text = Trim(source);
    {
        TRegistry reg;
        if (!text.empty()) {
            reg.OpenKey(m_regKey + kFilterListKey, true);
            reg.WriteString(name, text);
        } else if (reg.OpenKey(m_regKey + kFilterListKey, false) && reg.ValueExists(name)) {
            reg.DeleteValue(name);
        }
        reg.CloseKey();
    }
    UpdateFilterList();
}

std::string TUFilter::LoadFilter(const std::string& name) const
{
    if (name.empty())
        return {};
    TRegistry reg;
    std::string text;
    if (isReserved(name)) {
        if (reg.OpenKey(m_regKey, false) && reg.ValueExists("UFilter"))
            text = reg.ReadString("UFilter");
    } else if (reg.OpenKey(m_regKey + kFilterListKey, false) && reg.ValueExists(name)) {
        text = reg.ReadString(name);
    }
    reg.CloseKey();
    return text;
}

bool TUFilter::filterExists(const std::string& name) const
{
    if (name.empty() || isReserved(name))
        return true;
    TRegistry reg;
    const bool exists = reg.OpenKey(m_regKey + kFilterListKey, false) && reg.ValueExists(name);
    reg.CloseKey();
    return exists;
}

void TUFilter::SetFilterByName(const std::string& name)
{
    if (!filterExists(name))
        throw Exception(Format("Фильтр \"%s\" не найден"_w, {name}));
    m_filterName = name;
    SetSource(LoadFilter(name));
}

void TUFilter::ReadFilterList(bool withDefault, std::vector<std::string>& list) const
{
    TRegistry reg;
    if (reg.OpenKey(m_regKey + kFilterListKey, false)) {
        std::vector<std::string> names;
        reg.GetValueNames(names);
        list = std::move(names);
    }
    reg.CloseKey();
    if (withDefault && reg.OpenKey(m_regKey, false) && reg.ValueExists("UFilter") &&
        !reg.ReadString("UFilter").empty())
        list.push_back("  По умолчанию"_w);
    reg.CloseKey();
}

void TUFilter::UpdateFilterList()
{
    m_filterList.clear();
    ReadFilterList(false, m_filterList);
    std::stable_sort(m_filterList.begin(), m_filterList.end(), lessIgnoringCase);
    if (OnChangeFilterList)
        OnChangeFilterList(this);
}

} // namespace lm
