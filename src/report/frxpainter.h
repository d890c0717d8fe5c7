// TfrxPainter: the drawing surface of the report renderer (a PDF writer, a page image, a test
// recorder), and TfrxPreparedPages, the laid-out pages that are drawn on it.
//
// Coordinates are engine units (96 per inch) from the paper's top left corner; paper sizes are
// millimetres. Texts are Windows-1251; each text item is one line placed by the renderer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics.h"

namespace lm {

struct TfrxFont {
    std::string Name = "Arial";
    double Size = 10;  // points
    TFontStyles Style = 0;
    TColor Color = clBlack;
    bool operator==(const TfrxFont&) const = default;
};

// One thing to draw on a page.
struct TfrxDrawItem {
    enum Kind : uint8_t { dkText, dkFill, dkLine, dkShape, dkPicture } Kind = dkText;
    double X = 0, Y = 0, W = 0, H = 0;  // a text's line box; a line's start and extent
    std::string Text;                   // text; picture bytes
    TfrxFont Font;
    int Rotation = 0;                   // degrees counter-clockwise (text)
    TColor Color = clBlack;             // fill, line or shape outline
    TColor FillColor = clNone;          // shape fill
    double LineWidth = 1;
    int LineStyle = 0;                  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 double
    int Shape = 0;                      // 0 rectangle, 1 rounded, 2 ellipse, 3 triangle, 4 and 5 diagonals
    bool KeepAspect = true;             // picture
};

struct TfrxPreparedPage {
    double PaperWidth = 210, PaperHeight = 297;  // millimetres
    std::vector<TfrxDrawItem> Items;
};

class TfrxPainter {
public:
    virtual ~TfrxPainter() = default;
    // Text measurement in engine units.
    virtual double TextWidth(const TfrxFont& font, std::string_view text) = 0;
    // The distance between two lines of the font.
    virtual double LineHeight(const TfrxFont& font) = 0;

    virtual void BeginPage(const TfrxPreparedPage& page) = 0;
    virtual void Draw(const TfrxDrawItem& item) = 0;
    virtual void EndPage() = 0;
};

// The pages of a rendered report.
class TfrxPreparedPages {
public:
    std::vector<TfrxPreparedPage> Pages;
    int Count() const { return static_cast<int>(Pages.size()); }
    // Draws every page (or the one at index) on the painter.
    void Draw(TfrxPainter& painter) const;
    void DrawPage(int index, TfrxPainter& painter) const;
};

} // namespace lm
