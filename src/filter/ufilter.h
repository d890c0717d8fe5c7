// TUFilter: the user filter component. It builds the filter vocabulary from a dataset's fields,
// compiles the user's text into a SQL or a local statement, hands it to the host through OnApply
// and keeps the current filter and a list of named filters in the per-user settings store.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filter/filterentry.h"
#include "filter/filternode.h"
#include "filter/filtertypes.h"
#include "util/component.h"

namespace lm {

class TDataSet;

class TUFilter : public TComponent {
public:
    using TUserFilterEvent = std::function<void(TUFilter* Sender)>;
    using TOnApplyFilter = std::function<void(TUFilter* Sender, bool State)>;
    using TOnAddFieldEntry = std::function<void(TUFilter* Sender, const std::string& FieldName, bool& DoAdd)>;

    explicit TUFilter(TComponent* owner = nullptr);
    ~TUFilter() override;

    // Published properties.
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet);
    const std::string& RegKey() const { return m_regKey; }
    void SetRegKey(const std::string& key) { m_regKey = key; }
    TUFilterOptions Options() const { return m_options; }
    void SetOptions(TUFilterOptions options) { m_options = options; }

    // The host applies (State true) or removes (State false) FilterSQL. What it raises is
    // caught by ApplyFilter and reported through ErrorText.
    TOnApplyFilter OnApply;
    TUserFilterEvent OnPrepare;           // after the entries were rebuilt
    TUserFilterEvent OnChange;            // after every apply attempt and after Reset
    TOnAddFieldEntry OnAddFieldEntry;     // veto for each field entry
    TUserFilterEvent OnChangeFilterList;  // after FilterList was re-read

    // State.
    bool Active() const { return m_active; }
    // Applies or removes the statement, only when State differs from Active.
    void SetActive(bool state);
    TEntryList* Entries() const { return m_entries.get(); }
    bool UseSQL() const { return m_useSQL; }
    const std::string& FilterSource() const { return m_filterSource; }
    // The current statement: "AND (...)" for SQL, the bare expression for the local form; empty
    // when there is no filter.
    const std::string& FilterSQL() const { return m_filterSQL; }
    bool Changed() const { return m_changed; }
    const std::string& ErrorText() const { return m_errorText; }
    // The names of the saved filters, sorted ignoring letter case.
    const std::vector<std::string>& FilterList() const { return m_filterList; }
    const std::string& FilterName() const { return m_filterName; }
    void SetFilterName(const std::string& name) { m_filterName = name; }
    bool DefaultFieldsPage() const { return m_defaultFieldsPage; }
    void SetDefaultFieldsPage(bool value) { m_defaultFieldsPage = value; }

    // Rebuilds the entries from DataSet's fields (fields named "Unvisible_..." are skipped),
    // then raises OnPrepare. Must precede every operation that resolves field names.
    void Prepare();
    // Drops the entries and the statement without calling OnApply; raises OnChange.
    void Reset();

    // Compiles `text`. On success stores FilterSQL, UseSQL, FilterSource and Changed and
    // returns true; on failure returns false and leaves them as they were. Never raises. A text
    // starting with "$" is SQL verbatim; it compiles only as one condition (see the compiler).
    bool Compile(const std::string& text);
    // Raises OnApply(State and FilterSQL not empty) unless that state is already applied and
    // nothing changed. Returns false when OnApply raised: the filter is then dropped and
    // ErrorText holds a CR and the message. Raises OnChange last in every case.
    bool ApplyFilter(bool state);
    // Compiles and applies `text`; raises lm::Exception "Ошибка составления фильтра" (followed by
    // ErrorText) when either fails. An empty text switches the filter off.
    void SetSource(const std::string& text);
    void StateChanged();

    // Shows the filter dialog installed with SetUFilterDialog over this filter; nothing without
    // one. Prepare must have built the entries.
    void Customize();

    // Settings under RegKey.
    void SaveFilter(bool onlyState = false);
    void ReadFilter();

    // Named filters under RegKey\FilterList; "ПО УМОЛЧАНИЮ" (any letter case) is the default
    // filter, i.e. the UFilter value of RegKey.
    void SaveFilterAs(const std::string& name, const std::string& source);
    // The saved text of `name`; empty when there is none. Creates nothing.
    std::string LoadFilter(const std::string& name) const;
    // Loads and applies the saved filter `name` (an empty name switches the filter off). An
    // unknown name raises lm::Exception "Фильтр "<name>" не найден" and changes nothing.
    void SetFilterByName(const std::string& name);
    // Replaces `list` with the saved names; with `withDefault` adds "  По умолчанию" when RegKey
    // holds a non-empty default filter.
    void ReadFilterList(bool withDefault, std::vector<std::string>& list) const;
    void UpdateFilterList();

    // Parses a cleaned-up text (CR LF pairs already blanks, no trailing blanks, no leading "$")
    // into its tree; nullptr when it does not parse completely or no statement kind remains
    // allowed. Leaves AllowedKinds as the parse found it.
    std::unique_ptr<TBoolNode> Parse(const std::string& text);
    TFilterKinds AllowedKinds() const { return m_allowedKinds; }

    // The parser. Each takes the 1-based cursor into the working text of Compile, advances it on
    // success and returns nothing (or false) on failure.
    std::unique_ptr<TBoolNode> Block(int& pos);
    // One condition of a list: an optional НЕ, then a bracketed list or a comparison.
    std::unique_ptr<TBoolNode> Condition(int& pos);
    std::unique_ptr<TBoolNode> OpBlock(int& pos);
    std::unique_ptr<TCalcNode> Operand(int& pos);
    bool EntryOp(int& pos, TCalcNode& node);
    bool ConstOp(int& pos, TCalcNode& node);
    bool OpOp(int& pos, TCalcOp& op);
    TFilterZnak OpZnak(int& pos);
    int Spaces(int pos) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    char at(int pos) const { return m_text[static_cast<size_t>(pos - 1)]; }
    std::string upperAt(int pos, int count) const;
    // nodes[from, to) joined by znak into one tree; the nodes are moved out.
    std::unique_ptr<TBoolNode> joined(std::vector<std::unique_ptr<TBoolNode>>& nodes, std::size_t from,
                                      std::size_t to, TFilterZnak znak);
    // Whether `name` is a saved filter, the reserved default one, or empty.
    bool filterExists(const std::string& name) const;
    // The state after OnApply failed with `message`.
    void dropFilter(const std::string& message);

    TDataSet* m_dataSet = nullptr;
    std::string m_regKey;
    TUFilterOptions m_options;

    bool m_active = false;
    std::unique_ptr<TEntryList> m_entries;
    bool m_useSQL = false;
    std::string m_filterSource;
    std::string m_text;  // working text of the compile in progress
    int m_textLen = 0;
    TFilterKinds m_allowedKinds;
    int m_depth = 0;     // nesting of Block and Operand calls in the compile in progress
    std::string m_filterSQL;
    bool m_changed = false;
    std::string m_errorText;
    std::vector<std::string> m_filterList;
    std::string m_filterName;
    bool m_defaultFieldsPage = true;
};

class TUFilterDlgModel;
// The filter dialog: shows the model and acts on it until the user closes it. Installed by the
// widgets library; an empty function removes it.
using TUFilterDialog = std::function<void(TUFilterDlgModel& Model)>;
void SetUFilterDialog(TUFilterDialog dialog);

} // namespace lm
