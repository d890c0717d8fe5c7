// TContextFilter: the quick context search of a list screen. Conditions (one field or several
// fields against a typed fragment) accumulate and filter the dataset locally through its
// record filter, or, with Server set, are handed to the host as a SQL fragment.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filter/filterline.h"
#include "host/dataset.h"
#include "util/component.h"

namespace lm {

class TContextSearchModel;

class TContextFilter : public TComponent {
public:
    using TContextFilterEvent = std::function<void(TContextFilter* Sender)>;
    using TContextLineEvent =
        std::function<void(TContextFilter* Sender, TField* Field, const std::string& Value, bool& Accept)>;
    using TContextSQLEvent =
        std::function<void(TContextFilter* Sender, TField* Field, const std::string& Value, std::string& SQL)>;

    explicit TContextFilter(TComponent* owner = nullptr);
    ~TContextFilter() override;

    // Published properties.
    TDataSet* DataSet() const { return m_dataSet; }
    // Unhooks the old dataset (its lines dropped, its own record filter put back, the filter
    // applied again), hooks the new one, reads MultiFields and raises OnChange.
    void SetDataSet(TDataSet* dataSet);
    bool Server() const { return m_server; }
    void SetServer(bool server) { m_server = server; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    const std::string& RegKey() const { return m_regKey; }
    void SetRegKey(const std::string& key);

    TContextFilterEvent OnChange;
    TContextFilterEvent OnApply;          // with Server: the host rebuilds its query (GetSQL)
    TContextLineEvent OnCheckLine;        // replaces the test of a single-field line
    TDataSet::TFilterRecordEvent OnFilterRecord;
    TContextSQLEvent OnSQLLine;           // a non-empty SQL replaces the line's own condition

    // The ";"-separated field names of the multi-field search.
    const std::string& MultiFields() const { return m_multiFields; }
    void SetMultiFields(const std::string& fields) { m_multiFields = fields; }

    bool FilterOn() const { return m_filterOn; }
    int GetFilterLineCount() const { return static_cast<int>(m_lines.size()); }
    TFilterLine* GetFilterLine(int index) const { return m_lines.at(index).get(); }
    // The line whose test is running (inside DSFilterRecord), else nullptr.
    TFilterLine* TestLine() const { return m_testLine; }

    // Conditions from code. Outside a batch the old lines are dropped first and the filter is
    // applied afterwards. An empty value adds nothing; FieldName must name a field of the
    // dataset ("*" for the multi-field search), else lm::Exception as FieldByName raises.
    void SetFilter(const std::string& FieldName, const std::string& Value);
    void SetFilterMultiVals(const std::string& FieldName, const std::string& Value, const std::vector<Variant>& Vals);
    void BeginSetFilter();
    void EndSetFilter();
    // Lines "FIELD=value" (CR LF or LF separated), set in one batch; lines with an empty name or
    // trimmed value are skipped.
    void SetFiltersText(const std::string& Text);
    std::string GetFiltersText() const;
    // Adds one condition without applying it (the search dialog's "Поиск" and "В найденном").
    void AddLine(const std::string& FieldName, const std::string& Value);
    // Drops the last condition without applying (the search dialog's "Удалить").
    void DeleteLastLine();
    void ClearLines() { m_lines.clear(); }

    void ApplyFilter();
    void DoApplyFilter();
    void Clear();

    // " and ..." conditions of the current lines for a Firebird dataset's query, "" otherwise.
    // Typed text never leaves its SQL literal (quotes are doubled; numbers and dates are
    // checked and raise EConvertError when they do not convert).
    std::string GetSQL(unsigned Options = 0);

    // A visible data field, or a lookup field with a single key field.
    static bool IsContextField(const TField* field);
    bool CanMulti() const;
    void ReadMultiFields();
    void SaveMultiFields();
    // Settings key: RegKey + "\" + Name.
    std::string MultiFieldsKey() const;

    // The search dialog preselecting `Field` (only with an active dataset); runs through the
    // dialog installed with SetContextSearchDialog, nothing without one.
    void ExecDlg(TField* Field = nullptr);
    // An OnCheckLine handler that answers with the line's own test.
    void DefCheckLine(TContextFilter* Sender, TField* Field, const std::string& Value, bool& Accept);
    // The record filter installed on the dataset.
    void DSFilterRecord(TDataSet* DataSet, bool& Accept);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void unhook();
    void postPendingEdit();

    TDataSet* m_dataSet = nullptr;
    bool m_server = false;
    std::string m_caption;
    std::string m_regKey;
    bool m_filterOn = false;
    std::vector<std::unique_ptr<TFilterLine>> m_lines;
    TDataSet::TFilterRecordEvent m_prevFilterRecord;
    TFilterLine* m_testLine = nullptr;
    bool m_batch = false;
    std::string m_multiFields;
};

// The search dialog: shows the model and, when the user closes it, calls the model's Finish.
// Installed by the widgets library; an empty function removes it.
using TContextSearchDialog = std::function<void(TContextSearchModel& Model)>;
void SetContextSearchDialog(TContextSearchDialog dialog);

} // namespace lm
