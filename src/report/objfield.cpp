// The print wizard's column candidate.
#include "report/objfield.h"

#include <algorithm>

#include "host/field.h"

namespace lm {

TObjField::TObjField(int width, TField* field, int npp, TFontStyles style)
    : FieldWidth((width + 2) / 4 * 4),
      FieldName(field ? field->FieldName() : std::string()),
      Field(field),
      IsNumeric(dynamic_cast<TNumericField*>(field) != nullptr),
      Npp(npp)
{
    VarName = field ? field->DisplayName() : std::string();
    std::replace(VarName.begin(), VarName.end(), '|', ' ');
    PrintLabel = VarName;
    Caption = VarName;
    Font.SetName("Arial");
    Font.SetSize(8);
    Font.SetStyle(style);
    Font.SetColor(clBlack);
    Alignment = IsNumeric ? 9 : dynamic_cast<TDateTimeField*>(field) ? 10 : 8;
}

} // namespace lm
