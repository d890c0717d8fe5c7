// Version-2 to version-3 report conversion: the stream is read into the version-2 model, then
// each page and object becomes its version-3 counterpart; post-passes put the objects into
// their bands and resolve the references between objects.
#include "report/repconv2to3.h"

#include <cmath>
#include <map>

#include "report/frdbdataset.h"
#include "report/frfstream.h"
#include "report/frmodel.h"
#include "report/frxreport.h"
#include "report/frexpressionmap.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

TfrxFR2Events& frxFR2Events()
{
    static TfrxFR2Events events{[](TfrxReport& report, const std::string& data) {
                                    if (!IsFR2Stream(data))
                                        return false;
                                    ConvertFR2Report(report, data);
                                    return true;
                                },
                                "*.frf"};
    return events;
}

bool IsFR2Stream(const std::string& data)
{
    return !data.empty() && static_cast<unsigned char>(data[0]) < 30;
}

namespace {

const char* const kBandClasses[] = {
    "TfrxReportTitle", "TfrxReportSummary", "TfrxPageHeader", "TfrxPageFooter", "TfrxHeader",
    "TfrxMasterData", "TfrxFooter", "TfrxHeader", "TfrxDetailData", "TfrxFooter",
    "TfrxHeader", "TfrxSubdetailData", "TfrxFooter", "TfrxOverlay", "TfrxColumnHeader",
    "TfrxColumnFooter", "TfrxGroupHeader", "TfrxGroupFooter", "TfrxHeader", "TfrxMasterData",
    "TfrxFooter", "TfrxChild"};

const char* const kFrameStyles[] = {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble",
                                    "fsAltDot", "fsSquare"};

const char* const kSeriesClasses[] = {"TLineSeries", "TAreaSeries", "TPointSeries", "TBarSeries",
                                      "THorizBarSeries", "TPieSeries"};

const char* const kShapes[] = {"skRectangle", "skRoundRectangle", "skEllipse", "skTriangle", "skDiagonal1",
                               "skDiagonal2"};

const char* const kComboStyles[] = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                    "csOwnerDrawVariable"};

const char* const kBarTypes[] = {
    "bcCode_2_5_interleaved", "bcCode_2_5_industrial", "bcCode_2_5_matrix", "bcCode39", "bcCode39Extended",
    "bcCode128A", "bcCode128B", "bcCode128C", "bcCode93", "bcCode93Extended", "bcCodeMSI", "bcCodePostNet",
    "bcCodeCodabar", "bcCodeEAN8", "bcCodeEAN13", "bcCodeUPC_A", "bcCodeUPC_E0", "bcCodeUPC_E1",
    "bcCodeUPC_Supp2", "bcCodeUPC_Supp5", "bcCodeEAN128A", "bcCodeEAN128B", "bcCodeEAN128C"};

template <std::size_t N>
const char* pick(const char* const (&names)[N], int64_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? names[index] : names[0];
}

std::string hexOf(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// A valid identifier: a first character that is not an ASCII letter or "_", and every later
// one that is not an ASCII letter, digit or "_", becomes "_".
std::string validName(const std::string& name)
{
    std::string out = name;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!(letter || (i > 0 && c >= '0' && c <= '9')))
            out[i] = '_';
    }
    return out;
}

// The version-2 font style bits: 1 italic, 2 bold, 4 underline, 8 strike-out.
int fontStyleOf(int16_t v2)
{
    int style = 0;
    if (v2 & 1) style |= fsItalic;
    if (v2 & 2) style |= fsBold;
    if (v2 & 4) style |= fsUnderline;
    if (v2 & 8) style |= fsStrikeOut;
    return style;
}

// Version-2 frame bits (1 right, 2 bottom, 4 left, 8 top) as version-3 bits (1 left, 2 right,
// 4 top, 8 bottom).
int frameTypOf(int16_t v2)
{
    int typ = 0;
    if (v2 & frbRight) typ |= 2;
    if (v2 & frbBottom) typ |= 8;
    if (v2 & frbLeft) typ |= 1;
    if (v2 & frbTop) typ |= 4;
    return typ;
}

void setFont(TfrxComponent& c, const std::string& prefix, const std::string& name, int size, int style,
             TColor color)
{
    c.SetProp(prefix + "Font.Name", name);
    c.SetPropInt(prefix + "Font.Height", -std::lround(size * 96.0 / 72.0));
    c.SetPropInt(prefix + "Font.Style", style);
    c.SetPropInt(prefix + "Font.Color", color);
}

