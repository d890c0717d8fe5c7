// In-place conversions between Windows-1251 and the other Russian code pages: KOI8-R (mail
// and Unix text) and the DOS code page 866 (console and old DOS files).
#pragma once

#include <cstddef>
#include <string>

namespace lm {

// Converts KOI8-R text to Windows-1251 in place. Characters that Windows-1251 lacks (the
// box-drawing and mathematical signs of KOI8-R) become '?'.
void Q_KoitoWin(std::string& s);
// Converts Windows-1251 text to code page 866 in place; characters that code page 866 lacks
// become '?'.
void Q_WintoOEM(std::string& s);
// The same on the `len` bytes at `p`.
void Q_PStrToOemL(char* p, std::size_t len);

} // namespace lm
