// The one crossing between the package's Windows-1251 text and QString.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace lm {

QString ToQString(std::string_view cp1251);
// The Windows-1251 bytes of `text`; nullopt when a character has no byte in the code page.
std::optional<std::string> FromQString(const QString& text);
// Whether every character of `text` has a Windows-1251 byte.
bool FitsCp1251(const QString& text);

} // namespace lm
