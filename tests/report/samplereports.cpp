// Sample version-2 reports for the tests.
#include "samplereports.h"

namespace lmtest {

using namespace lm;

TfrMemoView* addMemo(TfrPage& page, const std::string& name, int x, int y, std::vector<std::string> lines)
{
    auto* m = static_cast<TfrMemoView*>(page.Add(frCreateObject(gtMemo)));
    m->Name = name;
    m->SetBounds(x, y, 100, 18);
    m->Memo = std::move(lines);
    return m;
}

TfrBandView* addBand(TfrPage& page, const std::string& name, TfrBandType type, int y, int height)
{
    auto* b = static_cast<TfrBandView*>(page.Add(frCreateObject(gtBand)));
    b->Name = name;
    b->SetBandType(type);
    b->SetBounds(0, y, 700, height);
    return b;
}

namespace {

TfrAddInView* addAddIn(TfrPage& page, const std::string& cls, const std::string& name, int y)
{
    auto* a = static_cast<TfrAddInView*>(page.Add(frCreateObject(gtAddIn, cls)));
    a->Name = name;
    a->SetBounds(50, y, 80, 20);
    return a;
}

} // namespace

std::unique_ptr<TfrReport> sampleReport(uint8_t version)
{
    auto rep = std::make_unique<TfrReport>();
    rep->PrintToDefault = false;
    rep->DoublePass = true;
    rep->PrinterName = "HP LaserJet";
    TfrPage& page = *rep->AddPage();
    page.Margins = {36, 36, 36, 36};
    page.ColCount = 2;
    page.ColGap = 36;
    page.Name = "Page1";
    const bool v24 = version > 23;

    int y = 40;
    for (int t = btReportTitle; t <= btChild; ++t) {
        auto* b = addBand(page, "Band" + std::to_string(t + 1), static_cast<TfrBandType>(t), y, 20);
        b->Flags = flStretched | flBandOnFirstPage;
        if (t == btMasterData)
            b->FormatStr = "frDBDataSet1";
        if (t == btDetailData)
            b->FormatStr = "5";
        if (t == btGroupHeader)
            b->FormatStr = "[frDBDataSet1.\"GROUP_ID\"]";
        if (v24 && t == btReportTitle)
            b->ChildName = "Band22";
        y += 24;
    }
    auto* memo = addMemo(page, "Memo1", 40, 40 + 5 * 24 + 2, {"[frDBDataSet1.\"NAME\"]"});
    memo->FontName = "Arial";
    memo->FontSize = 12;
    memo->FontStyle = 2;  // bold in the version-2 bits
    memo->Alignment = frtaCenter | frtaMiddle;
    memo->Flags = flWordWrap;
    memo->FrameTyp = frbAll;
    memo->FrameWidth = 2;
    memo->Format = (1 << 24) | (0 << 16) | (2 << 8) | ',';
    memo->HighlightCondition = "[VALUE] > 0";
    memo->Script = {"begin", "  Memo1.Visible := True;", "end"};
    auto* title = addMemo(page, "Memo2", 40, 42, {"[REPORTNAME] [Date]", "line two"});
    title->Flags = flStretched;
    title->Script = {"Memo2.Visible := False;"};

    auto* pict = static_cast<TfrPictureView*>(page.Add(frCreateObject(gtPicture)));
    pict->Name = "Picture1";
    pict->SetBounds(300, 42, 50, 20);
    pict->Kind = 1;
    pict->Image = std::string("BM\0\x01\x02", 5);
    pict->Flags = 1 | 4;
    auto* line = page.Add(frCreateObject(gtLine));
    line->Name = "Line1";
    line->SetBounds(40, 70, 200, 0);
    auto* sub = static_cast<TfrSubReportView*>(page.Add(frCreateObject(gtSubReport)));
    sub->Name = "SubReport1";
    sub->SetBounds(400, 42, 50, 20);
    sub->SubPage = 0;
    auto* framed = static_cast<TfrMemoView*>(page.Add(frCreateObject(gtAddIn, "TFRFRAMEDMEMOVIEW")));
    framed->Name = "FRAMEDMEMOVIEW1";
    framed->SetBounds(500, 42, 50, 20);
    framed->Memo = {"framed"};
    framed->FramedExtra = {1, 2, 3, 4, 5, 6, 7, 8};

    int ay = 600;
    auto* bar = addAddIn(page, "TfrBarCodeView", "BarCodeView1", ay += 22);
    bar->Memo = {"[frDBDataSet1.\"CODE\"]"};
    bar->Ints = {{"BarType", 14}, {"CheckSum", 1}, {"ShowText", 1}, {"Angle", 0}};
    auto* chart = addAddIn(page, "TfrChartView", "ChartView1", ay += 22);
    chart->Ints = {{"SeriesKind", 3}, {"ShowLegend", 1}, {"Elevation", 15}, {"Rotation", 20}};
    chart->Strs = {{"DataSetName", "frDBDataSet1"}, {"XSource", "[frDBDataSet1.\"NAME\"]"}, {"YSource", "x"}};
    addAddIn(page, "TfrCheckBoxView", "CheckBoxView1", ay += 22)->Ints = {{"Checked", 1}};
    auto* cross = addAddIn(page, "TfrCrossView", "CrossView1", ay += 22);
    cross->BaseType2 = v24 ? 1 : 0;
    cross->Memo = {"frDBDataSet1", "COUNTRY+", "YEAR", "PRICE+sum;QTY+Avg;NAME"};
    cross->Ints = {{"ShowColumnHeader", 1}, {"ShowRowHeader", 1}};
    if (v24)
        cross->Ints["MaxWidth"] = 200, cross->Ints["MinWidth"] = 0;
    auto* cellTmpl = addMemo(page, "CellMemoCrossView1", 50, ay + 2, {"[Cell]"});
    cellTmpl->Flags = flStretched;
    addAddIn(page, "TfrOLEView", "OLEView1", ay += 22)->Blob = "OLEDATA";
    addAddIn(page, "TfrRichView", "RichView1", ay += 22)->Blob = "{\\rtf1 x}";
    addAddIn(page, "TfrRoundRectView", "RoundRectView1", ay += 22)->Ints = {{"Curve", 5}};
    addAddIn(page, "TfrShapeView", "ShapeView1", ay += 22)->Ints = {{"ShapeType", 2}};
    page.Add(frCreateObject(7))->Name = "Object1";

    if (v24) {
        TfrPage& dlg = *rep->AddPage();
        dlg.PageType = ptDialog;
        dlg.Name = "DialogForm";
        dlg.Caption = "Parameters";
        dlg.Bounds = {100, 100, 300, 200};
        dlg.Script = {"begin", "  Edit1.Text := '';", "end"};
        auto control = [&](const char* cls, const char* name) {
            auto* c = addAddIn(dlg, cls, name, 10);
            c->Strs["FontName"] = "Tahoma";
            c->Ints["FontSize"] = 8;
            return c;
        };
        control("TfrLabelControl", "Label1")->Memo = {"Date:"};
        control("TfrEditControl", "Edit1")->Memo = {"text"};
        control("TfrMemoControl", "Memo1c")->Ints["ReadOnly"] = 1;
        auto* ok = control("TfrButtonControl", "Button1");
        ok->Ints["ModalResult"] = 1;
        ok->Memo = {"OK"};
        ok->Script = {"ShowMessage('x');"};
        control("TfrButtonControl", "Button2")->Ints["ModalResult"] = 2;
        control("TfrCheckBoxControl", "Check1")->Ints["Checked"] = 1;
        control("TfrRadioButtonControl", "Radio1");
        control("TfrListBoxControl", "List1")->Memo = {"a", "b"};
        control("TfrComboBoxControl", "Combo1")->Ints["Style"] = 2;
        control("TfrDateEditControl", "Date1")->Ints["Kind"] = 1;
        auto* lookup = control("TFRIBXLOOKUPCONTROL", "Lookup1");
        lookup->Strs["DataSetName"] = "frDBDataSet1";
        lookup->Strs["KeyField"] = "ID";
        lookup->Strs["ListField"] = "NAME";
    }

    rep->Variables.Add("Goods", "");
    rep->Variables.Add("Price", "frDBDataSet1.\"PRICE\"");
    rep->Variables.Add("Caption", "DialogForm.Edit1.Text");
    rep->DictionaryExtra1 = {{"a", "b"}};
    rep->Info.Present = true;
    rep->Info.Name = "Goods list";
    rep->Info.Author = "Ivanov";
    rep->Info.VMajor = "1";
    rep->Info.Password = "scrambled";
    rep->Info.CreateDate = 45000.5;
    return rep;
}

} // namespace lmtest
