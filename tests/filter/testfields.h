// Test helpers that add persistent and lookup fields to a closed dataset, shared by the filter
// tests and the fuzz targets.
#pragma once

#include <string>

#include "host/field.h"

namespace lmtest {

// Adds a field of class F named `name` to `ds` (owned by it), with its display label and the
// column it comes from ("" for a field the server does not know).
template <typename F>
F* addField(lm::TDataSet& ds, const char* name, const std::string& label, const char* origin)
{
    auto* f = new F(&ds);
    f->SetFieldName(name);
    f->SetDisplayLabel(label);
    f->SetOrigin(origin);
    f->SetDataSet(&ds);
    return f;
}

// Makes `field` a lookup: it shows `resultField` of the `lookup` record whose `lookupKey` equals
// the field's `keyField`.
inline void makeLookup(lm::TField* field, const char* keyField, lm::TDataSet* lookup, const char* lookupKey,
                       const char* resultField)
{
    field->SetFieldKind(lm::fkLookup);
    field->SetKeyFields(keyField);
    field->SetLookupDataSet(lookup);
    field->SetLookupKeyFields(lookupKey);
    field->SetLookupResultField(resultField);
}

} // namespace lmtest
