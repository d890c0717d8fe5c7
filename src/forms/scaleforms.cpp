// Font index table and scaling arithmetic of the package's forms.
#include "forms/scaleforms.h"

#include <array>
#include <cstdint>

namespace lm {

namespace {

int g_fontIndex = 0;

struct FontRow {
    int size;
    bool bold;
    const char* suffix;
};
constexpr std::array<FontRow, 5> kFontRows = {{
    {0, false, ""}, {10, false, "M"}, {10, true, "MB"}, {12, false, "L"}, {12, true, "LB"},
}};

bool validIndex(int index) { return index >= 0 && index < static_cast<int>(kFontRows.size()); }

} // namespace

void SetFontIndex(int index) { g_fontIndex = validIndex(index) ? index : 0; }

int GetFontIndex() { return g_fontIndex; }

bool IsBoldFont() { return kFontRows[g_fontIndex].bold; }

TFontChoice FontChoice(int index, bool tahomaInstalled)
{
    if (!validIndex(index) || index == 0)
        return {};
    const FontRow& row = kFontRows[index];
    TFontChoice choice;
    choice.Name = row.bold && tahomaInstalled ? "Tahoma" : "MS Sans Serif";
    choice.Size = row.size;
    choice.Bold = row.bold;
    choice.Suffix = row.suffix;
    return choice;
}

std::string GetSizeSuffix(int screenPixelsPerInch)
{
    std::string suffix;
    if (screenPixelsPerInch != kDesignPixelsPerInch)
        suffix = std::to_string(screenPixelsPerInch);
    return suffix + kFontRows[g_fontIndex].suffix;
}

int MulDiv(int value, int num, int den)
{
    if (den == 0)
        return value;
    return static_cast<int>(static_cast<int64_t>(value) * num / den);
}

int ScaledMinHeight(int minHeight, int textHeight)
{
    return minHeight == 0 ? 0 : MulDiv(minHeight, textHeight, kDesignTextHeight);
}

int ScaledMinWidth(int minWidth, int textHeight)
{
    return minWidth == 0 ? 0 : MulDiv(MulDiv(minWidth, textHeight, kDesignTextHeight), 14, 13);
}

} // namespace lm
