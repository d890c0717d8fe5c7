// TSortOrderList: the textual forms of a sort order ("A;B;" and "10").
#include "filter/sortorderlist.h"

namespace lm {

void TSortOrderList::Move(int from, int to)
{
    auto item = m_items.at(from);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(item));
}

std::string TSortOrderList::GetFieldStr() const
{
    std::string s;
    for (const auto& item : m_items)
        s += item.first + ";";
    return s;
}

std::string TSortOrderList::GetAscStr() const
{
    std::string s;
    for (const auto& item : m_items)
        s += item.second ? '1' : '0';
    return s;
}

void TSortOrderList::LoadAsString(const std::string& Fields, const std::string& Directs)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < Fields.size()) {
        std::size_t end = Fields.find(';', start);
        if (end == std::string::npos)
            end = Fields.size();
        if (end > start)
            names.push_back(Fields.substr(start, end - start));
        start = end + 1;
    }
    m_items.clear();
    for (std::size_t i = 0; i < Directs.size(); ++i)
        Add(i < names.size() ? names[i] : std::string(), Directs[i] == '1');
}

std::vector<std::string> TSortOrderList::Names() const
{
    std::vector<std::string> names;
    for (const auto& item : m_items)
        names.push_back(item.first);
    return names;
}

std::vector<bool> TSortOrderList::AscFlags() const
{
    std::vector<bool> flags;
    for (const auto& item : m_items)
        flags.push_back(item.second);
    return flags;
}

} // namespace lm
