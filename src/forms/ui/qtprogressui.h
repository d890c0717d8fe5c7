// TQtProgressUi: the Qt toolkit behind progress boxes and the waits of ExecAndWait.
#pragma once

#include "forms/progressbox.h"

namespace lm {

class TQtProgressUi : public IProgressUi {
public:
    // A TfrmProgressBox kept above the active window.
    IProgressWindow* CreateWindow(TProgressBox* box) override;
    // Disables QApplication's active window; nullptr when there is none.
    std::unique_ptr<IDisabledForm> DisableActiveForm(std::function<void()> formGone) override;
    void ProcessMessages() override;
    void ProcessPaint() override;
};

// Makes Qt the toolkit of every progress box and the process-messages hook of ExecAndWait.
// Call once after the QApplication exists.
void InstallQtProgressUi();

} // namespace lm
