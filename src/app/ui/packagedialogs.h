// InstallPackageDialogs: one call that gives a Qt host every dialog of the package.
#pragma once

namespace lm {

// Installs the Qt message boxes and file dialogs, the progress box toolkit, and the filter,
// context search, sort and colour rules dialogs that TUFilter::Customize,
// TContextFilter::ExecDlg, TUserSort::ExecDlg and TColorGrid::Customize open. Call once after
// the QApplication exists.
void InstallPackageDialogs();

} // namespace lm
