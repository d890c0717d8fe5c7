// TSortOrderList: a sort order as field names in order, each with its direction.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lm {

class TSortOrderList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool Empty() const { return m_items.empty(); }
    const std::string& Strings(int index) const { return m_items.at(index).first; }
    void Clear() { m_items.clear(); }
    void Add(const std::string& FieldName, bool Asc) { m_items.emplace_back(FieldName, Asc); }
    void Delete(int index) { m_items.erase(m_items.begin() + index); }
    // Moves the entry at `from` to `to` (both valid indices).
    void Move(int from, int to);
    void SetAsc(int index, bool Asc) { m_items.at(index).second = Asc; }
    bool GetAsc(int index) const { return m_items.at(index).second; }
    // Same count, same names (exactly) and same directions, in order.
    bool Equals(const TSortOrderList& other) const { return m_items == other.m_items; }
    // Every name followed by ";".
    std::string GetFieldStr() const;
    // One character per field: "1" ascending, "0" descending.
    std::string GetAscStr() const;
    // Clears, then adds for each character of `Directs` the name at the same place among the
    // ";"-separated `Fields` (empty when there are fewer names), ascending for "1". Names beyond
    // the directions are ignored.
    void LoadAsString(const std::string& Fields, const std::string& Directs);
    std::vector<std::string> Names() const;
    std::vector<bool> AscFlags() const;

private:
    std::vector<std::pair<std::string, bool>> m_items;
};

} // namespace lm
