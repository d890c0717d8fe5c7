// TfrxReport: a version-3 report — pages with their bands and views, the report script, the
// variables, the report's own properties ("ReportOptions.*", "EngineOptions.*",
// "PrintOptions.*", "OnStartReport", "OnStopReport") — and its .fr3 file format.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "report/frxclasses.h"
#include "util/component.h"

namespace lm {

class TfrxDBDataset;

// One variable; a name that starts with a blank is a category heading.
struct TfrxVariable {
    std::string Name;
    std::string Value;
    bool operator==(const TfrxVariable&) const = default;
};

class TfrxReport : public TComponent, public TfrxComponent {
public:
    explicit TfrxReport(TComponent* owner = nullptr);
    ~TfrxReport() override;

    using TfrxComponent::Name;
    // Names both the component (for the owner's look-ups) and the report object.
    void SetName(const std::string& name);

    std::vector<std::string> ScriptText;
    std::vector<TfrxVariable> Variables;
    std::string FileName;

    std::vector<TfrxPage*> Pages() const;
    // Removes every object, property, script line and variable.
    void Clear();

    // The datasets reports print from: those added here first, then the TfrxDBDataset
    // components of the report's owner. Links, not owned; a dataset that goes away is dropped.
    void AddDataSet(TfrxDBDataset* dataSet);
    std::vector<TfrxDBDataset*> DataSets() const;
    // The dataset whose UserName is `name` (ignoring letter case), or null.
    TfrxDBDataset* GetDataset(const std::string& name) const;

    // Loads a report: .fr3 text, or any stream that the version-2 load hook takes (see
    // frxFR2Events). Raises lm::Exception for text that is not a report; the report is then empty.
    void LoadFromStream(const std::string& data);
    void LoadFromFile(const std::string& fileName);
    // The .fr3 text: an XML document in Windows-1251 with TfrxReport at the root.
    std::string SaveToString() const;
    // Written to a temporary name beside the file and renamed over it.
    void SaveToFile(const std::string& fileName) const;

    bool SameAs(const TfrxReport& other) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TfrxDBDataset*> m_dataSets;
};

// The hook through which the engine loads streams of the version-2 engine: OnLoad answers true
// when it took the stream and filled the report. Filter is the file mask of such files.
struct TfrxFR2Events {
    std::function<bool(TfrxReport& report, const std::string& data)> OnLoad;
    std::string Filter;
};
// The process-wide hook, installed by the version-2 converter.
TfrxFR2Events& frxFR2Events();

// The engine's global variables, visible to every report (names starting with a blank are
// categories).
std::vector<TfrxVariable>& frxGlobalVariables();

} // namespace lm
