// TColor and TFont as Qt colours and fonts; system colours come from the widget's palette.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "host/graphics.h"

namespace lm {

// An RGB colour as it is; a system colour (clWindow, clBtnFace, ...) as the palette's colour of
// that role; clNone and clDefault as an invalid QColor.
QColor ToQColor(TColor color, const QPalette& palette);
// `base` with the family, point size and style of `font` (its colour is not part of a QFont).
QFont ToQFont(const TFont& font, const QFont& base);

} // namespace lm
