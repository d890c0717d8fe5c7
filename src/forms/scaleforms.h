// The process-wide font choice of the package's forms: the font index table, the size suffix
// under which a form keeps its size per screen resolution and font, and the integer arithmetic
// of scaling a form.
#pragma once

#include <string>

namespace lm {

// A form designed at 96 pixels per inch with text 13 pixels high.
inline constexpr int kDesignPixelsPerInch = 96;
inline constexpr int kDesignTextHeight = 13;

// One row of the font index table. An empty Name and a Size of 0 leave the form's font as it is.
struct TFontChoice {
    std::string Name;
    int Size = 0;  // points
    bool Bold = false;
    std::string Suffix;
};

// Index 0 (the default) leaves forms as designed; 1 to 4 choose a larger or bold font. An index
// outside 0..4 is stored as 0.
void SetFontIndex(int index);
int GetFontIndex();
// Whether the current index chooses a bold font (2 and 4).
bool IsBoldFont();
// The table row of `index` (out of range: row 0). `tahomaInstalled` picks "Tahoma" over
// "MS Sans Serif" for the bold rows.
TFontChoice FontChoice(int index, bool tahomaInstalled);
// The screen's pixels per inch in decimal when it is not 96 (else nothing), then the suffix of
// the current font index: "120L" at 120 pixels per inch with index 3.
std::string GetSizeSuffix(int screenPixelsPerInch);

// value * num / den in integers, truncated toward zero, as every scaling step is done.
int MulDiv(int value, int num, int den);
// A minimum height and width of a form scaled for text `textHeight` pixels high (the height of
// "0") on a screen of more than 96 pixels per inch: height * H / 13, width * H / 13 * 14 / 13.
// Zero stays zero.
int ScaledMinHeight(int minHeight, int textHeight);
int ScaledMinWidth(int minWidth, int textHeight);

} // namespace lm
