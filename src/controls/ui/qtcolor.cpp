// Package colours to QColor.
#include "controls/ui/qtcolor.h"

#include "controls/afpanel.h"

namespace lm {

QColor ToQColor(TColor color, const QPalette& palette)
{
    switch (color) {
    case clBtnFace: return palette.color(QPalette::Button);
    case clWindow: return palette.color(QPalette::Base);
    case clWindowText: return palette.color(QPalette::Text);
    case clHighlight: return palette.color(QPalette::Highlight);
    case clHighlightText: return palette.color(QPalette::HighlightedText);
    case clInfoBk: return palette.color(QPalette::ToolTipBase);
    default: break;
    }
    const auto c = static_cast<uint32_t>(color);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace lm
