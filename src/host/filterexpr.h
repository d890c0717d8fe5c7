// TFilterExpr: the compiled form of a dataset's local Filter text, evaluated per record with
// SQL's three-valued logic.
//
// The language (keywords in any letter case):
//   condition  := or-term { OR or-term }      or-term := not-term { AND not-term }
//   not-term   := NOT not-term | predicate | "(" condition ")"
//   predicate  := value ( "=" | "<>" | "!=" | "<" | ">" | "<=" | ">=" ) value
//               | value [NOT] LIKE value     ("%" any run, "_" one character)
//               | value IS [NOT] NULL
//               | value                      (a number: true when not 0)
//   value      := term { ("+" | "-") term }  term := factor { ("*" | "/") factor }
//   factor     := ["-" | "+"] ( number | 'string' | NULL | CURRENT_DATE | CURRENT_TIMESTAMP
//               | UPPER "(" value ")" | LOWER "(" value ")" | field | "(" value ")" )
//   field      := a name of letters, digits, "_" and "$"; or "name" or [name] with any characters
//   number     := digits with an optional fraction after the locale's decimal separator or "."
//   'string'   := single quotes, a quote inside doubled
// Semantics follow the server's WHERE: a comparison or LIKE with a null side is unknown; NOT of
// unknown is unknown; AND/OR use the three-valued tables; a record passes only when the whole
// condition is true. Strings compare byte-wise with trailing blanks ignored; a string meets a
// number by converting the text to a number and a date field by converting it to a date-time
// (a text that does not convert makes the comparison unknown, except a constant, which is an
// error when the filter is compiled). Dates are day numbers, so CURRENT_DATE - 7 is a week ago.
// Division by zero gives null.
#pragma once

#include <memory>
#include <string>

#include "host/recordstore.h"
#include "util/exceptions.h"

namespace lm {

class TDataSet;

// A filter text that does not compile. The message reads
// "Ошибка в выражении фильтра \"<text>\" в позиции <n>: <reason>"; Position is 1-based.
class EFilterError : public Exception {
public:
    EFilterError(const std::string& text, int position, const std::string& reason);
    int Position() const { return m_position; }
    const std::string& Reason() const { return m_reason; }

private:
    int m_position;
    std::string m_reason;
};

enum class TFilterTruth : int8_t { ftFalse, ftTrue, ftUnknown };

class TFilterExpr {
public:
    // Compiles `text` against the fields of `dataSet` (names are matched ignoring letter case).
    // Raises EFilterError on any syntax error, unknown field or constant that does not convert.
    TFilterExpr(const std::string& text, TDataSet& dataSet);
    ~TFilterExpr();
    TFilterExpr(const TFilterExpr&) = delete;
    TFilterExpr& operator=(const TFilterExpr&) = delete;

    const std::string& Text() const { return m_text; }
    // Whether the text reads lookup fields; those are read through the fields, so the dataset
    // must then be positioned on the record (its dsFilter state does that).
    bool ReadsThroughFields() const;

    // The truth of the condition for record `rec` of the dataset's store. No allocation on the
    // common paths (stored fields, constants, UPPER, LIKE).
    TFilterTruth Evaluate(TRecordStore::RecId rec) const;
    bool Matches(TRecordStore::RecId rec) const { return Evaluate(rec) == TFilterTruth::ftTrue; }

private:
    struct Program;
    std::string m_text;
    std::unique_ptr<Program> m_program;
};

} // namespace lm
