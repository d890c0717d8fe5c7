// The display formats of report memos: numbers by "%w.pf", "%w.pn", "%g", "%d" or a picture
// such as "#,##0.00", dates and times by a date pattern, Booleans by a "False,True" pair.
#pragma once

#include <string>

#include "util/variant.h"

namespace lm {

class TfrxComponent;

// The value's text under the memo's DisplayFormat.Kind, DisplayFormat.FormatStr and
// DisplayFormat.DecimalSeparator (fkText: the value's own text; Null: empty). HideZeros gives
// an empty text for a numeric zero.
std::string frxFormatValue(const Variant& value, const TfrxComponent& memo);

// A number by a printf-like format ("%2.2f", "%n", "%g", "%d") or a FormatFloat picture, with
// the given decimal separator.
std::string frxFormatNumber(double value, const std::string& format, char decimalSeparator);

} // namespace lm
