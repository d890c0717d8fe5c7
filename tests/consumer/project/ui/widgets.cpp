// Links the installed widgets library: creates the progress window without showing it.
#include <QApplication>

#include "forms/progressbox.h"
#include "forms/ui/frmprogressbox.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    lm::TProgressBox progress;
    lm::TfrmProgressBox window(&progress, nullptr);
    return 0;
}
