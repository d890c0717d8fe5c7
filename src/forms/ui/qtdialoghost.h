// The Qt message boxes, confirmations and file dialogs behind lm::ShowMessageBox and
// lm::ShowFileDialog.
#pragma once

#include <functional>

namespace lm {

// Installs the Qt hooks: message boxes with Russian button captions, the icon of the flags,
// the default button the flags choose (MB_DEFBUTTON2/3) and Escape answering Cancel, No or
// Abort, modal over the active window; and Qt's file dialogs. Call once after the
// QApplication exists.
void InstallQtDialogHost();

// Runs `action`; an lm::Exception it raises is shown in an error message box (the silent abort
// shows nothing). Returns whether the action finished without one.
bool RunShowingErrors(const std::function<void()>& action);

} // namespace lm
