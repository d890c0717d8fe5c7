// TObjField: one column candidate of the print wizard, built from one dataset field.
#pragma once

#include <string>

#include "host/graphics.h"

namespace lm {

class TField;

class TObjField {
public:
    // The width is brought to the nearest multiple of 4; the font is Arial 8 in `style`; the
    // alignment is 9 (right, middle) for numbers, 10 (centred both ways) for dates and times,
    // 8 (left, middle) otherwise.
    TObjField(int width, TField* field, int npp, TFontStyles style = 0);

    int FieldWidth;
    std::string FieldName;
    std::string VarName;     // the display name with "|" as a blank: the report variable
    std::string PrintLabel;  // the column heading
    TFont Font;
    TField* Field;
    bool Flag = true;
    bool IsNumeric;
    int Npp;
    int Alignment;
    std::string Sample;      // a sample value for the column strip
    std::string Caption;     // the prefixed display name the lists show
};

} // namespace lm
