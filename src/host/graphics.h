// TColor and TFont: the colour and font values that grids, colour rules and reports hand
// around, with the platform's colour numbering (0x00BBGGRR, system colours 0xFF0000nn).
#pragma once

#include <cstdint>
#include <string>

namespace lm {

using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
inline constexpr TColor clWindowText = static_cast<TColor>(0xFF000008u);
inline constexpr TColor clHighlight = static_cast<TColor>(0xFF00000Du);
inline constexpr TColor clHighlightText = static_cast<TColor>(0xFF00000Eu);

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;  // a set of TFontStyle bits

class TFont {
public:
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    int Size() const { return m_size; }  // points
    void SetSize(int size) { m_size = size; }
    TColor Color() const { return m_color; }
    void SetColor(TColor color) { m_color = color; }
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style) { m_style = style; }
    bool operator==(const TFont&) const = default;

private:
    std::string m_name = "MS Sans Serif";
    int m_size = 8;
    TColor m_color = clWindowText;
    TFontStyles m_style = 0;
};

} // namespace lm
