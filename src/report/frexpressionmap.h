// TfrExpressionMap: maps the bracketed expressions of version-2 reports to version-3 names
// (report information, engine values, dialog form prefixes, dataset fields by the version-3
// dataset's user name).
#pragma once

#include <string>

namespace lm {

class TfrxDBDataset;
class TfrxReport;

class TfrExpressionMap {
public:
    // The report whose datasets (and whose owner's dataset components) name the fields.
    explicit TfrExpressionMap(const TfrxReport& report) : m_report(report) {}

    // Every bracketed expression of text mapped (inner brackets first). With bare the outermost
    // results are put back without their brackets (highlight conditions); otherwise between
    // "[" and "]". An opening bracket without its closing one leaves the rest of the text as it is.
    std::string Text(const std::string& text, bool bare) const;
    // One expression mapped as a whole: the table of version-2 names (when useTable), the
    // "DialogForm." prefix removed, a dataset field D."F" rewritten with D's user name.
    std::string Name(const std::string& name, bool useTable) const;
    // The version-3 dataset serving a version-2 dataset name: a TfrxDBDataset of that component
    // name or user name, or the one over the same TDataSet as the version-2 dataset component of
    // that name among the report owner's components. A "Form." qualifier is ignored. Null when none.
    TfrxDBDataset* Dataset(const std::string& v2Name) const;

private:
    const TfrxReport& m_report;
};

// Splits D."F" (D not empty, F without quotes) into its dataset and field; false for anything else.
bool splitFieldReference(const std::string& text, std::string& dataset, std::string& field);

// The position of the "]" that closes the "[" at open, skipping apostrophe strings and
// double-quoted names; npos when there is none.
std::size_t matchingBracket(const std::string& text, std::size_t open);

} // namespace lm
