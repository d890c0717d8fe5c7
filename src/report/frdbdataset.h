// The report datasets: a host TDataSet walked record by record for a report, with events that let
// the host choose the records (the print menus walk the grid's selected rows through them).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "util/component.h"

namespace lm {

class TDataSet;

class TfrCustomDBDataSet : public TComponent {
public:
    using TfrNotifyEvent = std::function<void(TfrCustomDBDataSet* sender)>;
    using TfrCheckEOFEvent = std::function<void(TfrCustomDBDataSet* sender, bool& eof)>;

    explicit TfrCustomDBDataSet(TComponent* owner = nullptr) : TComponent(owner) {}
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet);
    // 0-based number of the current record of the walk.
    int RecNo() const { return m_recNo; }

    // First, Next and Prior move the dataset, or call the event in its place when one is set.
    void First();
    void Next();
    void Prior();
    // End of the walk: the dataset's Eof (true without an open dataset), which OnCheckEOF may
    // change.
    bool Eof();

    TfrNotifyEvent OnFirst, OnNext, OnPrior;
    TfrCheckEOFEvent OnCheckEOF;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDataSet* m_dataSet = nullptr;
    int m_recNo = 0;
};

// The version-2 engine's master dataset component.
class TfrDBDataSet : public TfrCustomDBDataSet {
public:
    using TfrCustomDBDataSet::TfrCustomDBDataSet;
};

// The version-3 engine's dataset component: the name reports use for it (UserName), the field
// aliases ("FIELD=Alias" lines) and a description text.
class TfrxDBDataset : public TfrCustomDBDataSet {
public:
    using TfrCustomDBDataSet::TfrCustomDBDataSet;
    const std::string& UserName() const { return m_userName; }
    void SetUserName(const std::string& name) { m_userName = name; }
    const std::vector<std::string>& FieldAliases() const { return m_aliases; }
    void SetFieldAliases(std::vector<std::string> aliases) { m_aliases = std::move(aliases); }
    // The alias of a field ("FIELD=Alias" looked up ignoring letter case); the field name itself
    // when the list has none.
    std::string GetAlias(const std::string& fieldName) const;
    // The field behind an alias (or a field name), the reverse of GetAlias.
    std::string GetFieldName(const std::string& alias) const;
    const std::string& Description() const { return m_description; }
    void SetDescription(const std::string& text) { m_description = text; }

private:
    std::string m_userName;
    std::vector<std::string> m_aliases;
    std::string m_description;
};

} // namespace lm
