// The property list: editors, their display and conversion, sorting, current row and commits.
#include "controls/zproplist.h"

#include <algorithm>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

const char* const kNo = "Нет"_w;
const char* const kYes = "Да"_w;

unsigned char latinUp(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// The value as a yes/no number, or -1 when it is neither 0 nor 1.
int yesNoOf(const Variant& v)
{
    if (v == Variant(1))
        return 1;
    if (v == Variant(0))
        return 0;
    return -1;
}

} // namespace

int ZCompareNames(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = latinUp(a[i]) - latinUp(b[i]);
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool ZStartsWith(const std::string& value, const std::string& text)
{
    if (text.size() > value.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (latinUp(value[i]) != latinUp(text[i]))
            return false;
    return true;
}

// --- TZEditor --------------------------------------------------------------------------------

TZEditor::TZEditor(TZPropList* owner, int id, const std::string& name, int dataType, int num,
                   const Variant& value, const Variant& origValue, const std::vector<std::string>& values)
    : Owner(owner), Name(name), ID(id), DataType(dataType), OrigValue(origValue), Value(value), Num(num)
{
    if (!values.empty())
        Values = std::make_unique<std::vector<std::string>>(values);
}

std::string TZEditor::GetValue() const
{
    if (IsNull)
        return kNo;
    if (Value.IsNullOrEmpty())
        return {};
    switch (DataType) {
    case zdtYesNo:
        switch (yesNoOf(Value)) {
        case 1: return kYes;
        case 0: return kNo;
        default: return {};
        }
    case zdtMoney: return FormatCurr("#,##0.00", Value.AsCurrency());
    case zdtText: return Value.AsString();
    case zdtDate: return DateToStr(Value.AsDateTime());
    default: return {};
    }
}

void TZEditor::SetValue(const std::string& text)
{
    std::string s = text;
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    if (s == kNo && Owner->AllowNull) {
        Value = DataType == zdtYesNo ? Variant(0) : Variant::Null();
        IsNull = true;
        return;
    }
    IsNull = false;
    if (s.empty()) {
        Value = DataType == zdtYesNo && !Owner->AllowNull ? Variant(0) : Variant::Null();
        return;
    }
    if (Owner->OnValidate)
        Owner->OnValidate(Owner, this, s);
    switch (DataType) {
    case zdtYesNo:
        if (s == kYes)
            Value = Variant(1);
        else if (s == kNo)
            Value = Variant(0);
        else
            throw Exception("Допустимые значения \"Да\" или \"Нет\""_w);
        break;
    case zdtMoney: Value = Variant(StrToCurr(s)); break;
    case zdtDate: Value = Variant::FromDate(StrToDate(s)); break;
    default: Value = Variant(s); break;
    }
}

std::vector<std::string> TZEditor::GetValues() const
{
    if (DataType == zdtYesNo)
        return {kNo, kYes};
    std::vector<std::string> out;
    if (Values)
        out = *Values;
    if (Owner->AllowNull)
        out.emplace_back(kNo);
    return out;
}

bool TZEditor::ValueModified() const { return IsNull || !(Value == OrigValue); }

// --- TZEditorList ----------------------------------------------------------------------------

int TZEditorList::IndexOfPropName(const std::string& name, int start) const
{
    for (int i = std::max(start, 0); i < Count(); ++i)
        if (m_items[i]->Name == name)
            return i;
    return -1;
}

int TZEditorList::FindPropName(const std::string& path) const
{
    int found = -1;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string::npos)
            end = path.size();
        const int i = IndexOfPropName(path.substr(pos, end - pos), found + 1);
        if (i < 0)
            break;
        found = i;
        pos = end + 1;
    }
    return found;
}

int TZEditorList::FindPropID(int id) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[i]->ID == id)
            return i;
    return -1;
}

void TZEditorList::Sort(TZSortOrder order)
{
    auto less = [order](const std::unique_ptr<TZEditor>& a, const std::unique_ptr<TZEditor>& b) {
        switch (order) {
        case soSortByName: return ZCompareNames(a->Name, b->Name) < 0;
        case soSortByID: return a->ID < b->ID;
        case soSortByNum:
            return a->Num != b->Num ? a->Num < b->Num : ZCompareNames(a->Name, b->Name) < 0;
        default: return false;
        }
    };
    if (order != soNone)
        std::stable_sort(m_items.begin(), m_items.end(), less);
}

// --- TZPropList ------------------------------------------------------------------------------

TZPropList::TZPropList() = default;
TZPropList::~TZPropList() = default;

void TZPropList::changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange(this);
}

void TZPropList::sortAndKeep(const std::string& currentName)
{
    m_editors.Sort(m_sortOrder);
    if (m_updateCount > 0)
        return;
    const int i = m_editors.IndexOfPropName(currentName);
    m_row = i >= 0 ? i : std::min(m_row, RowCount() - 1);
    if (m_row < 0 && RowCount() > 0)
        m_row = 0;
    scrollToRow();
    ResetEditor();
}

