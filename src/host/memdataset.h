// TMemDataSet: a dataset whose records live only in memory (the package's working datasets,
// tests, spreadsheet import targets).
#pragma once

#include "host/dataset.h"

namespace lm {

// The field definitions come from FieldDefs, or, when those are empty, from the data fields
// created beforehand (their names, types and sizes). Open starts with no records; the records
// are kept across Close only until the next Open.
class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
    // Opens the dataset empty (the name the platform's in-memory datasets use).
    void CreateDataSet() { Open(); }
    // Removes every record of an open dataset.
    void EmptyDataSet();
    // Sorts the records by the ";"-separated field names (all ascending or all descending).
    void SortOnFields(const std::string& fieldNames, bool descending = false);

protected:
    void InternalInitFieldDefs() override;
    void InternalLoadRecords() override {}
};

} // namespace lm
