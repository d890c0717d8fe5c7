// The logic of the user filter dialog ("Фильтр") and of its name dialog, without widgets: the
// pages of entry buttons, the texts the buttons insert, OK and Save, and the named filters.
#pragma once

#include <string>
#include <vector>

namespace lm {

class TUFilter;
class TUFilterEntry;

class TUFilterDlgModel {
public:
    // A page of entry buttons, captioned with the entries' category.
    struct TPage {
        std::string Caption;
        std::vector<TUFilterEntry*> Entries;
    };
    // An operator button: its caption, hint, the text it inserts at the cursor and how far
    // the cursor then stands back from the end of that text.
    struct TOperatorButton {
        std::string Caption;
        std::string Hint;
        std::string Text;
        int CursorBack = 0;
    };

    // The pages from the filter's entries in list order (AddEntryBtn for each); the initial
    // text and options from the filter.
    explicit TUFilterDlgModel(TUFilter& filter);

    TUFilter& Filter() const { return m_filter; }
    // Pages in page-control order: a new category goes in front of the existing ones.
    const std::vector<TPage>& Pages() const { return m_pages; }
    // The entry's category, "Поля" for none when the filter's DefaultFieldsPage is set; empty
    // when the entry gets no button.
    std::string CategoryOf(const TUFilterEntry& entry) const;
    void AddEntryBtn(TUFilterEntry* entry);

    static const std::vector<TOperatorButton>& OperatorButtons();
    // What an entry button inserts: "[" + entry name + "]".
    static std::string EntryText(const TUFilterEntry& entry);
    // What picking a lookup value inserts: the text in single quotes.
    static std::string LookupText(const std::string& displayText);

    const std::string& FilterName() const { return m_filterName; }
    void SetFilterName(const std::string& name) { m_filterName = name; }
    // "Фильтр", with ": " and the filter name when one is set.
    std::string Caption() const;

    // The values the dialog starts with.
    const std::string& InitialText() const;
    bool PreferSQL() const;
    bool IgnoreCase() const;
    bool OnShow() const;

    // "Включить" (save false) and "Сохранить" (save true): the options, the filter name and the
    // text go to the filter, which compiles and applies it; a text that does not compile raises
    // "Ошибка составления фильтра..." and the dialog is to stay open. Save also stores the
    // filter and the options.
    void Accept(const std::string& text, bool preferSQL, bool ignoreCase, bool onShow, bool save);
    // Cancel switches the filter off.
    void Cancel();

    // "Добавить": the saved names (the name dialog in save mode); the memo text is saved under
    // the chosen name, which becomes the dialog's name.
    std::vector<std::string> AddList() const;
    void Add(const std::string& name, const std::string& text);
    // "Загрузить": the saved names with the default line; the chosen one's text (the name becomes
    // the dialog's).
    std::vector<std::string> LoadList() const;
    std::string Load(const std::string& name);
    // "Удалить": the saved names; each chosen one is deleted, and the dialog's name cleared when
    // it was among them.
    std::vector<std::string> DeleteList() const;
    void Delete(const std::vector<std::string>& names);

private:
    TUFilter& m_filter;
    std::vector<TPage> m_pages;
    std::string m_filterName;
};

// The name dialog of the named filters: save, load or delete.
class TSaveOpenDlgModel {
public:
    enum TDoKind { doSave, doLoad, doDelete };

    TSaveOpenDlgModel(std::vector<std::string> list, TDoKind kind);

    const std::vector<std::string>& List() const { return m_list; }
    TDoKind Kind() const { return m_kind; }
    // "Сохранить", "Загрузить" or "Удалить".
    std::string ActionWord() const;
    // The action word + " фильтр".
    std::string Caption() const;
    // Load and delete show the name read-only and start in the list; save starts in the name.
    bool NameReadOnly() const { return m_kind != doSave; }
    bool MultiSelect() const { return m_kind == doDelete; }
    // Whether clicking a list line copies it into the name.
    bool LineToName() const { return m_kind != doDelete; }

    // OK with `name` typed: true when the dialog may close. Refuses an empty trimmed name with
    // the message "Укажите имя" (except when deleting) and, in save mode, asks "Сохранить под
    // уже существующем именем?" for a listed name, closing only on Yes.
    bool CanClose(const std::string& name) const;

private:
    std::vector<std::string> m_list;
    TDoKind m_kind;
};

} // namespace lm