class Converter {
public:
    Converter(TfrxReport& report, const TfrReport& source) : m_report(report), m_src(source), m_map(report) {}

    void Run()
    {
        V = m_src.Version();
        convertHeader();
        for (std::size_t i = 0; i < m_src.Pages.size(); ++i)
            convertPage(*m_src.Pages[i], static_cast<int>(i));
        for (std::size_t i = 0; i < m_src.Pages.size(); ++i)
            for (const auto& view : m_src.Pages[i]->Objects) {
                try {
                    convertObject(*view, static_cast<int>(i));
                } catch (const Exception&) {
                    // A damaged object is left out; the others are still converted.
                }
            }
        convertVariables();
        convertInfo();
        m_report.ScriptText.insert(m_report.ScriptText.end(), {"begin", "", "end."});
        for (TfrxPage* page : m_report.Pages())
            placeInBands(*page);
        resolveFixups();
        mapVariableValues();
        applyCrossTemplates();
        bindFieldMemos();
    }

private:
    struct PageInfo {
        TfrxPage* page = nullptr;
        double originX = 0, originY = 0;
        bool dialog = false;
    };
    struct Fixup {
        TfrxComponent* object;
        std::string property;
        std::string name;
    };

    void convertHeader()
    {
        if (m_src.DoublePass)
            m_report.SetPropBool("EngineOptions.DoublePass", true);
        const bool byDefault = m_src.PrintToDefault || m_src.PrinterName == "\x01";
        m_report.SetProp("PrintOptions.Printer", byDefault ? std::string("Default") : m_src.PrinterName);
    }

    void convertPage(const TfrPage& p, int index)
    {
        PageInfo info;
        const bool dialog = V > 23 && p.PageType == ptDialog;
        std::unique_ptr<TfrxComponent> page;
        if (dialog) {
            page = std::make_unique<TfrxDialogPage>();
            page->SetPropInt("BorderStyle", p.BorderStyle == 0 ? 3 : p.BorderStyle == 1 ? 2 : p.BorderStyle);
            page->SetProp("Caption", p.Caption);
            page->SetPropInt("Color", p.Color);
            page->SetBounds(p.Bounds[0], p.Bounds[1], p.Bounds[2], p.Bounds[3]);
        } else {
            page = std::make_unique<TfrxReportPage>();
            const double width = p.Width / 10.0, height = p.Height / 10.0;
            std::array<double, 4> m{};
            for (int k = 0; k < 4; ++k)
                m[k] = static_cast<int64_t>(p.Margins[k]) * 5 / 18;
            if (p.Margins == std::array<int32_t, 4>{})
                m = {frDefaultMargin, frDefaultMargin, frDefaultMargin, frDefaultMargin};
            page->SetPropInt("PaperSize", p.pgSize);
            page->SetPropFloat("PaperWidth", width);
            page->SetPropFloat("PaperHeight", height);
            page->SetPropFloat("LeftMargin", m[0]);
            page->SetPropFloat("TopMargin", m[1]);
            page->SetPropFloat("RightMargin", m[2]);
            page->SetPropFloat("BottomMargin", m[3]);
            page->SetProp("Orientation", p.Orientation ? "poLandscape" : "poPortrait");
            const int32_t bin = V > 23 ? p.Bin : -1;
            page->SetPropInt("Bin", bin);
            page->SetPropInt("BinOtherPages", bin);
            page->SetPropBool("PrintOnPreviousPage", p.PrintToPrevPage != 0);
            if (p.ColCount > 0) {
                const double gap = std::round(p.ColGap / 18.0 * 5);
                const double colWidth = (width - m[0] - m[2] + gap) / p.ColCount - gap;
                std::vector<std::string> positions;
                for (int k = 0; k < p.ColCount && k < 1000; ++k) {
                    TfrxComponent tmp("");
                    tmp.SetPropFloat("x", k * (colWidth + gap));
                    positions.push_back(tmp.Prop("x"));
                }
                page->SetPropInt("Columns", p.ColCount);
                page->SetPropFloat("ColumnWidth", colWidth);
                page->SetProp("ColumnPositions.Text", frxJoinLines(positions));
            }
            info.originX = std::round(m[0] * fr01cm);
            info.originY = std::round(m[1] * fr01cm);
        }
        page->SetName(validName(V > 23 && !p.Name.empty() ? p.Name : "Page" + std::to_string(index + 1)));
        info.page = static_cast<TfrxPage*>(m_report.Add(std::move(page)));
        info.dialog = dialog;
        addScript(*info.page, p.Script, dialog ? "OnShow" : "OnBeforePrint");
        m_pages.push_back(info);
    }

