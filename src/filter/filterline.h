// TFilterLine: one condition of the context search (a field or the multi-field search, the
// typed text and the values prepared from it) with its record test.
#pragma once

#include <string>
#include <vector>

#include "util/variant.h"

namespace lm {

class TContextFilter;
class TDataSet;
class TField;

class TFilterLine {
public:
    // `fieldName` "*" makes a multi-field line searching the owner's MultiFields.
    TFilterLine(TContextFilter* owner, TDataSet* dataSet, const std::string& fieldName, const std::string& value);

    const std::string& FieldName() const { return m_fieldName; }
    const std::string& Value() const { return m_value; }
    bool IsMulti() const { return m_multi; }
    // The line's field through the cached index; nullptr for a multi-field line or a field that
    // is gone.
    TField* GetField();
    // For a lookup field the dataset's key field it stands for, otherwise GetField().
    TField* TestedField();

    // Prepares Vals and Words once (a line given its values by SetVals is not prepared again).
    void PrepareVals();
    void SetVals(const std::vector<Variant>& vals);
    const std::vector<Variant>& Vals() const { return m_vals; }
    const std::vector<std::string>& Words() const { return m_words; }
    // The fields a multi-field line searches (after PrepareVals).
    const std::vector<TField*>& MultiFieldList() const { return m_multiFields; }

    // Whether every word occurs in `upperText` (already upper-cased).
    bool MatchWords(const std::string& upperText) const;
    // The test of the dataset's record under test (prepares first). A null field never matches;
    // the value "*" keeps every record.
    bool IsAccept();

private:
    bool acceptSingle(TField* field, std::size_t index);
    bool acceptText();
    void splitWords(const std::string& upper);

    TDataSet* m_dataSet;
    std::string m_fieldName;
    int m_fieldIndex = 0;     // cached positions of the field and of a lookup's key field
    int m_keyIndex = 0;
    std::string m_value;
    std::vector<Variant> m_vals;
    std::vector<std::string> m_words;
    TContextFilter* m_owner;
    std::vector<TField*> m_multiFields;
    std::string m_upper;      // the value upper-cased
    std::vector<std::string> m_valTexts;  // the texts of Vals, for the text comparisons
    std::string m_text;       // scratch text of the record under test
    bool m_prepared = false;
    bool m_all = false;       // the value "*": every record
    bool m_multi;
};

// Index of the field named `name` in `dataSet`, trying `cache` first and updating it; -1 when
// the dataset has no such field.
int CachedFieldIndex(TDataSet* dataSet, const std::string& name, int& cache);
// Splits `upper` at blanks and "*" into its non-empty words.
std::vector<std::string> SplitSearchWords(const std::string& upper);

} // namespace lm
