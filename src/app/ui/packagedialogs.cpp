// The package's dialogs made the host's.
#include "app/ui/packagedialogs.h"

#include "color/ui/frmcolordlg.h"
#include "filter/ui/frmcfilter.h"
#include "filter/ui/frmsort.h"
#include "filter/ui/frmufilter.h"
#include "forms/ui/qtdialoghost.h"
#include "forms/ui/qtprogressui.h"
#include "report/ui/frmpreview.h"
#include "report/ui/frmprintwizard.h"
#include "report/ui/frmreportdesigner.h"

namespace lm {

void InstallPackageDialogs()
{
    InstallQtDialogHost();
    InstallQtProgressUi();
    TfrmUFilter::Install();
    TfrmCFilter::Install();
    TfrmSort::Install();
    TfrmColorDlg::Install();
    TfrmPreview::Install();
    TfrmPrintWizard::Install();
    TfrmReportDesigner::Install();
}

} // namespace lm
