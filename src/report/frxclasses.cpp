// The factory of version-3 report objects.
#include "report/frxclasses.h"

#include <set>

namespace lm {

namespace {

const std::set<std::string, std::less<>> kBands = {
    "TfrxReportTitle", "TfrxReportSummary", "TfrxPageHeader", "TfrxPageFooter", "TfrxHeader",
    "TfrxFooter", "TfrxMasterData", "TfrxDetailData", "TfrxSubdetailData", "TfrxGroupHeader",
    "TfrxGroupFooter", "TfrxColumnHeader", "TfrxColumnFooter", "TfrxOverlay", "TfrxChild"};

const std::set<std::string, std::less<>> kViews = {
    "TfrxPictureView", "TfrxLineView", "TfrxCustomLineView", "TfrxShapeView", "TfrxSubreport",
    "TfrxBarCodeView", "TfrxChartView", "TfrxCheckBoxView", "TfrxDBCrossView", "TfrxOLEView",
    "TfrxRichView"};

const std::set<std::string, std::less<>> kControls = {
    "TfrxLabelControl", "TfrxEditControl", "TfrxMemoControl", "TfrxButtonControl",
    "TfrxCheckBoxControl", "TfrxRadioButtonControl", "TfrxListBoxControl", "TfrxComboBoxControl",
    "TfrxDateEditControl", "TfrxDBLookupComboBox"};

} // namespace

bool TfrxBand::IsDataBand() const
{
    const std::string& c = ClassName();
    return c == "TfrxMasterData" || c == "TfrxDetailData" || c == "TfrxSubdetailData";
}

std::unique_ptr<TfrxComponent> frxCreateComponent(const std::string& className)
{
    if (className == "TfrxReportPage")
        return std::make_unique<TfrxReportPage>();
    if (className == "TfrxDialogPage")
        return std::make_unique<TfrxDialogPage>();
    if (className == "TfrxMemoView")
        return std::make_unique<TfrxMemoView>();
    if (kBands.count(className))
        return std::make_unique<TfrxBand>(className);
    if (kViews.count(className))
        return std::make_unique<TfrxView>(className);
    if (kControls.count(className))
        return std::make_unique<TfrxDialogControl>(className);
    return std::make_unique<TfrxComponent>(className);
}

} // namespace lm
