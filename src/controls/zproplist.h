// TZPropList: the property list filled by code - named, typed values edited in place, with
// change tracking against reference values, sorting and the keyboard of the value editor.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/graphics.h"
#include "util/variant.h"

namespace lm {

enum TZSortOrder { soNone, soSortByName, soSortByID, soSortByNum };
enum TZPropType { ptSimple, ptEllipsis, ptPickList };

// The data types of a property; any other number is kept but neither shown nor converted.
inline constexpr int zdtYesNo = 1;
inline constexpr int zdtMoney = 2;
inline constexpr int zdtText = 3;
inline constexpr int zdtDate = 4;

class TZPropList;

// One property: its caption, identifier, type, allowed values and the current and reference values.
class TZEditor {
public:
    TZEditor(TZPropList* owner, int id, const std::string& name, int dataType, int num,
             const Variant& value, const Variant& origValue, const std::vector<std::string>& values);

    TZPropList* Owner;
    std::string Name;
    int ID;
    std::unique_ptr<std::vector<std::string>> Values;  // null when the caller gave no entries
    int DataType;
    Variant OrigValue;
    Variant Value;
    bool IsNull = false;
    int Num;

    // The display text of the value ("Нет" for the explicit no-value choice).
    std::string GetValue() const;
    // Stores edited text (trailing blanks dropped). Raises the allowed-values message of a
    // yes/no property, EConvertError for money and dates, or whatever OnValidate raises.
    void SetValue(const std::string& text);
    // The drop-down entries: "Нет", "Да" for yes/no, else Values (plus "Нет" under AllowNull).
    std::vector<std::string> GetValues() const;
    bool ValueModified() const;
};

// The editors of a list, owned.
class TZEditorList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TZEditor* Items(int i) const { return m_items.at(i).get(); }
    void Add(std::unique_ptr<TZEditor> editor) { m_items.push_back(std::move(editor)); }
    // First editor at or after `start` whose name equals `name` exactly; -1 when none.
    int IndexOfPropName(const std::string& name, int start = 0) const;
    // `path` is names joined by "\": each is looked up after the previous match; the result is
    // the index of the last name found (-1 when even the first is missing).
    int FindPropName(const std::string& path) const;
    int FindPropID(int id) const;
    void DeleteEditor(int i) { m_items.erase(m_items.begin() + i); }
    void Clear() { m_items.clear(); }
    // Stable sort; soNone keeps the order of addition.
    void Sort(TZSortOrder order);

private:
    std::vector<std::unique_ptr<TZEditor>> m_items;
};

// Names compared byte by byte with only a..z folded to capitals (Cyrillic case matters).
int ZCompareNames(const std::string& a, const std::string& b);
// Whether `text` begins `value` under the same folding.
bool ZStartsWith(const std::string& value, const std::string& text);

enum TZKey { zkUp, zkDown, zkPageUp, zkPageDown };

// What auto-completion makes of the user's text: the whole value and where the added part starts.
struct TZCompletion {
    std::string Text;
    int SelStart;
};

class TZPropList {
public:
    TZPropList();
    ~TZPropList();
    TZPropList(const TZPropList&) = delete;
    TZPropList& operator=(const TZPropList&) = delete;

    TColor PropColor = clNavy;
    TColor PropColorM = clNavy;
    TColor NameColorM = clWindowText;
    bool IntegralHeight = false;
    bool NewButtons = false;
    int Middle = 85;
    // Adds the explicit no-value entry "Нет" to every property.
    bool AllowNull = false;

    std::function<void(TZPropList* Sender, TZEditor* PropEditor, const std::string& Value)> OnValidate;
    // The rows, the current row or the editor text changed: the view repaints and reloads.
    std::function<void(TZPropList* Sender)> OnChange;

    void AddProperty(int id, const std::string& name, int dataType, int num, const Variant& value,
                     const Variant& origValue, const std::vector<std::string>& values = {});
    void DeleteProperty(int id);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    TZSortOrder SortOrder() const { return m_sortOrder; }
    void SetSortOrder(TZSortOrder order);
    bool Modified() const;

    int RowCount() const { return m_editors.Count(); }
    int Row() const { return m_row; }
    int TopRow() const { return m_topRow; }
    // Scrolls without moving the current row (clamped).
    void SetTopRow(int row);
    // Rows that fit the view; the view sets it when its height changes.
    void SetVisibleRows(int rows);
    int VisibleRows() const { return m_visibleRows; }

    // Select a row after committing the pending edit (a failed commit raises and keeps the row).
    void InitCurrent(const std::string& name);
    void InitCurrent(int index) { MoveCurrent(index); }
    void MoveCurrent(int index);
    TZEditor* CurrentEditor() const { return m_row >= 0 && m_row < RowCount() ? m_editors.Items(m_row) : nullptr; }
    TZEditor* Editor() const { return CurrentEditor(); }
    const TZEditorList& Editors() const { return m_editors; }

    std::string GetName(int i) const { return m_editors.Items(i)->Name; }
    std::string GetValue(int i) const { return m_editors.Items(i)->GetValue(); }
    void SetValue(int i, const std::string& text) { m_editors.Items(i)->SetValue(text); }
    // The value with every byte below 32 shown as ".".
    std::string GetPrintableValue(int i) const;
    TZPropType GetPropType() const;
    // Commits the pending edit (UpdateText(true)).
    void Validate() { UpdateText(true); }
    // Stores the editor text into the current row when it was modified; with `reset` the
    // editor is reloaded from the stored value. Exceptions keep the text and the row.
    void UpdateText(bool reset);

    // --- The in-place editor's text -------------------------------------------------------
    const std::string& EditText() const { return m_editText; }
    bool EditModified() const { return m_editModified; }
    // The user changed the text.
    void SetEditText(const std::string& text);
    // Reloads the editor from the current row's stored value.
    void ResetEditor();
    // Up, Down, Page Up, Page Down; false when the key is not the list's.
    bool KeyDown(TZKey key);
    // The first allowed value of a pick-list row that the text begins (a..z folded); the
    // caller skips it after Backspace, Delete or typing over a selection.
    std::optional<TZCompletion> Complete(const std::string& text) const;
    // A value chosen in the drop-down: becomes the text and is committed at once.
    void TakePickedValue(const std::string& value);

private:
    void changed();
    void sortAndKeep(const std::string& currentName);
    void scrollToRow();

    TZEditorList m_editors;
    TZSortOrder m_sortOrder = soNone;
    int m_row = -1;
    int m_topRow = 0;
    int m_visibleRows = 1;
    int m_updateCount = 0;
    std::string m_editText;
    bool m_editModified = false;
    bool m_committing = false;
};

// The search of the drop-down list: typed characters build a prefix of up to 32 characters that
// restarts after 2 seconds without typing; the first entry it begins (ignoring case) is chosen.
class TZPopupSearch {
public:
    // Returns the index to select, or -1 when none matches. `nowMs` is a monotonic clock.
    int Type(char ch, const std::vector<std::string>& items, long long nowMs);
    void Restart() { m_prefix.clear(); }
    const std::string& Prefix() const { return m_prefix; }

private:
    std::string m_prefix;
    long long m_last = 0;
};

} // namespace lm
