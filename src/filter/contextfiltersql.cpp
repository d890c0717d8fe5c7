// TContextFilter::GetSQL: the current conditions as " and ..." terms for the host's query.
// Every typed text is either checked to be a number or a date, or put into a quoted literal
// with its quotes doubled, so no text can change the statement.
#include <string>

#include "db/fibdataset.h"
#include "filter/contextfilter.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

bool isStringType(TFieldType type) { return type == ftString || type == ftFixedChar || type == ftMemo; }

// The column a line's field reads in the query: its Origin, for a lookup field that of its key
// field, else what the query's metadata tells.
std::string columnOf(TpFIBDataSet* ds, TField* field, TField* tested)
{
    std::string column = field->Origin();
    if (column.empty() && tested)
        column = tested->Origin();
    if (column.empty() && tested && tested->FieldKind() == fkData)
        column = ds->GetFieldOriginAlias(tested);
    // an expression column has no table part and no usable name
    if (!column.empty() && column[0] == '.')
        column.clear();
    return column;
}

// One prepared value as a SQL literal for the tested field.
std::string literal(TpFIBDataSet* ds, TField* tested, const Variant& value)
{
    if (value.IsNullOrEmpty())
        return "null";
    const TFieldType type = tested->DataType();
    if (isStringType(type))
        return quoted(value.AsString());
    if (type == ftDate || type == ftDateTime) {
        const std::string text = value.AsString();
        StrToDateTime(text);  // raises EConvertError for text that is not a date
        return quoted(text);
    }
    if (type == ftBoolean) {
        const bool b = value.AsBoolean();
        if (ds->IsNativeBoolean(tested))
            return b ? "true" : "false";
        return b ? "1" : "0";
    }
    if (IsNumericType(type)) {
        std::string text = value.AsString();
        StrToFloat(text);  // raises EConvertError for text that is not a number
        for (char& c : text)
            if (c == FormatSettings.DecimalSeparator)
                c = '.';
        return text;
    }
    return quoted(value.AsString());
}

} // namespace

std::string TContextFilter::GetSQL(unsigned)
{
    auto* ds = dynamic_cast<TpFIBDataSet*>(m_dataSet);
    if (!m_filterOn || !ds)
        return std::string();
    std::string sql;
    for (const auto& line : m_lines) {
        if (line->Value().empty())
            continue;
        TField* field = line->GetField();
        if (OnSQLLine) {
            std::string answer;
            OnSQLLine(this, field, line->Value(), answer);
            if (!answer.empty()) {
                sql += " AND " + answer;
                continue;
            }
        }
        line->PrepareVals();
        if (!field)
            continue;
        TField* tested = line->TestedField();
        const std::string column = columnOf(ds, field, tested);
        if (column.empty() || !tested)
            continue;
        if (Trim(line->Value()) == "*") {
            sql += " and 1=1";
            continue;
        }
        const std::vector<Variant>& vals = line->Vals();
        if (field->FieldKind() == fkData && isStringType(field->DataType()) && vals.size() <= 1) {
            const std::vector<std::string>& words = line->Words();
            const std::vector<std::string> parts = words.empty() ? std::vector<std::string>{upperCase(line->Value())} : words;
            for (const std::string& part : parts)
                sql += " and upper(" + column + ") like " + quoted("%" + part + "%");
            continue;
        }
        std::string list;
        for (const Variant& v : vals) {
            if (!list.empty())
                list += ",";
            list += literal(ds, tested, v);
        }
        sql += " and " + column + (vals.size() > 1 ? " in (" + list + ")" : " = " + list);
    }
    return sql;
}

} // namespace lm
