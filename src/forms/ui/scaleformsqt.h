// Scaling of package forms to the screen and to the process-wide font choice, on Qt widgets.
#pragma once

#include <string>

class QWidget;

namespace lm {

// The primary screen's logical pixels per inch (96 when there is no screen).
int ScreenPixelsPerInch();
// GetSizeSuffix for the primary screen.
std::string GetSizeSuffix();
// The height of "0" in the widget's font.
int TextHeight(const QWidget* widget);
// On a screen of more than 96 pixels per inch, the form's non-zero minimum height and width
// grow with its text height (layouts place and widen the controls themselves).
void ScaleForm(QWidget* form);
// Applies font index `index` (below 0: the current one; 0: nothing) to the form: its font
// family, size and weight, which every control inherits, and non-zero minimum sizes scaled by
// the ratio of the text heights after and before.
void ScaleByFont(QWidget* form, int index);

} // namespace lm
