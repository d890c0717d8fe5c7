// How text poked into a worksheet becomes cell values: the rules of a spreadsheet program
// under the Russian settings (decimal comma, dates day first), and the fraction fix that keeps
// texts such as "12/5" from turning into dates.
#pragma once

#include <string>
#include <string_view>

namespace lm {

class TWorksheet;

// What a typed text is. tkDate and tkTime are numbers (date serials) that also want a date or
// time format when the cell has none.
enum TTypedKind { tkEmpty, tkText, tkNumber, tkDate, tkDateTime, tkDayMonth, tkTime, tkBoolean };

struct TTypedValue {
    TTypedKind Kind = tkEmpty;
    double Number = 0;
    std::string_view Text;  // the text kept for tkText (a leading apostrophe removed)
    bool Seconds = false;   // a time was typed with its seconds
};

// Reads `text` (Windows-1251) as a spreadsheet program reads typed input: a number with a
// decimal comma ("-12,5", "1,5E3"), a date "dd.mm.yyyy", "d.m.yy", "d/m/yyyy" or "d.m" / "d/m"
// (this year) with an optional time "h:nn[:ss]", a time alone, "ИСТИНА" / "ЛОЖЬ"; anything
// else, and any text with a leading blank, is text. A leading apostrophe forces text.
TTypedValue ParseTypedText(std::string_view text);

// Puts typed text into a cell: with a text format ("@") the text as it stands, otherwise the
// value ParseTypedText finds; a date or time gets a matching format when the cell has none.
void TypeIntoCell(TWorksheet& sheet, int row, int col, std::string_view text);

// The fraction fix of an export line: the line is split at TABs (quoted items kept whole, an
// empty item after a trailing TAB kept); an item of 4 or 5 characters whose first "/" is at
// position 3 or earlier and whose text before it is an integer gets a leading blank; the items
// are joined again with a TAB after each.
std::string FractionFix(std::string_view line);

} // namespace lm
