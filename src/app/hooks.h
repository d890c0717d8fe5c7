// The host-replaceable services behind the package's beeps and message boxes: a command-line
// host keeps the defaults, the widgets install their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lm {

// Message box flags and results, with the values of the platform's MessageBox.
enum TMessageBoxFlag : int {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
};
enum TModalResult : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Plays a tone of `frequency` Hz for `duration` ms.
using TBeepHook = std::function<void(int frequency, int duration)>;
// Shows `text` (Windows-1251) with the buttons and icon of `flags`; returns the button pressed.
using TMessageBoxHook = std::function<int(const std::string& text, const std::string& caption, int flags)>;

// Install a hook; an empty function restores the default. The default beep rings the terminal
// bell when stderr is a terminal; the default message box prints the text on stderr (UTF-8) and
// answers with the first button (OK, Abort, Yes or Retry).
void SetBeepHook(TBeepHook hook);
void SetMessageBoxHook(TMessageBoxHook hook);

void PlayBeep(int frequency, int duration);
int ShowMessageBox(const std::string& text, const std::string& caption, int flags);

// A file chosen to open or to save. `filter` lists "Description|*.ext;*.ext2" pairs separated by
// "|", as the platform's open dialogs take them; `fileName` is the proposal on the way in and
// the choice on the way out (both in the file system's encoding, UTF-8 here).
enum TFileDialogKind : uint8_t { fdOpen, fdSave };
struct TFileDialogRequest {
    TFileDialogKind Kind = fdOpen;
    std::string Caption;  // Windows-1251
    std::string Filter;   // Windows-1251
    std::string FileName;
};
// Returns true with `request.FileName` set to the file chosen; false when the user cancelled.
using TFileDialogHook = std::function<bool(TFileDialogRequest& request)>;
// Empty restores the default, which chooses nothing (a host without windows asks no one).
void SetFileDialogHook(TFileDialogHook hook);
bool ShowFileDialog(TFileDialogRequest& request);

} // namespace lm