void TZPropList::AddProperty(int id, const std::string& name, int dataType, int num, const Variant& value,
                             const Variant& origValue, const std::vector<std::string>& values)
{
    if (m_updateCount == 0)
        UpdateText(true);
    const std::string current = CurrentEditor() ? CurrentEditor()->Name : std::string();
    m_editors.Add(std::make_unique<TZEditor>(this, id, name, dataType, num, value, origValue, values));
    sortAndKeep(current);
}

void TZPropList::DeleteProperty(int id)
{
    const int i = m_editors.FindPropID(id);
    if (i < 0)
        return;
    const std::string current = CurrentEditor() ? CurrentEditor()->Name : std::string();
    m_editors.DeleteEditor(i);
    sortAndKeep(current);
}

void TZPropList::Clear()
{
    m_editors.Clear();
    m_row = -1;
    m_topRow = 0;
    ResetEditor();
}

void TZPropList::BeginUpdate()
{
    if (m_updateCount++ == 0)
        UpdateText(true);
}

void TZPropList::EndUpdate()
{
    if (m_updateCount == 0 || --m_updateCount > 0)
        return;
    sortAndKeep(CurrentEditor() ? CurrentEditor()->Name : std::string());
}

void TZPropList::SetSortOrder(TZSortOrder order)
{
    UpdateText(true);
    m_sortOrder = order;
    sortAndKeep(CurrentEditor() ? CurrentEditor()->Name : std::string());
}

bool TZPropList::Modified() const
{
    for (int i = 0; i < RowCount(); ++i)
        if (m_editors.Items(i)->ValueModified())
            return true;
    return false;
}

void TZPropList::SetVisibleRows(int rows)
{
    m_visibleRows = std::max(rows, 1);
    scrollToRow();
}

void TZPropList::SetTopRow(int row)
{
    m_topRow = std::clamp(row, 0, std::max(RowCount() - m_visibleRows, 0));
    changed();
}

void TZPropList::scrollToRow()
{
    if (m_row < 0) {
        m_topRow = 0;
        return;
    }
    if (m_row < m_topRow)
        m_topRow = m_row;
    else if (m_row >= m_topRow + m_visibleRows)
        m_topRow = m_row - m_visibleRows + 1;
    m_topRow = std::clamp(m_topRow, 0, std::max(RowCount() - m_visibleRows, 0));
}

void TZPropList::InitCurrent(const std::string& name)
{
    const int i = m_editors.IndexOfPropName(name);
    if (i >= 0)
        MoveCurrent(i);
}

void TZPropList::MoveCurrent(int index)
{
    UpdateText(true);
    if (RowCount() == 0)
        return;
    m_row = std::clamp(index, 0, RowCount() - 1);
    scrollToRow();
    ResetEditor();
}

std::string TZPropList::GetPrintableValue(int i) const
{
    std::string s = GetValue(i);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32)
            c = '.';
    return s;
}

TZPropType TZPropList::GetPropType() const
{
    const TZEditor* e = CurrentEditor();
    if (e && (e->Values || e->DataType == zdtYesNo || AllowNull))
        return ptPickList;
    return ptSimple;
}

void TZPropList::UpdateText(bool reset)
{
    if (m_committing || !CurrentEditor() || !m_editModified)
        return;
    m_committing = true;
    try {
        SetValue(m_row, m_editText);
    } catch (...) {
        m_committing = false;
        throw;
    }
    m_committing = false;
    m_editModified = false;
    if (reset)
        ResetEditor();
    else
        changed();
}

void TZPropList::SetEditText(const std::string& text)
{
    m_editText = text;
    m_editModified = true;
}

void TZPropList::ResetEditor()
{
    m_editText = CurrentEditor() ? CurrentEditor()->GetValue() : std::string();
    m_editModified = false;
    changed();
}

bool TZPropList::KeyDown(TZKey key)
{
    const int page = std::max(m_visibleRows - 1, 1);
    switch (key) {
    case zkUp: MoveCurrent(m_row - 1); break;
    case zkDown: MoveCurrent(m_row + 1); break;
    case zkPageUp: MoveCurrent(m_row - page); break;
    case zkPageDown: MoveCurrent(m_row + page); break;
    }
    return true;
}

std::optional<TZCompletion> TZPropList::Complete(const std::string& text) const
{
    if (text.empty() || GetPropType() != ptPickList)
        return std::nullopt;
    for (const std::string& v : CurrentEditor()->GetValues())
        if (ZStartsWith(v, text))
            return TZCompletion{v, static_cast<int>(text.size())};
    return std::nullopt;
}

void TZPropList::TakePickedValue(const std::string& value)
{
    SetEditText(value);
    UpdateText(true);
}

// --- TZPopupSearch ---------------------------------------------------------------------------

int TZPopupSearch::Type(char ch, const std::vector<std::string>& items, long long nowMs)
{
    if (nowMs - m_last > 2000)
        m_prefix.clear();
    m_last = nowMs;
    if (m_prefix.size() < 32)
        m_prefix += ch;
    const std::string wanted = upperCase(m_prefix);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (upperCase(items[i]).starts_with(wanted))
            return static_cast<int>(i);
    return -1;
}

} // namespace lm
