// The classes of version-3 report objects: pages, bands, views and dialog controls, and the
// factory that makes an object from its class name.
//
// The objects keep their properties as texts (see TfrxComponent); these classes tell the kinds
// apart and give typed names to what the converter, the fix-up and the renderer use. Property
// names used throughout: "Name", "Left", "Top", "Width", "Height", "Visible", "Text",
// "Font.Name", "Font.Height" (negative: pixels), "Font.Style" (TFontStyle bits), "Font.Color",
// "Font.Charset", "HAlign" (haLeft/haRight/haCenter/haBlock), "VAlign" (vaTop/vaCenter/vaBottom),
// "Rotation", "WordWrap", "StretchMode" (smDontStretch/smActualHeight/smMaxHeight), "Stretched",
// "Frame.Typ" (bits: 1 left, 2 right, 4 top, 8 bottom), "Frame.Width", "Frame.Color",
// "Frame.Style", "Color", "DisplayFormat.Kind" (fkText/fkNumeric/fkDateTime/fkBoolean),
// "DisplayFormat.FormatStr", "DisplayFormat.DecimalSeparator", "Highlight.*", "DataSet",
// "DataField", "DataSetName", "RowCount", "Condition", "OnBeforePrint", "StartNewPage",
// "KeepTogether", "AllowSplit".
#pragma once

#include <memory>
#include <string>

#include "report/frxcomponent.h"

namespace lm {

class TfrxPage : public TfrxComponent {
public:
    using TfrxComponent::TfrxComponent;
};

// A printed page: paper and margins in millimetres.
class TfrxReportPage : public TfrxPage {
public:
    TfrxReportPage() : TfrxPage("TfrxReportPage") {}
    double PaperWidth() const { return PropFloat("PaperWidth", 210); }
    double PaperHeight() const { return PropFloat("PaperHeight", 297); }
    double LeftMargin() const { return PropFloat("LeftMargin", 10); }
    double TopMargin() const { return PropFloat("TopMargin", 10); }
    double RightMargin() const { return PropFloat("RightMargin", 10); }
    double BottomMargin() const { return PropFloat("BottomMargin", 10); }
    bool Landscape() const { return Prop("Orientation") == "poLandscape"; }
};

class TfrxDialogPage : public TfrxPage {
public:
    TfrxDialogPage() : TfrxPage("TfrxDialogPage") {}
};

// Bands. The data bands (master, detail, sub-detail) walk a dataset or a row count.
class TfrxBand : public TfrxComponent {
public:
    using TfrxComponent::TfrxComponent;
    bool IsDataBand() const;
    bool IsVertical() const { return PropBool("Vertical"); }
    bool Stretched() const { return PropBool("Stretched"); }
};

class TfrxView : public TfrxComponent {
public:
    using TfrxComponent::TfrxComponent;
};

// Text object: its Text holds the lines joined by CR LF.
class TfrxMemoView : public TfrxView {
public:
    TfrxMemoView() : TfrxView("TfrxMemoView") {}
    const std::string& Text() const { return Prop("Text"); }
    void SetText(std::string text) { SetProp("Text", std::move(text)); }
};

class TfrxDialogControl : public TfrxComponent {
public:
    using TfrxComponent::TfrxComponent;
};

// The object of that class: a known class gets its kind's C++ class, any other name a plain
// component that keeps what the file says.
std::unique_ptr<TfrxComponent> frxCreateComponent(const std::string& className);

} // namespace lm
