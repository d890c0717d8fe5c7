// SetTranslateFonts: the locale font for the grid columns and data-aware editors of the fields
// that always show Kazakh text.
#pragma once

#include <string>

class QWidget;

namespace lm {

// The dynamic property through which a data-aware editor names its field's full name, so
// that SetTranslateFonts finds it.
inline constexpr const char* kFieldNameProperty = "lmFieldFullName";

// For locale "KZ" only: every grid column (of a TQtDBGrid) and every widget carrying
// kFieldNameProperty, anywhere under `form`, whose field's full name upper-cased is one of the
// ";"-separated `fields` gets the font family `fontName`.
void SetTranslateFonts(QWidget* form, const std::string& locale, const std::string& fields, const std::string& fontName);

} // namespace lm