    // The object's script as a procedure of the report script, bound to the event.
    void addScript(TfrxComponent& c, const std::vector<std::string>& script, const std::string& event)
    {
        if (script.empty())
            return;
        const std::string name = c.Name();
        auto& out = m_report.ScriptText;
        out.push_back("procedure " + name + event + "(Sender: TfrxComponent);");
        out.push_back("begin");
        out.push_back("  with " + name + ", Engine do");
        out.push_back("  begin");
        if (Trim(script.front()) == "begin" ) {
            for (std::size_t i = 1; i + 1 < script.size(); ++i)
                out.push_back(script[i]);
            out.push_back("  end");
            out.push_back(script.size() > 1 ? script.back() + ";" : std::string("end;"));
        } else {
            out.insert(out.end(), script.begin(), script.end());
            out.push_back("  end");
            out.push_back("end;");
        }
        out.push_back("");
        c.SetProp(event, name + event);
    }

    void convertObject(const TfrView& v, int pageIndex)
    {
        if (pageIndex >= static_cast<int>(m_pages.size()))
            return;
        const PageInfo& page = m_pages[pageIndex];
        std::unique_ptr<TfrxComponent> obj = createObject(v);
        if (!obj)
            return;
        obj->SetName(validName(v.Name));
        obj->SetBounds(v.x - page.originX, v.y - page.originY, v.dx, v.dy);
        obj->SetVisible(v.Visible);
        TfrxComponent* placed = page.page->Add(std::move(obj));
        fillObject(*placed, v);
        const bool control = dynamic_cast<TfrxDialogControl*>(placed) != nullptr;
        if (control) {
            addScript(*placed, v.Script, "OnClick");
        } else {
            setFrame(*placed, v);
            addScript(*placed, v.Script, "OnBeforePrint");
        }
    }

    std::unique_ptr<TfrxComponent> createObject(const TfrView& v)
    {
        switch (v.Typ) {
        case gtMemo: return std::make_unique<TfrxMemoView>();
        case gtPicture: return frxCreateComponent("TfrxPictureView");
        case gtBand: {
            const int type = v.FrameTyp & 0xFF;
            if (type >= static_cast<int>(std::size(kBandClasses)))
                return nullptr;
            return frxCreateComponent(kBandClasses[type]);
        }
        case gtSubReport: return frxCreateComponent("TfrxSubreport");
        case gtLine: return frxCreateComponent("TfrxCustomLineView");
        case gtAddIn: return createAddIn(v.ClassName);
        default: return nullptr;
        }
    }

    static std::unique_ptr<TfrxComponent> createAddIn(const std::string& className)
    {
        static const std::map<std::string, std::string> classes = {
            {"TFRFRAMEDMEMOVIEW", "TfrxMemoView"},
            {"TFRLABELCONTROL", "TfrxLabelControl"},
            {"TFREDITCONTROL", "TfrxEditControl"},
            {"TFRMEMOCONTROL", "TfrxMemoControl"},
            {"TFRBUTTONCONTROL", "TfrxButtonControl"},
            {"TFRCHECKBOXCONTROL", "TfrxCheckBoxControl"},
            {"TFRRADIOBUTTONCONTROL", "TfrxRadioButtonControl"},
            {"TFRLISTBOXCONTROL", "TfrxListBoxControl"},
            {"TFRCOMBOBOXCONTROL", "TfrxComboBoxControl"},
            {"TFRDATEEDITCONTROL", "TfrxDateEditControl"},
            {"TFRDBLOOKUPCONTROL", "TfrxDBLookupComboBox"},
            {"TFRBDELOOKUPCONTROL", "TfrxDBLookupComboBox"},
            {"TFRIBXLOOKUPCONTROL", "TfrxDBLookupComboBox"},
            {"TFRBARCODEVIEW", "TfrxBarCodeView"},
            {"TFRCHARTVIEW", "TfrxChartView"},
            {"TFRCHECKBOXVIEW", "TfrxCheckBoxView"},
            {"TFRCROSSVIEW", "TfrxDBCrossView"},
            {"TFROLEVIEW", "TfrxOLEView"},
            {"TFRRICHVIEW", "TfrxRichView"},
            {"TFRRXRICHVIEW", "TfrxRichView"},
            {"TFRROUNDRECTVIEW", "TfrxShapeView"},
            {"TFRSHAPEVIEW", "TfrxShapeView"},
        };
        const auto it = classes.find(upperCase(className));
        return it == classes.end() ? nullptr : frxCreateComponent(it->second);
    }

