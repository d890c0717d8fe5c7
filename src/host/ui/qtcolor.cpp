// Colour and font conversion for the grid.
#include "host/ui/qtcolor.h"

#include "util/ui/qcp1251.h"

namespace lm {

namespace {

// The platform's system colour indexes and the palette roles that stand for them.
QPalette::ColorRole roleOf(unsigned index, QPalette::ColorGroup& group)
{
    group = QPalette::Active;
    switch (index) {
    case 5: return QPalette::Base;             // clWindow
    case 8: return QPalette::Text;             // clWindowText
    case 13: return QPalette::Highlight;       // clHighlight
    case 14: return QPalette::HighlightedText; // clHighlightText
    case 15: return QPalette::Button;          // clBtnFace
    case 16: return QPalette::Dark;            // clBtnShadow
    case 17: group = QPalette::Disabled; return QPalette::Text;  // clGrayText
    case 18: return QPalette::ButtonText;      // clBtnText
    case 20: return QPalette::Light;           // clBtnHighlight
    case 23: return QPalette::ToolTipText;     // clInfoText
    case 24: return QPalette::ToolTipBase;     // clInfoBk
    default: return QPalette::Window;
    }
}

} // namespace

QColor ToQColor(TColor color, const QPalette& palette)
{
    if (color == clNone || color == clDefault)
        return QColor();
    const auto bits = static_cast<uint32_t>(color);
    if ((bits & 0xFF000000u) == 0xFF000000u) {
        QPalette::ColorGroup group;
        const QPalette::ColorRole role = roleOf(bits & 0xFFu, group);
        return palette.color(group, role);
    }
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

QFont ToQFont(const TFont& font, const QFont& base)
{
    QFont out = base;
    if (!font.Name().empty())
        out.setFamily(ToQString(font.Name()));
    if (font.Size() > 0)
        out.setPointSize(font.Size());
    out.setBold(font.Style() & fsBold);
    out.setItalic(font.Style() & fsItalic);
    out.setUnderline(font.Style() & fsUnderline);
    out.setStrikeOut(font.Style() & fsStrikeOut);
    return out;
}

} // namespace lm
