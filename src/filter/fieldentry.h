// Filter entries made from dataset fields: TFieldEntry (usable in the forms the field allows)
// and TExtFieldEntry (a field with an explicit SQL expression, usable in SQL only).
#pragma once

#include <string>

#include "filter/filterentry.h"

namespace lm {

class TField;

class TFieldEntry : public TUFilterEntry {
public:
    // An entry for `field`, named by its display name. An invisible field, or a lookup over
    // several key fields, gets no kinds (and is never added to a list). Otherwise the entry is
    // local, and also SQL when the field has a SQL origin (see SQLOrigin).
    explicit TFieldEntry(TField* field);

    std::string CalcClause(TFilterKind kind) const override;
    std::string BoolClause(TFilterKind kind, const std::string& znak, const TCalcNode* right) const override;

    std::string FieldName;
    TDataSet* DataSet = nullptr;  // the field's dataset; not owned
    std::string SQLName;          // the column expression in SQL

protected:
    // The field of that name in DataSet, or nullptr.
    TField* findField(const std::string& name) const;
    // A native BOOLEAN column of a Firebird dataset: the server compares it only with
    // TRUE/FALSE, where a SMALLINT column of a boolean domain compares with 1/0.
    bool NativeBoolean = false;
};

class TExtFieldEntry : public TFieldEntry {
public:
    // An entry for `field` whose SQL text is `sqlName`; it is SQL-only whatever the field allows.
    TExtFieldEntry(TField* field, const std::string& sqlName);
};

// The column expression of `field` in its dataset's query ("G.NAME"), or empty when the field
// has none: the field's Origin when set (an Origin beginning with a digit counts as none), else
// for data and lookup fields of a Firebird dataset its GetFieldOriginAlias (of the key field
// for a lookup). Prepares a closed Firebird dataset.
std::string SQLOrigin(TField* field);

// Whether `field` reads a native BOOLEAN column of a Firebird dataset (by the statement's own
// description of its columns). False for any other field or dataset.
bool IsNativeBooleanColumn(TField* field);

} // namespace lm