    void setFrame(TfrxComponent& c, const TfrView& v)
    {
        if (v.Typ != gtBand)
            c.SetPropInt("Frame.Typ", frameTypOf(v.FrameTyp));
        // Thousandths, except that small values are whole units; a damaged negative width must
        // not overflow.
        const double width = v.FrameWidth <= 10 ? v.FrameWidth * 1000.0 : v.FrameWidth;
        c.SetPropFloat("Frame.Width", width / 1000.0);
        c.SetPropInt("Frame.Color", v.FrameColor);
        int style = v.FrameStyle;
        if (v.BaseType1 > 1)
            style = v.FrameStyleByte == 6 ? 0 : v.FrameStyleByte == 7 ? 6 : v.FrameStyleByte;
        c.SetProp("Frame.Style", pick(kFrameStyles, style));
        c.SetPropInt("Color", v.FillColor);
    }

    void fillObject(TfrxComponent& c, const TfrView& v)
    {
        if (const auto* memo = dynamic_cast<const TfrMemoView*>(&v))
            return fillMemo(c, *memo);
        if (const auto* pict = dynamic_cast<const TfrPictureView*>(&v))
            return fillPicture(c, *pict);
        if (const auto* band = dynamic_cast<const TfrBandView*>(&v))
            return fillBand(c, *band);
        if (const auto* sub = dynamic_cast<const TfrSubReportView*>(&v)) {
            m_subreports.push_back({&c, sub->SubPage});
            return;
        }
        if (const auto* addIn = dynamic_cast<const TfrAddInView*>(&v))
            fillAddIn(c, *addIn);
    }

    void fillMemo(TfrxComponent& c, const TfrMemoView& m)
    {
        setFont(c, "", m.FontName, m.FontSize, fontStyleOf(m.FontStyle), m.FontColor);
        c.SetPropInt("Font.Charset", m.Charset);
        static const char* const hAligns[] = {"haLeft", "haRight", "haCenter", "haBlock"};
        c.SetProp("HAlign", hAligns[m.Alignment & 3]);
        if (m.Alignment & frtaVertical)
            c.SetPropInt("Rotation", 90);
        c.SetProp("VAlign", (m.Alignment & frtaMiddle) ? "vaCenter" : (m.Alignment & frtaDown) ? "vaBottom" : "vaTop");
        setFont(c, "Highlight.", m.FontName, m.FontSize, fontStyleOf(m.HighlightStyle), m.HighlightFontColor);
        c.SetPropInt("Highlight.Color", m.HighlightFillColor);
        c.SetProp("Highlight.Condition", m_map.Text(m.HighlightCondition, true));
        if (V >= 24) {
            c.SetPropInt("LineSpacing", m.LineSpacing);
            c.SetPropInt("CharSpacing", m.CharSpacing);
        }
        const int16_t f = m.Flags;
        c.SetProp("StretchMode", (f & 1) ? "smMaxHeight" : "smDontStretch");
        c.SetPropBool("WordWrap", V == 21 || (f & 2));
        c.SetPropBool("WordBreak", f & 4);
        c.SetPropBool("AutoWidth", f & 8);
        c.SetPropBool("AllowExpressions", !(f & 16));
        c.SetPropBool("SuppressRepeated", f & 32);
        c.SetPropBool("HideZeros", f & 64);
        c.SetPropBool("Underlines", f & 128);
        c.SetPropBool("RTLReading", f & 256);
        setDisplayFormat(c, m.Format, m.FormatStr);
        std::vector<std::string> lines;
        for (const std::string& line : m.Memo)
            lines.push_back(m_map.Text(line, false));
        c.SetProp("Text", frxJoinLines(lines));
    }

