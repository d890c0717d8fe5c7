// The checked combo's items, checks, summary text and drop-down placement.
#include "controls/checkcombo.h"

#include <algorithm>

#include "util/cp1251.h"
#include "util/qstr.h"
#include "util/sysutils.h"

namespace lm {

namespace {

bool lessIgnoringCase(const std::string& a, const std::string& b) { return upperCase(a) < upperCase(b); }

} // namespace

std::vector<std::string> TCheckedComboBox::Items() const
{
    std::vector<std::string> out;
    for (const Item_& it : m_items)
        out.push_back(it.Text);
    return out;
}

void TCheckedComboBox::SetItems(const std::vector<std::string>& texts)
{
    std::vector<std::string> checked;
    for (const Item_& it : m_items)
        if (it.Checked)
            checked.push_back(it.Text);
    m_items.clear();
    for (const std::string& t : texts) {
        const bool wasChecked = std::any_of(checked.begin(), checked.end(),
                                            [&](const std::string& c) { return Q_SameText(c, t); });
        m_items.push_back({t, wasChecked, 0});
    }
    sortItems();
    checksChanged();
}

void TCheckedComboBox::sortItems()
{
    if (m_sorted)
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const Item_& a, const Item_& b) { return lessIgnoringCase(a.Text, b.Text); });
}

void TCheckedComboBox::SetSorted(bool sorted)
{
    m_sorted = sorted;
    sortItems();
    if (OnItemsChanged)
        OnItemsChanged(this);
}

void TCheckedComboBox::Clear()
{
    m_items.clear();
    m_text = GetText();
    if (OnItemsChanged)
        OnItemsChanged(this);
}

void TCheckedComboBox::checksChanged()
{
    m_text = GetText();
    if (OnItemsChanged)
        OnItemsChanged(this);
    if (OnChange)
        OnChange(this);
}

void TCheckedComboBox::SetChecked(int i, bool checked)
{
    if (m_items.at(i).Checked == checked)
        return;
    m_items[i].Checked = checked;
    checksChanged();
}

void TCheckedComboBox::setAll(bool checked)
{
    for (Item_& it : m_items)
        it.Checked = checked;
    checksChanged();
}

void TCheckedComboBox::ToggleOnOff(int i, bool checked)
{
    m_items.at(i).Checked = checked;
    m_text = GetText();
    if (OnChange)
        OnChange(this);
}

int TCheckedComboBox::GetCheckedCount() const
{
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [](const Item_& it) { return it.Checked; }));
}

std::string TCheckedComboBox::GetText() const
{
    const int n = GetCheckedCount();
    std::string text;
    if (n == 0) {
        text = EmptyValue;
    } else if (n == Count()) {
        text = AllValue;
    } else {
        std::vector<std::string> texts;
        for (const Item_& it : m_items)
            if (it.Checked)
                texts.push_back(it.Text);
        if (SortDisplay)
            std::stable_sort(texts.begin(), texts.end(), lessIgnoringCase);
        if (ShowCount && n >= 2)
            text = IntToStr(n) + ": ";
        for (std::size_t i = 0; i < texts.size(); ++i)
            text += (i ? ", " : "") + texts[i];
    }
    if (OnGetText)
        OnGetText(const_cast<TCheckedComboBox*>(this), text);
    return text;
}

void TCheckedComboBox::SetDropDownLines(int lines)
{
    if (lines >= 6 && lines <= 50)
        m_dropDownLines = lines;
}

int TCheckedComboBox::DropDownRows() const
{
    int rows = Count();
    if (Columns > 1)
        rows = (Count() + Columns - 1) / Columns;
    return std::min(rows, m_dropDownLines);
}

bool TCheckedComboBox::BeginShowCheckList()
{
    if (m_buttonMarked) {
        m_buttonMarked = false;
        return false;
    }
    return true;
}

TAFBounds TCheckedComboBox::DropDownBounds(const TAFBounds& control, int screenBottom, int itemHeight) const
{
    TAFBounds r;
    r.Left = control.Left;
    r.Width = m_userWidth > 0 ? m_userWidth : control.Width;
    r.Height = m_userHeight > 0 ? m_userHeight : itemHeight * DropDownRows() + 8;
    r.Top = control.Top + control.Height;
    if (r.Top + r.Height > screenBottom - 20)
        r.Top = control.Top - r.Height;
    return r;
}

void TCheckedComboBox::CloseCheckList(bool mouseOverButton, int width, int height)
{
    m_buttonMarked = mouseOverButton;
    m_userWidth = width;
    m_userHeight = height;
}

} // namespace lm
