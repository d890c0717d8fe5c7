// The report rendered into a PDF file.
#include "report/ui/frxpdfprint.h"

#include "report/frxpainter.h"
#include "report/frxreport.h"
#include "report/frxrenderer.h"
#include "report/ui/frxqtpainter.h"

namespace lm {

void frxPrintToPdf(TfrxReport& report, const std::string& fileName)
{
    frxEnsureGuiApplication();
    TfrxQtPainter measure;
    TfrxRenderer renderer(report, measure);
    TfrxPreparedPages pages;
    renderer.Prepare(pages);
    frxExportPdf(pages, fileName, report.Prop("ReportOptions.Name"));
}

} // namespace lm
