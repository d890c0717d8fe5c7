// A named push button added to a dialog's button box, the way the package's dialogs lay them out.
#pragma once

#include <QDialogButtonBox>

#include <string>

class QPushButton;

namespace lm {

// Adds a button with the Windows-1251 `caption` and the object name `name` (by which tests and
// stored layouts find it) to `box` in `role`. It is not an auto-default button: Enter is the
// dialog's to interpret, not the focused button's.
QPushButton* AddDialogButton(QDialogButtonBox* box, const char* name, const std::string& caption,
                             QDialogButtonBox::ButtonRole role);

} // namespace lm
