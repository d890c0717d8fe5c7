// The categorised variable catalogue of the version-3 print menu.
#include "report/frxcatvars.h"

#include "util/cp1251.h"

namespace lm {

int TfrxCatVars::indexOf(const std::string& name) const
{
    const std::string key = upperCase(name);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (upperCase(m_items[i].Name) == key)
            return static_cast<int>(i);
    return -1;
}

void TfrxCatVars::SetVariable(const std::string& Name, const std::string& Value)
{
    if (Name.empty() || Name[0] == ' ') {
        if (int i = indexOf(Name); i >= 0)
            m_items[i].Value = Value;
        else
            m_items.push_back({Name, Value});
        m_category = Name.empty() ? std::string() : Name.substr(1);
        return;
    }
    if (m_category.empty()) {
        if (int i = indexOf(Name); i >= 0)
            m_items[i].Value = Value;
        else
            m_items.push_back({Name, Value});
        return;
    }
    AddVariable(m_category, Name, Value);
}

void TfrxCatVars::AddVariable(const std::string& Category, const std::string& Name, const std::string& Value)
{
    int heading = indexOf(" " + Category);
    if (heading < 0) {
        m_items.push_back({" " + Category, ""});
        heading = Count() - 1;
    }
    int end = heading + 1;
    while (end < Count() && !m_items[end].Name.empty() && m_items[end].Name[0] != ' ') {
        if (upperCase(m_items[end].Name) == upperCase(Name)) {
            m_items[end].Value = Value;
            return;
        }
        ++end;
    }
    m_items.insert(m_items.begin() + end, {Name, Value});
}

std::string TfrxCatVars::GetVariable(const std::string& Name) const
{
    const int i = indexOf(Name);
    return i < 0 ? std::string() : m_items[i].Value;
}

void TfrxCatVars::Clear()
{
    m_items.clear();
    m_category.clear();
}

} // namespace lm
