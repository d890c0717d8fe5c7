// Reading and writing the demo application's settings.
#include "demosettings.h"

#include "app/globals.h"

namespace lm {

namespace {

constexpr const char* kKey = "Settings";

int clamp(int value, int low, int high, int fallback)
{
    return value < low || value > high ? fallback : value;
}

} // namespace

void TDemoSettings::Load()
{
    const TDemoSettings d;
    UseOpenOffice = LMReadRegInt("UseOpenOffice", d.UseOpenOffice, kKey) != 0;
    KazakhKeyboard = LMReadRegInt("KazakhKeyboard", d.KazakhKeyboard, kKey) != 0;
    ShowFooters = LMReadRegInt("ShowFooters", d.ShowFooters, kKey) != 0;
    GridFontSize = clamp(LMReadRegInt("GridFontSize", d.GridFontSize, kKey), 7, 14, d.GridFontSize);
    ExpensivePrice = clamp(LMReadRegInt("ExpensivePrice", d.ExpensivePrice, kKey), 1, 10000000, d.ExpensivePrice);
}

void TDemoSettings::Save() const
{
    LMWriteRegInt("UseOpenOffice", UseOpenOffice, kKey);
    LMWriteRegInt("KazakhKeyboard", KazakhKeyboard, kKey);
    LMWriteRegInt("ShowFooters", ShowFooters, kKey);
    LMWriteRegInt("GridFontSize", GridFontSize, kKey);
    LMWriteRegInt("ExpensivePrice", ExpensivePrice, kKey);
}

} // namespace lm
