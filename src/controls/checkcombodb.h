// TCheckedComboDB: the checked combo filled from a dataset, whose checked items read and write
// as a list of integer keys - only digits and separators, so it can go into an SQL IN as it is.
#pragma once

#include <string>

#include "controls/checkcombo.h"

namespace lm {

class TDataSet;

class TCheckedComboDB : public TCheckedComboBox {
public:
    TDataSet* DataSet = nullptr;
    std::string KeyField;
    std::string ResultField;
    char KeySeparator = ',';
    // Read instead of the key list when every item is checked; empty: never.
    std::string AllKey;

    // Refills the items from DataSet (opened when closed), keeping the checked keys when asked.
    // Raises "<class>: KeyField is not set" / "...: ResultField is not set"; does nothing
    // without a DataSet. The dataset is left after its last record.
    void FillItems(bool keepChecked);
    // AllKey when everything is checked, else the checked keys joined by KeySeparator.
    std::string CheckedKeys() const;
    // Checks the items whose keys the text lists (AllKey checks all, "" none); fills the items
    // first when there are none.
    void SetCheckedKeys(const std::string& keys);
    // The checked items' texts as SQL string literals ('...', quotes doubled) joined by KeySeparator.
    std::string CheckedKeysName() const;
    long long GetKey(int i) const { return items().at(i).Key; }
    // The key of the i-th checked item; raises when there are fewer.
    long long GetCheckedKey(int i) const;
    bool AllChecked() const { return Count() > 0 && GetCheckedCount() == Count(); }
    static constexpr const char* ClassName = "TCheckedComboDB";
};

} // namespace lm
