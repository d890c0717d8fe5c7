// Byte-level text helpers shared by the XML sources (not installed).
#pragma once

#include <string>
#include <string_view>

namespace lm::xmltext {

// Equality and three-way comparison ignoring letter case by the Windows-1251 tables.
bool sameText(std::string_view a, std::string_view b);
int compText(std::string_view a, std::string_view b);
// Every occurrence of find replaced by replace, left to right, non-overlapping (an empty find
// changes nothing).
std::string replaceAll(std::string_view s, std::string_view find, std::string_view replace);
// The text without the bytes up to ' ' at both ends.
std::string_view trim(std::string_view s);
// The whole file as bytes; EInOutError "Cannot open file "%s". %s" when it cannot be read.
std::string readFile(const std::string& fileName);

} // namespace lm::xmltext
