// Dates in the XML Schema form "yyyy-mm-dd".
#pragma once

#include <string>
#include <string_view>

#include "util/sysutils.h"

namespace lm {

// The year as a plain number, "-", the month and "-", the day (month and day two digits).
std::string DatetoXSDDate(TDateTime d);
// The date from characters 1-4 (year), 6-7 (month) and 9-10 (day); EConvertError when they do
// not make a valid date.
TDateTime XSDDatetoDate(std::string_view s);

} // namespace lm
