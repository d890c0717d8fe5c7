// TCheckedComboBox: the combo whose drop-down is a list of check boxes and whose text sums up
// the checked items; here its items, checks, summary text and drop-down placement.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/selectframe.h"
#include "host/graphics.h"
#include "util/cp1251.h"

namespace lm {

class TCheckedComboBox {
public:
    TCheckedComboBox() = default;
    virtual ~TCheckedComboBox() = default;
    TCheckedComboBox(const TCheckedComboBox&) = delete;
    TCheckedComboBox& operator=(const TCheckedComboBox&) = delete;

    std::string CapSelectAll = "&Выбрать все"_w;
    std::string CapDeSelectAll = "&Отменить все"_w;
    TColor NotFocusColor = clWhite;
    int Columns = 0;
    std::string EmptyValue;
    std::string AllValue = "Все"_w;
    // Sorts the checked texts of the summary (ignoring case) instead of keeping item order.
    bool SortDisplay = false;
    bool ShowCount = true;
    static constexpr const char* Version = "1.7";

    std::function<void(TCheckedComboBox* Sender)> OnChange;
    std::function<void(TCheckedComboBox* Sender, std::string& Text)> OnGetText;
    // The view refills its list (items or checks changed by code).
    std::function<void(TCheckedComboBox* Sender)> OnItemsChanged;

    // --- Items ---------------------------------------------------------------------------------
    int Count() const { return static_cast<int>(m_items.size()); }
    const std::string& Item(int i) const { return m_items.at(i).Text; }
    std::vector<std::string> Items() const;
    // Replaces the items; those whose text (ignoring case) was checked stay checked.
    void SetItems(const std::vector<std::string>& items);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    void Clear();

    // --- Checks --------------------------------------------------------------------------------
    bool IsChecked(int i) const { return m_items.at(i).Checked; }
    bool GetChecked(int i) const { return IsChecked(i); }
    // Only when the state differs: sets it, updates the text, raises OnChange.
    void SetChecked(int i, bool checked);
    void SetCheckedAll() { setAll(true); }
    void SetUnCheckedAll() { setAll(false); }
    int GetCheckedCount() const;
    // The user checked or unchecked item i in the list.
    void ToggleOnOff(int i, bool checked);

    // The summary text (EmptyValue, AllValue, or the checked texts with their count).
    std::string GetText() const;
    const std::string& Text() const { return m_text; }

    // --- Drop-down -----------------------------------------------------------------------------
    int DropDownLines() const { return m_dropDownLines; }
    // Values below 6 or above 50 are ignored.
    void SetDropDownLines(int lines);
    int DropDownRows() const;
    // The button's click: false when it only closed the open list (the mark of the last close).
    bool BeginShowCheckList();
    // The drop-down's bounds in screen coordinates for a control at `control` (screen), a screen
    // whose usable bottom is `screenBottom`, and list rows `itemHeight` high.
    TAFBounds DropDownBounds(const TAFBounds& control, int screenBottom, int itemHeight) const;
    // The drop-down lost activation: remembers its size and whether the pointer was on the button.
    void CloseCheckList(bool mouseOverButton, int width, int height);

protected:
    struct Item_ {
        std::string Text;
        bool Checked = false;
        long long Key = 0;
    };
    std::vector<Item_>& items() { return m_items; }
    const std::vector<Item_>& items() const { return m_items; }
    // Brings the text up to date and tells the view and OnChange.
    void checksChanged();
    void sortItems();

private:
    void setAll(bool checked);

    std::vector<Item_> m_items;
    std::string m_text;
    int m_dropDownLines = 6;
    int m_userWidth = 0;
    int m_userHeight = 0;
    bool m_sorted = false;
    bool m_buttonMarked = false;
};

} // namespace lm