    void setDisplayFormat(TfrxComponent& c, int32_t format, const std::string& formatStr)
    {
        const int category = (format >> 24) & 0x0F;
        int sub = (format >> 16) & 0xFF;
        const int decimals = (format >> 8) & 0xFF;
        const char separator = static_cast<char>(format & 0xFF);
        std::string kind = "fkText", str;
        switch (category) {
        case 1: {
            kind = "fkNumeric";
            c.SetProp("DisplayFormat.DecimalSeparator", std::string(1, separator ? separator : ','));
            // A custom format string is kept even with decimals set: the decimals only choose
            // between the built-in forms.
            if (decimals > 0 && !(sub == 4 && !formatStr.empty()))
                sub = 2;
            const std::string d = std::to_string(decimals);
            switch (sub) {
            case 0: str = "%2." + d + "g"; break;
            case 1: str = "%g"; break;
            case 2: str = "%2." + d + "f"; break;
            case 3: str = "%2." + d + "n"; break;
            default: str = formatStr.empty() ? std::string("%g") : formatStr; break;
            }
            break;
        }
        case 2: {
            kind = "fkDateTime";
            const std::string forms[] = {"dd.mm.yy", "dd.mm.yyyy", "d mmm yyyy", FormatSettings.LongDateFormat};
            str = sub < 4 ? forms[sub] : formatStr;
            break;
        }
        case 3: {
            kind = "fkDateTime";
            const char* forms[] = {"hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"};
            str = sub < 4 ? forms[sub] : formatStr;
            break;
        }
        case 4: {
            kind = "fkBoolean";
            const char* forms[] = {"0,1", "\xCD\xE5\xF2,\xC4\xE0", "_,X", "False,True"};
            str = sub < 4 ? forms[sub] : formatStr;
            break;
        }
        default: break;
        }
        c.SetProp("DisplayFormat.Kind", kind);
        if (!str.empty())
            c.SetProp("DisplayFormat.FormatStr", str);
    }

    void fillPicture(TfrxComponent& c, const TfrPictureView& p)
    {
        static const char* const kinds[] = {"", "TBitmap", "TMetafile", "TIcon", "TJPEGImage"};
        if (p.Kind >= 1 && p.Kind <= 4) {
            c.SetProp("Picture.Type", kinds[p.Kind]);
            c.SetProp("Picture.Data", hexOf(p.Image));
        }
        c.SetPropBool("Stretched", p.Flags & 1);
        c.SetPropBool("Center", p.Flags & 2);
        c.SetPropBool("KeepAspectRatio", p.Flags & 4);
    }

    void fillBand(TfrxComponent& c, const TfrBandView& b)
    {
        const int type = b.BandType();
        const int16_t f = b.Flags;
        c.SetPropBool("Stretched", f & 1);
        c.SetPropBool("StartNewPage", f & 2);
        c.SetPropBool("AllowSplit", f & 8);
        c.SetPropBool("PrintChildIfInvisible", f & 128);
        const bool data = type == btMasterData || type == btDetailData || type == btSubDetailData || type == btCrossData;
        if (data) {
            c.SetPropBool("PrintIfDetailEmpty", f & 4);
            const std::string& source = b.FormatStr;
            if (!source.empty() && source[0] >= '1' && source[0] <= '9')
                c.SetPropInt("RowCount", StrToIntDef(source, 0));
            else if (!source.empty())
                c.SetProp("DataSetName", source);
            if (V > 23) {
                c.SetPropInt("Columns", b.Columns);
                c.SetPropFloat("ColumnWidth", b.ColumnWidth);
                c.SetPropFloat("ColumnGap", b.ColumnGap);
            }
        }
        if (type == btPageHeader)
            c.SetPropBool("PrintOnFirstPage", f & 16);
        if (type == btPageFooter) {
            c.SetPropBool("PrintOnFirstPage", f & 16);
            c.SetPropBool("PrintOnLastPage", f & 32);
        }
        if (type == btMasterHeader || type == btDetailHeader || type == btSubDetailHeader || type == btCrossHeader ||
            type == btGroupHeader)
            c.SetPropBool("ReprintOnNewPage", f & 64);
        if (type == btGroupHeader)
            c.SetProp("Condition", m_map.Text(b.FormatStr, false));
        if (type >= btCrossHeader && type <= btCrossFooter)
            c.SetPropBool("Vertical", true);
        if (V > 23 && !b.ChildName.empty())
            m_fixups.push_back({&c, "Child", validName(b.ChildName)});
    }

