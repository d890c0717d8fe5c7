// TUserSort: a user-chosen multi-field sort of a Firebird dataset, applied with the dataset's
// own local sort, remembered per form in the settings store and kept in ".srt" sort files.
// The first order the dataset reports becomes the default the user can return to.
#pragma once

#include <functional>
#include <string>

#include "filter/sortorderlist.h"
#include "util/component.h"

namespace lm {

class TDataSet;
class TpFIBDataSet;
class TSortDlgModel;

enum TUserSortOption : unsigned { usoReopenDefSort = 1, usoApplyOnReadReg = 2 };
using TUserSortOptions = unsigned;

class TUserSort : public TComponent {
public:
    using TUserSortEvent = std::function<void(TUserSort* Sender)>;

    explicit TUserSort(TComponent* owner = nullptr);

    TDataSet* DataSet() const { return m_dataSet; }
    // Links the dataset and starts over (Reset).
    void SetDS(TDataSet* dataSet);
    const std::string& RegKey() const { return m_regKey; }
    void SetRegKey(const std::string& key) { m_regKey = key; }
    TUserSortOptions Options() const { return m_options; }
    void SetOptions(TUserSortOptions options) { m_options = options; }
    TUserSortEvent OnChange;

    // The chosen, the present and the default orders.
    TSortOrderList& SortOrder() { return m_order; }
    const TSortOrderList& CurrentOrder() const { return m_current; }
    const TSortOrderList& DefaultOrder() const { return m_default; }

    // The dataset as a Firebird dataset, nullptr when it is another kind.
    TpFIBDataSet* GetFibDS() const;
    // Clears the chosen and the default order; the next ParseSort captures the default.
    void Reset();
    // Reads the dataset's present sort into `List` (a key field hidden behind a visible lookup
    // field is reported as the lookup field).
    virtual void ParseSort(TSortOrderList& List);
    // The dataset has a visible field of that name.
    bool CheckSortField(const std::string& Name) const;
    // Applies the chosen order to an active Firebird dataset (an empty one takes the present
    // order); raises OnChange.
    void DoCurrentSort();
    // Chooses `order` and applies it. Choosing the default order when that is the query's own
    // (empty) order removes the local sort (or reopens with usoReopenDefSort).
    void SetOrder(const TSortOrderList& order);
    void DoSort(const std::string& FieldName, bool Asc);

    // Settings under `Key` (RegKey when empty; nothing happens when both are empty): "Fields" and
    // "Direct". Writing the default or an empty order deletes the key. Reading falls back to the default order, silently, when a
    // value is missing or names a field that fails CheckSortField.
    void WriteToReg(const std::string& Key = "");
    void ReadFromReg(const std::string& Key = "");

    // The sort file: "A;B;" and "10" on two lines (CR LF, Windows-1251). Saving writes `List`
    // (the chosen order when null) through a temporary file; EInOutError on failure. Loading
    // applies the file's order when every field passes CheckSortField, else changes nothing;
    // EInOutError when the file cannot be read.
    void SaveSortToFile(const std::string& FileName, const TSortOrderList* List = nullptr) const;
    void LoadSortFromFile(const std::string& FileName);

    // The sort dialog (only with an active dataset), through the dialog installed with
    // SetSortDialog; nothing without one.
    void ExecDlg(const std::string& Caption = "", bool ShowSaveToFile = false);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void applyOrder(bool restoreDefault);
    bool allFieldsValid(const TSortOrderList& list) const;

    TDataSet* m_dataSet = nullptr;
    std::string m_regKey;
    TUserSortOptions m_options = 0;
    TSortOrderList m_order;
    TSortOrderList m_current;
    TSortOrderList m_default;
    bool m_captureDefault = true;
};

// The sort dialog: shows the model and calls its Finish when the user closes it. Installed by
// the widgets library; an empty function removes it.
using TSortDialog = std::function<void(TSortDlgModel& Model)>;
void SetSortDialog(TSortDialog dialog);

} // namespace lm
