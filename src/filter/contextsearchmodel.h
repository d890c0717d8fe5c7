// The logic of the context search dialog ("Поиск по контексту") and of its multi-field list
// dialog ("Список полей мульти поиска"), without widgets: the Qt dialogs only show these
// models and report what the user did.
#pragma once

#include <string>
#include <vector>

namespace lm {

class TContextFilter;
class TDataSet;
class TField;

class TContextSearchModel {
public:
    // How the dialog was closed: "Поиск" (new search), "В найденном" (within the results),
    // or Cancel.
    enum TSearchAction { saSearch, saInFound, saCancel };

    // Posts the dataset's pending edit and builds the field list; `field` is preselected
    // unless the multi-field entry is offered.
    TContextSearchModel(TContextFilter& filter, TField* field);

    TContextFilter& Filter() const { return m_filter; }
    // The filter's Caption, or "Поиск по контексту".
    std::string Caption() const;
    // The multi-field settings button is hidden when the search runs on the server.
    bool MultiSettingsVisible() const;

    // The combo's entries: "  Мульти поиск" first when the filter CanMulti, then every context
    // field by display label.
    const std::vector<std::string>& FieldItems() const { return m_items; }
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    bool MultiSelected() const;
    // The field of the selected entry, nullptr for the multi-field entry.
    TField* SelectedField() const;
    // For a lookup field the value editor lists the lookup dataset's result field with its key.
    TDataSet* ValueListDataSet() const;
    std::string ValueListResultField() const;
    std::string ValueListKeyField() const;

    // The current conditions: "[label]=value" joined by " И ".
    std::string MemoText() const;
    // "Удалить" (Ctrl+Backspace): drops the last condition; the memo is to be refreshed.
    void DeleteLast();

    // What Enter in the value editor (drop-down closed) means for the text typed so far.
    static TSearchAction EnterAction(const std::string& editText);
    // A typed character after the keyboard-layout translation.
    static char TranslateKey(unsigned key, unsigned shift, char ch);
    // The part of a clipboard text that a paste keeps: the text before its first CR (the
    // clipboard itself is to be replaced by it when `replaceClipboard` comes back true).
    static std::string PasteText(const std::string& clipboard, bool& replaceClipboard);

    // Applies the user's choice: Cancel clears every condition; otherwise the trimmed text adds
    // a condition for the selected entry ("Поиск" first drops the old ones) and the filter is
    // applied.
    void Finish(TSearchAction action, const std::string& editText);

    static const char* MultiItemText();

private:
    TContextFilter& m_filter;
    std::vector<std::string> m_items;
    std::vector<TField*> m_fields;  // per entry; nullptr for the multi-field entry
    int m_itemIndex = -1;
};

// The multi-field list dialog: a check list of the context fields, ticked when named in
// MultiFields; OK stores the ticked names.
class TContextMultiModel {
public:
    explicit TContextMultiModel(TContextFilter& filter);

    static const char* Caption();
    const std::vector<std::string>& Items() const { return m_items; }
    bool Checked(int index) const { return m_checked.at(index); }
    void SetChecked(int index, bool checked) { m_checked.at(index) = checked; }
    // "Выключить все".
    void UncheckAll();
    // OK: MultiFields := the ticked names, each followed by ";", stored with SaveMultiFields.
    void Accept();

private:
    TContextFilter& m_filter;
    std::vector<std::string> m_items;
    std::vector<std::string> m_names;
    std::vector<bool> m_checked;
};

} // namespace lm