    void fillAddIn(TfrxComponent& c, const TfrAddInView& a)
    {
        const std::string cls = upperCase(a.ClassName);
        const std::string text = frxJoinLines(a.Memo);
        if (dynamic_cast<TfrxDialogControl*>(&c)) {
            setFont(c, "", a.Str("FontName"), static_cast<int>(a.Int("FontSize")),
                    fontStyleOf(static_cast<int16_t>(a.Int("FontStyle"))), static_cast<TColor>(a.Int("FontColor")));
            c.SetPropInt("Color", a.Int("Color"));
        }
        static const char* const alignments[] = {"taLeftJustify", "taRightJustify", "taCenter"};
        if (cls == "TFRLABELCONTROL") {
            static const char* const hAligns[] = {"haLeft", "haRight", "haCenter"};
            c.SetProp("Alignment", pick(hAligns, a.Int("Alignment")));
            c.SetPropBool("AutoSize", a.Int("AutoSize"));
            c.SetProp("Caption", text);
            c.SetPropBool("WordWrap", a.Int("WordWrap"));
        } else if (cls == "TFREDITCONTROL" || cls == "TFRMEMOCONTROL") {
            c.SetProp("Text", text);
            c.SetPropBool("ReadOnly", a.Int("ReadOnly"));
        } else if (cls == "TFRBUTTONCONTROL") {
            const int64_t result = a.Int("ModalResult");
            c.SetProp("Caption", text);
            c.SetPropInt("ModalResult", result);
            c.SetPropBool("Cancel", result == 2);
            c.SetPropBool("Default", result == 1);
        } else if (cls == "TFRCHECKBOXCONTROL" || cls == "TFRRADIOBUTTONCONTROL") {
            c.SetProp("Alignment", pick(alignments, a.Int("Alignment")));
            c.SetPropBool("Checked", a.Int("Checked"));
            c.SetProp("Caption", text);
        } else if (cls == "TFRLISTBOXCONTROL") {
            c.SetProp("Items.Text", text);
        } else if (cls == "TFRCOMBOBOXCONTROL") {
            c.SetProp("Items.Text", text);
            c.SetProp("Style", pick(kComboStyles, a.Int("Style")));
        } else if (cls == "TFRDATEEDITCONTROL") {
            c.SetProp("DateFormat", a.Int("DateFormat") ? "dfLong" : "dfShort");
            c.SetProp("Kind", a.Int("Kind") ? "dkTime" : "dkDate");
        } else if (c.ClassName() == "TfrxDBLookupComboBox") {
            c.SetProp("DataSetName", a.Str("DataSetName"));
            c.SetProp("KeyField", a.Str("KeyField"));
            c.SetProp("ListField", a.Str("ListField"));
        } else if (cls == "TFRBARCODEVIEW") {
            c.SetProp("Expression", m_map.Text(text, false));
            c.SetProp("BarType", pick(kBarTypes, a.Int("BarType")));
            c.SetPropBool("CalcCheckSum", a.Int("CheckSum"));
            c.SetPropBool("ShowText", a.Int("ShowText"));
            c.SetPropInt("Rotation", a.Int("Angle"));
        } else if (cls == "TFRCHARTVIEW") {
            fillChart(c, a);
        } else if (cls == "TFRCHECKBOXVIEW") {
            c.SetPropBool("Checked", a.Int("Checked"));
            c.SetProp("Expression", m_map.Text(text, false));
        } else if (cls == "TFRCROSSVIEW") {
            fillCross(c, a);
        } else if (cls == "TFROLEVIEW") {
            c.SetProp("OLE.Data", hexOf(a.Blob));
        } else if (cls == "TFRRICHVIEW" || cls == "TFRRXRICHVIEW") {
            c.SetProp("RichEdit.Data", hexOf(a.Blob));
        } else if (cls == "TFRROUNDRECTVIEW") {
            c.SetProp("Shape", "skRoundRectangle");
            c.SetPropInt("Curve", a.Int("Curve"));
        } else if (cls == "TFRSHAPEVIEW") {
            c.SetProp("Shape", pick(kShapes, a.Int("ShapeType")));
        }
    }

    void fillChart(TfrxComponent& c, const TfrAddInView& a)
    {
        for (const char* flag : {"ShowLegend", "ShowAxis", "View3D", "Orthogonal", "ShowMarks"})
            c.SetPropBool(flag, a.Int(flag));
        c.SetPropInt("Elevation", a.Int("Elevation"));
        c.SetPropInt("Rotation", a.Int("Rotation"));
        auto series = std::make_unique<TfrxComponent>("TfrxSeriesItem");
        series->SetProp("SeriesType", pick(kSeriesClasses, a.Int("SeriesKind")));
        series->SetProp("DataSetName", a.Str("DataSetName"));
        series->SetProp("XSource", m_map.Text(a.Str("XSource"), true));
        series->SetProp("YSource", m_map.Text(a.Str("YSource"), true));
        c.Add(std::move(series));
    }

