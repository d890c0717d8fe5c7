// The colour table of the colour rules (58 named colours: standard, light tints and system
// colours) and the palette that turns system colours into real RGB values.
#pragma once

#include <functional>
#include <string>

#include "host/graphics.h"

namespace lm {

inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clError = 0x00DFDFFF;
inline constexpr TColor clSkyBlueLight = 0x00FFF8E0;
inline constexpr TColor clLigthGreen = 0x00CAFFCA;
inline constexpr TColor clLightOrange = 0x00AED7FF;
inline constexpr TColor clLightPurple = 0x00FFDFFF;
inline constexpr TColor clLightYellow = 0x00BFFFFF;

// Number of colours in the table (58).
int GetColorCount();
// The colour and the name at `index`; outside 0..57 both raise lm::Exception
// "TColorGrid: Индекс цвета (%d) выходит за границы [%d,%d]".
TColor GetColor(int index);
std::string GetColorName(int index);
// The index of `color` in the table, or -1.
int ColorIndex(TColor color);

// The RGB value (0x00BBGGRR) of a colour: system colours through the installed palette,
// others unchanged (clNone and clDefault too, as they are no colour of their own).
TColor ColorToRGB(TColor color);
// The palette answers a system colour (0xFF0000nn) with its RGB value; the user interface
// installs one that reads its own palette. An empty function restores the default, the classic
// light scheme.
using TSystemPalette = std::function<TColor(TColor systemColor)>;
void SetSystemPalette(TSystemPalette palette);
// The classic light scheme's value of a system colour (clWindow white, clWindowText black ...).
TColor ClassicSystemColor(TColor systemColor);

} // namespace lm
