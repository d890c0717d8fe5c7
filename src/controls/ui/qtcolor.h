// ToQColor: a package colour (0x00BBGGRR, or a system colour 0xFF0000nn) as a QColor, system
// colours taken from the widget's palette.
#pragma once

#include <QColor>
#include <QPalette>

#include "host/graphics.h"

namespace lm {

QColor ToQColor(TColor color, const QPalette& palette);

} // namespace lm