    // The definition lines: dataset, row fields, column fields, cell fields (";"-separated;
    // "+" marks totals of a row or column level and names a cell's aggregate).
    void fillCross(TfrxComponent& c, const TfrAddInView& a)
    {
        for (const auto& [name, value] : a.Ints)
            c.SetPropInt(name, value);
        if (a.Memo.size() < 4)
            return;
        c.SetProp("DataSetName", a.Memo[0]);
        auto split = [](const std::string& list) {
            std::vector<std::pair<std::string, std::string>> out;
            std::size_t from = 0;
            while (from <= list.size()) {
                std::size_t semi = list.find(';', from);
                if (semi == std::string::npos)
                    semi = list.size();
                const std::string entry = Trim(list.substr(from, semi - from));
                if (!entry.empty()) {
                    const auto plus = entry.find('+');
                    out.push_back(plus == std::string::npos
                                      ? std::pair{entry, std::string("\x01")}
                                      : std::pair{entry.substr(0, plus), lowerCase(entry.substr(plus + 1))});
                }
                from = semi + 1;
            }
            return out;
        };
        auto levels = [&](const std::string& list, const char* fieldsProp, const char* totalsProp) {
            std::vector<std::string> fields, totals;
            for (const auto& [field, rest] : split(list)) {
                fields.push_back(field);
                totals.push_back(rest == "\x01" ? "False" : "True");
            }
            c.SetProp(fieldsProp, frxJoinLines(fields));
            c.SetProp(totalsProp, frxJoinLines(totals));
        };
        levels(a.Memo[1], "RowFields.Text", "RowTotals.Text");
        levels(a.Memo[2], "ColumnFields.Text", "ColumnTotals.Text");
        std::vector<std::string> cells, functions;
        for (const auto& [field, rest] : split(a.Memo[3])) {
            cells.push_back(field);
            if (rest == "\x01")
                functions.push_back("cfNone");
            else if (rest.empty() || rest == "sum")
                functions.push_back("cfSum");
            else if (rest == "avg" || rest == "min" || rest == "max" || rest == "count")
                functions.push_back("cf" + std::string(1, upCase(rest[0])) + rest.substr(1));
            else
                functions.push_back("cfNone");
        }
        c.SetProp("CellFields.Text", frxJoinLines(cells));
        c.SetProp("CellFunctions.Text", frxJoinLines(functions));
        m_crosses.push_back(&c);
    }

    // The dictionary: categories carry a leading blank in version 3, so when the first name
    // has none every name has its leading blank toggled.
    void convertVariables()
    {
        const TfrVariables& vars = m_src.Variables;
        if (vars.Count() == 0)
            return;
        const bool toggle = vars.Items(0).Name.empty() || vars.Items(0).Name[0] != ' ';
        m_report.Variables.clear();
        for (int i = 0; i < vars.Count(); ++i) {
            std::string name = vars.Items(i).Name;
            if (toggle)
                name = !name.empty() && name[0] == ' ' ? name.substr(1) : " " + name;
            m_report.Variables.push_back({name, vars.Items(i).Value});
        }
    }

    void convertInfo()
    {
        const TfrReportInfo& info = m_src.Info;
        if (!info.Present)
            return;
        const std::pair<const std::string*, const char*> texts[] = {
            {&info.Description, "ReportOptions.Description.Text"}, {&info.Name, "ReportOptions.Name"},
            {&info.Author, "ReportOptions.Author"}, {&info.VMajor, "ReportOptions.VersionMajor"},
            {&info.VMinor, "ReportOptions.VersionMinor"}, {&info.VRelease, "ReportOptions.VersionRelease"},
            {&info.VBuild, "ReportOptions.VersionBuild"}};
        for (const auto& [value, prop] : texts)
            if (!value->empty())
                m_report.SetProp(prop, *value);
        // The password is stored scrambled; it is not carried over.
        m_report.SetPropFloat("ReportOptions.CreateDate", std::isfinite(info.CreateDate) ? info.CreateDate : 0);
        m_report.SetPropFloat("ReportOptions.LastChange", std::isfinite(info.LastChange) ? info.LastChange : 0);
    }

