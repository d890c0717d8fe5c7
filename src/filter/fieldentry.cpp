// Field entries: how a dataset field is named and compared in the SQL and the local statement.
#include "filter/fieldentry.h"

#include "filter/filternode.h"
#include "filter/ufilter.h"
#include "host/dataset.h"
#include "util/cp1251.h"

namespace lm {

namespace {

bool isStringType(TFieldType type)
{
    return type == ftString || type == ftFixedChar;
}

// The local filter reads a bare name only when it is a plain identifier that is not one of its
// words; anything else goes between brackets.
std::string localName(const std::string& name)
{
    static const char* const words[] = {"AND", "OR", "NOT", "LIKE", "IS", "NULL", "UPPER", "LOWER",
                                        "CURRENT_DATE", "CURRENT_TIMESTAMP"};
    bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!(isLetter(u) || (u >= '0' && u <= '9') || u == '_' || u == '$'))
            plain = false;
    }
    if (plain) {
        const std::string upper = upperCase(name);
        for (const char* word : words)
            if (upper == word)
                plain = false;
    }
    return plain ? name : "[" + name + "]";
}

} // namespace

TFieldEntry::TFieldEntry(TField* field)
{
    FieldName = field->FieldName();
    DataSet = field->DataSet();
    EntryName = field->DisplayName();
    // What the field is, also for a hidden one: a TExtFieldEntry stands for it in SQL.
    IsNumeric = !field->Lookup() && IsNumericType(field->DataType());
    IsLookup = field->Lookup();
    if (IsLookup) {
        LookupDataSet = field->LookupDataSet();
        LookupKeyFields = field->LookupKeyFields();
        LookupResultField = field->LookupResultField();
    }
    IsBoolean = field->DataType() == ftBoolean;
    if (!field->Visible())
        return;
    if (field->Lookup() && field->KeyFields().find(';') != std::string::npos)
        return;
    Kinds = {fkLocal};
    SQLName = SQLOrigin(field);
    if (!SQLName.empty())
        Kinds.Include(fkSQL);
    NativeBoolean = IsBoolean && Kinds.Contains(fkSQL) && IsNativeBooleanColumn(field);
}

TField* TFieldEntry::findField(const std::string& name) const
{
    return DataSet ? DataSet->FindField(name) : nullptr;
}

std::string TFieldEntry::CalcClause(TFilterKind kind) const
{
    if (!Kinds.Contains(kind))
        return {};
    if (kind == fkSQL)
        return SQLName;
    const TField* field = findField(FieldName);
    if (!field)
        return {};
    return localName(IsLookup ? field->KeyFields() : field->FieldName());
}

std::string TFieldEntry::BoolClause(TFilterKind kind, const std::string& znak, const TCalcNode* right) const
{
    std::string left = CalcClause(kind);
    if (left.empty())
        return {};
    std::string op = znak;
    std::string value;
    bool notWrap = false;

    if (IsBoolean) {
        if (op.empty())
            op = "=";
        if (!right) {
            value = "1";
        } else if (right->NodeType == ntNullConst) {
            op = " IS ";
            value = "NULL";
        } else {
            value = upperCase(right->Statement(kind));
            if (value == "'ДА'"_w)
                value = "1";
            else if (value == "'НЕТ'"_w)
                value = "0";
        }
        // The server compares a native BOOLEAN column only with TRUE/FALSE.
        if (kind == fkSQL && (value == "1" || value == "0") && NativeBoolean)
            value = value == "1" ? "TRUE" : "FALSE";
    } else if (right) {
        value = right->Statement(kind);
        if (right->NodeType == ntStrConst) {
            if (IsLookup) {
                value = GetKeyValue(right->ConstText);
                const TField* lookupField = findField(FieldName);
                const TField* keyField = lookupField ? findField(lookupField->KeyFields()) : nullptr;
                if (!value.empty() && keyField && isStringType(keyField->DataType()))
                    value = "'" + QuoteDoubled(value) + "'";
            } else if (value.find('*') != std::string::npos && (op == "=" || op == "<>")) {
                notWrap = op == "<>";
                op = " LIKE ";
                for (char& c : value)
                    if (c == '*')
                        c = '%';
            }
            const TField* field = findField(FieldName);
            if (FilterOwner && FilterOwner->Options().Contains(ufoIgnoreCase) && !IsLookup && field &&
                isStringType(field->DataType()))
                left = kind == fkLocal ? "UPPER(" + left + ")" : "UPPER(" + left + " COLLATE PXW_CYRL)";
        } else if (right->NodeType == ntNullConst) {
            op = " IS ";
        }
    }
    if (value.empty())
        return {};
    std::string result = left + op + value;
    return notWrap ? "(NOT " + result + ")" : result;
}

TExtFieldEntry::TExtFieldEntry(TField* field, const std::string& sqlName) : TFieldEntry(field)
{
    Kinds = {fkSQL};
    SQLName = sqlName;
}

} // namespace lm
