// TSQLBuilder: builds the SELECT of a user-composed ad-hoc report from the tables and fields
// the host describes: only the tables the chosen fields need, their joins, the filters, GROUP BY
// over every non-sum column and ORDER BY by column position. A user's choice is kept as a
// report file in the program's "CustomReports" folder.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filter/sqlfielditem.h"
#include "filter/sqltableitem.h"
#include "util/component.h"

namespace lm {
struct TDfmObject;
}

namespace lm::sqlbuilder {

// The saved form of a user's choice: copies of the active fields and the host's data.
class TSQLBuilderState : public TComponent {
public:
    explicit TSQLBuilderState(TComponent* owner = nullptr) : TComponent(owner) {}
    TFieldCollection Fields;
    std::string UserData;
};

class TSQLBuilder : public TComponent {
public:
    using TTableSQLEvent = std::function<void(TTableItem* Table, std::string& SQL)>;
    using TFieldSQLEvent = std::function<void(TFieldItem* Field, std::string& SQL)>;

    explicit TSQLBuilder(TComponent* owner = nullptr);
    ~TSQLBuilder() override;

    TTableCollection& Tables() { return m_tables; }
    TFieldCollection& Fields() { return m_fields; }
    const TFieldCollection& ActiveFields() const { return m_active; }
    const std::string& Directory() const { return m_directory; }
    void SetDirectory(const std::string& dir) { m_directory = dir; }
    const std::string& UserData() const { return m_userData; }
    void SetUserData(const std::string& data) { m_userData = data; }
    // The report last saved or loaded under a ".rpt" name.
    const std::string& ReportFileName() const { return m_reportFileName; }
    // Full names of the reports in FullDir (after UpdateReportList).
    const std::vector<std::string>& ReportList() const { return m_reportList; }

    TTableSQLEvent OnTableFilterSQL;
    TFieldSQLEvent OnFieldFilterSQL, OnSelectSQL, OnGroupBySQL;

    // The SELECT text. Raises lm::Exception with the validation message (object name,
    // " :\r\n", the fault) or "Не выбрано ни одного поля!" without active fields.
    std::string BuildSQL();
    void CheckAllItems() const;
    void CheckTable(int index) const;
    void CheckField(int index) const;

    // The active copy of `field` (an existing one of the same name is returned as it is).
    TFieldItem* AddToActive(const TFieldItem& field);
    // Removes `item` when it is the active item of its name.
    void RemoveFromActive(TFieldItem* item);
    void ClearActive() { m_active.Clear(); }
    // Every distinct non-empty Category in field order, appended to `list`.
    void FieldCategories(std::vector<std::string>& list) const;

    // The field's column expression: SQLName, or the table alias + "." + FieldName.
    std::string FullSQLName(const TFieldItem& field) const;

    // Prepares the result dataset's fields (the dataset prepared and closed): labels and
    // formats, a "<FieldName>_Name" lookup field per lookup column, whose key column is hidden.
    void CreateDataSetFields(TDataSet* DataSet);

    std::unique_ptr<TSQLBuilderState> BackupState() const;
    void RestoreState(const TSQLBuilderState& State);
    // Writes the state as component text (EInOutError on failure). A ".rpt" name (any case)
    // becomes the current report.
    void SaveReport(const std::string& FileName);
    // Reads a saved state and restores it; on any failure raises lm::Exception
    // "Ошибка загрузки отчета \"<file>\" :\r\n<reason>" and changes nothing.
    void LoadReport(const std::string& FileName);
    // The program's folder + "CustomReports" (+ "/" + Directory), ending in "/".
    std::string FullDir() const;
    // Creates FullDir when needed and lists its "*.rpt" files (sorted) as full names.
    void UpdateReportList();

    // Takes Tables, Fields and Directory from a TSQLBuilder object of a form file, replacing
    // the present ones. EParserError for a value of the wrong kind.
    void LoadFromDfm(const TDfmObject& object);

private:
    std::string objectName() const;
    [[noreturn]] void raise(const std::string& prefix, const std::string& text) const;
    void activate(TTableItem* table);
    std::string tableFilter(TTableItem* table);

    TTableCollection m_tables;
    TFieldCollection m_fields;
    TFieldCollection m_active;
    std::string m_where;
    std::string m_directory;
    std::string m_reportFileName;
    std::vector<std::string> m_reportList;
    std::string m_userData;
};

// Combines two conditions: either when the other is empty, else "(A) and (B)".
std::string CombineConditions(const std::string& a, const std::string& b);

// The component text of a state ("object <name>: TSQLBuilderState") and back.
TDfmObject StateToDfm(const TSQLBuilderState& state);
void StateFromDfm(const TDfmObject& object, TSQLBuilderState& state);

} // namespace lm::sqlbuilder

namespace lm {
using sqlbuilder::TSQLBuilder;
using sqlbuilder::TSQLBuilderState;
}