    // Version-2 objects lie on the page; version-3 objects belong to the band whose vertical
    // range holds their top (the last such band wins).
    void placeInBands(TfrxPage& page)
    {
        std::vector<TfrxComponent*> snapshot;
        for (int i = 0; i < page.Count(); ++i)
            snapshot.push_back(page.Objects(i));
        for (TfrxComponent* c : snapshot) {
            auto* band = dynamic_cast<TfrxBand*>(c);
            if (!band || band->IsVertical())
                continue;
            while (band->Count() > 0) {
                TfrxComponent* child = band->Objects(0);
                const double top = child->Top() + band->Top();
                page.Add(band->Take(child))->SetTop(top);
            }
            const double from = band->Top() - 0.0001, to = band->Top() + band->Height() + 0.0001;
            for (TfrxComponent* v : snapshot) {
                if (!dynamic_cast<TfrxView*>(v) || v->Parent() == nullptr)
                    continue;
                const double top = v->Parent() == &page ? v->Top() : v->Top() + v->Parent()->Top();
                if (top < from || top >= to)
                    continue;
                auto moved = v->Parent()->Take(v);
                moved->SetTop(top - band->Top());
                if (!band->Stretched() && moved->Prop("StretchMode") == "smMaxHeight")
                    moved->SetProp("StretchMode", "smDontStretch");
                band->Add(std::move(moved));
            }
        }
    }

    void resolveFixups()
    {
        for (const Fixup& f : m_fixups)
            if (TfrxComponent* target = m_report.FindObject(f.name))
                f.object->SetProp(f.property, target->Name());
        m_fixups.clear();
        for (const auto& [sub, index] : m_subreports)
            if (index >= 0 && index < static_cast<int>(m_pages.size()))
                sub->SetProp("Page", m_pages[index].page->Name());
    }

    void mapVariableValues()
    {
        for (TfrxVariable& v : m_report.Variables)
            v.Value = m_map.Name(v.Value, false);
    }

    // Memos named "<role>" + the cross-tab's name serve as templates of its cells; they become
    // the cross-tab's own memos and leave the report.
    void applyCrossTemplates()
    {
        static const char* const roles[] = {"ColumnHeaderMemo", "RowHeaderMemo", "ColumnTotalMemo",
                                            "RowTotalMemo", "GrandColumnTotalMemo", "GrandRowTotalMemo",
                                            "CellMemo"};
        for (TfrxComponent* cross : m_crosses)
            for (const char* role : roles) {
                TfrxComponent* tmpl = m_report.FindObject(role + cross->Name());
                if (!tmpl || tmpl->ClassName() != "TfrxMemoView" || !tmpl->Parent())
                    continue;
                auto memo = tmpl->Parent()->Take(tmpl);
                memo->SetProp("StretchMode", "smDontStretch");
                memo->SetProp("Highlight.Condition", m_map.Text(memo->Prop("Highlight.Condition"), true));
                memo->SetName(role);
                cross->Add(std::move(memo));
            }
    }

    // A memo whose whole text is one field reference is bound to that dataset and field; chart
    // series are bound to their datasets the same way.
    void bindFieldMemos()
    {
        for (TfrxComponent* c : m_report.AllObjects()) {
            if (c->ClassName() == "TfrxSeriesItem") {
                if (TfrxDBDataset* ds = m_map.Dataset(c->Prop("DataSetName")))
                    c->SetProp("DataSet", ds->UserName());
                continue;
            }
            if (c->ClassName() != "TfrxMemoView")
                continue;
            const std::string& text = c->Prop("Text");
            std::string dataset, field;
            if (text.size() > 2 && text.front() == '[' && text.back() == ']' &&
                splitFieldReference(text.substr(1, text.size() - 2), dataset, field) && m_report.GetDataset(dataset)) {
                c->SetProp("DataSet", dataset);
                c->SetProp("DataField", field);
            }
        }
    }

    TfrxReport& m_report;
    const TfrReport& m_src;
    TfrExpressionMap m_map;
    uint8_t V = 0;
    std::vector<PageInfo> m_pages;
    std::vector<Fixup> m_fixups;
    std::vector<std::pair<TfrxComponent*, int>> m_subreports;
    std::vector<TfrxComponent*> m_crosses;
};

} // namespace

void ConvertFR2Report(TfrxReport& report, const std::string& data)
{
    report.Clear();
    TfrReport source;
    try {
        source.LoadFromStream(data);
        Converter(report, source).Run();
    } catch (const Exception&) {
        report.Clear();
        throw EFrfError();
    }
}

} // namespace lm
