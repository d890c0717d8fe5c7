// Default beep and message box, and their replacement by the host.
#include "app/hooks.h"

#include <unistd.h>

#include <cstdio>

#include "util/cp1251.h"

namespace lm {

namespace {

TBeepHook& beepHook()
{
    static TBeepHook hook;
    return hook;
}

TMessageBoxHook& messageBoxHook()
{
    static TMessageBoxHook hook;
    return hook;
}

TFileDialogHook& fileDialogHook()
{
    static TFileDialogHook hook;
    return hook;
}

} // namespace

void SetFileDialogHook(TFileDialogHook hook) { fileDialogHook() = std::move(hook); }

bool ShowFileDialog(TFileDialogRequest& request)
{
    return fileDialogHook() && fileDialogHook()(request);
}

void SetBeepHook(TBeepHook hook) { beepHook() = std::move(hook); }

void SetMessageBoxHook(TMessageBoxHook hook) { messageBoxHook() = std::move(hook); }

void PlayBeep(int frequency, int duration)
{
    if (beepHook()) {
        beepHook()(frequency, duration);
        return;
    }
    if (isatty(STDERR_FILENO))
        std::fputc('\a', stderr);
}

int ShowMessageBox(const std::string& text, const std::string& caption, int flags)
{
    if (messageBoxHook())
        return messageBoxHook()(text, caption, flags);
    std::fprintf(stderr, "%s\n", cp1251ToUtf8(text).c_str());
    switch (flags & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

} // namespace lm
