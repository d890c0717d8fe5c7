// TfrxCatVars: a report variable list with a current category: a name that is empty or starts
// with a blank is a category heading, and the names set after it are kept under it.
#pragma once

#include <string>
#include <vector>

#include "report/frxreport.h"

namespace lm {

class TfrxCatVars {
public:
    // A heading is stored as given and becomes the current category (its name without the
    // blank); any other name is set under the current category (at its end when new), or at
    // the end of the list when there is none.
    void SetVariable(const std::string& Name, const std::string& Value);
    // The value of the variable (ignoring letter case); empty when absent.
    std::string GetVariable(const std::string& Name) const;
    // Sets `Name` under the category `Category` (added at the end with it when missing).
    void AddVariable(const std::string& Category, const std::string& Name, const std::string& Value);
    const std::string& Category() const { return m_category; }
    int Count() const { return static_cast<int>(m_items.size()); }
    const std::vector<TfrxVariable>& Items() const { return m_items; }
    void Clear();

private:
    int indexOf(const std::string& name) const;
    std::vector<TfrxVariable> m_items;
    std::string m_category;
};

} // namespace lm
