// The colour table and the system palette.
#include "color/lmcolors.h"

#include <array>

#include "util/exceptions.h"
#include "util/cp1251.h"

namespace lm {

namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

constexpr TColor sys(uint32_t n) { return static_cast<TColor>(0xFF000000u | n); }

constexpr std::array<NamedColor, 58> kTable = {{
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clError, "clError"}, {clSkyBlueLight, "clSkyBlueLight"}, {clLigthGreen, "clLigthGreen"},
    {clLightOrange, "clLightOrange"}, {clLightPurple, "clLightPurple"}, {clLightYellow, "clLightYellow"},
    {sys(10), "clActiveBorder"}, {sys(2), "clActiveCaption"}, {sys(12), "clAppWorkSpace"},
    {sys(1), "clBackground"}, {sys(15), "clBtnFace"}, {sys(20), "clBtnHighlight"}, {sys(16), "clBtnShadow"},
    {sys(18), "clBtnText"}, {sys(9), "clCaptionText"}, {clDefault, "clDefault"},
    {sys(27), "clGradientActiveCaption"}, {sys(28), "clGradientInactiveCaption"}, {sys(17), "clGrayText"},
    {sys(13), "clHighlight"}, {sys(14), "clHighlightText"}, {sys(26), "clHotLight"},
    {sys(11), "clInactiveBorder"}, {sys(3), "clInactiveCaption"}, {sys(19), "clInactiveCaptionText"},
    {sys(24), "clInfoBk"}, {sys(23), "clInfoText"}, {sys(4), "clMenu"}, {sys(30), "clMenuBar"},
    {sys(29), "clMenuHighlight"}, {sys(7), "clMenuText"}, {clNone, "clNone"}, {sys(0), "clScrollBar"},
    {sys(21), "cl3DDkShadow"}, {sys(22), "cl3DLight"}, {sys(5), "clWindow"}, {sys(6), "clWindowFrame"},
    {sys(8), "clWindowText"},
}};

// The classic light scheme, by system colour number 0..30 (BGR values).
constexpr std::array<TColor, 31> kClassic = {
    0xC8C8C8, 0x808000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,  // 0-7
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,  // 8-15
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,  // 16-23
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,            // 24-30
};

TSystemPalette& palette()
{
    static TSystemPalette p;
    return p;
}

void checkIndex(int index)
{
    if (index < 0 || index >= GetColorCount())
        throw Exception(Format("TColorGrid: Индекс цвета (%d) выходит за границы [%d,%d]"_w, {index, 0, GetColorCount() - 1}));
}

bool isSystem(TColor c) { return (static_cast<uint32_t>(c) & 0xFF000000u) == 0xFF000000u; }

} // namespace

int GetColorCount() { return static_cast<int>(kTable.size()); }

TColor GetColor(int index)
{
    checkIndex(index);
    return kTable[static_cast<size_t>(index)].color;
}

std::string GetColorName(int index)
{
    checkIndex(index);
    return kTable[static_cast<size_t>(index)].name;
}

int ColorIndex(TColor color)
{
    for (size_t i = 0; i < kTable.size(); ++i)
        if (kTable[i].color == color)
            return static_cast<int>(i);
    return -1;
}

TColor ClassicSystemColor(TColor systemColor)
{
    const uint32_t n = static_cast<uint32_t>(systemColor) & 0xFFu;
    return n < kClassic.size() ? kClassic[n] : clBlack;
}

TColor ColorToRGB(TColor color)
{
    if (!isSystem(color))
        return color;
    return palette() ? palette()(color) : ClassicSystemColor(color);
}

void SetSystemPalette(TSystemPalette p)
{
    palette() = std::move(p);
}

} // namespace lm
