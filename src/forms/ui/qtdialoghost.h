// The Qt message boxes, confirmations and file dialogs behind lm::ShowMessageBox and
// lm::ShowFileDialog.
#pragma once

namespace lm {

// Installs the Qt hooks: message boxes with Russian button captions, the icon of the flags,
// the default button the flags choose (MB_DEFBUTTON2/3) and Escape answering Cancel, No or
// Abort, modal over the active window; and Qt's file dialogs. Call once after the
// QApplication exists.
void InstallQtDialogHost();

} // namespace lm
