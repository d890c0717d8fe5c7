// The version-2 report model: object creation, the add-in field layouts, comparisons and the
// dictionary.
#include "report/frmodel.h"

#include <bit>
#include <typeinfo>

#include "report/frdbdataset.h"
#include "report/frfstream.h"
#include "util/cp1251.h"

namespace lm {

namespace {

// One object-specific field of an add-in: its kind ('b' byte, 'w' int16, 'i' int32, 'd' double,
// 's' string, 'B' int32 length and bytes), its name, and the smallest second type byte from which
// the field is stored.
struct AddInField {
    char kind;
    const char* name;
    int fromBaseType2 = 0;
};

const std::vector<AddInField> kControlFont = {
    {'s', "FontName"}, {'i', "FontSize"}, {'w', "FontStyle"}, {'i', "FontColor"}, {'i', "Color"}};

std::vector<AddInField> control(std::initializer_list<AddInField> own)
{
    std::vector<AddInField> fields = kControlFont;
    fields.insert(fields.end(), own);
    return fields;
}

// The layouts, by class name in capitals.
const std::map<std::string, std::vector<AddInField>>& layouts()
{
    static const std::map<std::string, std::vector<AddInField>> table = {
        {"TFRLABELCONTROL", control({{'i', "Alignment"}, {'b', "AutoSize"}, {'b', "WordWrap"}})},
        {"TFREDITCONTROL", control({{'b', "ReadOnly"}})},
        {"TFRMEMOCONTROL", control({{'b', "ReadOnly"}})},
        {"TFRBUTTONCONTROL", control({{'i', "ModalResult"}})},
        {"TFRCHECKBOXCONTROL", control({{'i', "Alignment"}, {'b', "Checked"}})},
        {"TFRRADIOBUTTONCONTROL", control({{'i', "Alignment"}, {'b', "Checked"}})},
        {"TFRLISTBOXCONTROL", control({})},
        {"TFRCOMBOBOXCONTROL", control({{'b', "Style"}})},
        {"TFRDATEEDITCONTROL", control({{'b', "DateFormat"}, {'b', "Kind"}})},
        {"TFRDBLOOKUPCONTROL", control({{'s', "DataSetName"}, {'s', "KeyField"}, {'s', "ListField"}})},
        {"TFRBDELOOKUPCONTROL", control({{'s', "DataSetName"}, {'s', "KeyField"}, {'s', "ListField"}})},
        {"TFRIBXLOOKUPCONTROL", control({{'s', "DataSetName"}, {'s', "KeyField"}, {'s', "ListField"}})},
        {"TFRBARCODEVIEW", {{'i', "BarType"}, {'b', "CheckSum"}, {'b', "ShowText"}, {'i', "Angle"}}},
        {"TFRCHARTVIEW",
         {{'b', "SeriesKind"}, {'b', "ShowLegend"}, {'b', "ShowAxis"}, {'b', "View3D"}, {'i', "Elevation"},
          {'i', "Rotation"}, {'b', "Orthogonal"}, {'b', "ShowMarks"}, {'s', "DataSetName"}, {'s', "XSource"},
          {'s', "YSource"}}},
        {"TFRCHECKBOXVIEW", {{'b', "Checked"}}},
        {"TFRCROSSVIEW",
         {{'b', "ShowColumnHeader"}, {'b', "ShowRowHeader"}, {'b', "ShowColumnTotal"}, {'b', "ShowRowTotal"},
          {'i', "MaxWidth", 1}, {'i', "MinWidth", 1}, {'b', "Border", 2}}},
        {"TFROLEVIEW", {{'B', "Data"}}},
        {"TFRRICHVIEW", {{'B', "Data"}}},
        {"TFRRXRICHVIEW", {{'B', "Data"}}},
        {"TFRROUNDRECTVIEW", {{'i', "Curve"}}},
        {"TFRSHAPEVIEW", {{'b', "ShapeType"}}},
    };
    return table;
}

const std::vector<AddInField>* layoutOf(const std::string& className)
{
    const auto it = layouts().find(upperCase(className));
    return it == layouts().end() ? nullptr : &it->second;
}

template <class T>
bool sameClassAnd(const TfrView& a, const TfrView& b, bool (*same)(const T&, const T&))
{
    return typeid(a) == typeid(b) && same(static_cast<const T&>(a), static_cast<const T&>(b));
}

} // namespace

bool TfrView::sameCommon(const TfrView& o) const
{
    return Typ == o.Typ && ClassName == o.ClassName && Name == o.Name && BaseType1 == o.BaseType1 &&
           BaseType2 == o.BaseType2 && x == o.x && y == o.y && dx == o.dx && dy == o.dy && Flags == o.Flags &&
           FrameTyp == o.FrameTyp && FrameWidth == o.FrameWidth && FrameColor == o.FrameColor &&
           FrameStyle == o.FrameStyle && FillColor == o.FillColor && Format == o.Format &&
           FormatStr == o.FormatStr && Memo == o.Memo && Script == o.Script && Visible == o.Visible &&
           Later1 == o.Later1 && Later2 == o.Later2 && Later3 == o.Later3 && Later4 == o.Later4 &&
           FrameStyleByte == o.FrameStyleByte;
}

bool TfrView::SameAs(const TfrView& other) const
{
    return typeid(*this) == typeid(other) && sameCommon(other);
}

bool TfrMemoView::IsFramed() const
{
    return upperCase(ClassName) == "TFRFRAMEDMEMOVIEW";
}

bool TfrMemoView::SameAs(const TfrView& other) const
{
    return sameClassAnd<TfrMemoView>(*this, other, [](const TfrMemoView& a, const TfrMemoView& b) {
        return a.sameCommon(b) && a.FontName == b.FontName && a.FontSize == b.FontSize &&
               a.FontStyle == b.FontStyle && a.FontColor == b.FontColor && a.Alignment == b.Alignment &&
               a.Charset == b.Charset && a.HighlightStyle == b.HighlightStyle &&
               a.HighlightFontColor == b.HighlightFontColor && a.HighlightFillColor == b.HighlightFillColor &&
               a.HighlightCondition == b.HighlightCondition && a.LineSpacing == b.LineSpacing &&
               a.CharSpacing == b.CharSpacing && a.FramedExtra == b.FramedExtra;
    });
}

bool TfrPictureView::SameAs(const TfrView& other) const
{
    return sameClassAnd<TfrPictureView>(*this, other, [](const TfrPictureView& a, const TfrPictureView& b) {
        return a.sameCommon(b) && a.Kind == b.Kind && a.KindExtra == b.KindExtra && a.Image == b.Image;
    });
}

bool TfrBandView::SameAs(const TfrView& other) const
{
    return sameClassAnd<TfrBandView>(*this, other, [](const TfrBandView& a, const TfrBandView& b) {
        return a.sameCommon(b) && a.ChildName == b.ChildName && a.Columns == b.Columns &&
               a.ColumnWidth == b.ColumnWidth && a.ColumnGap == b.ColumnGap && a.Reserved == b.Reserved &&
               a.Extra == b.Extra;
    });
}

bool TfrSubReportView::SameAs(const TfrView& other) const
{
    return sameClassAnd<TfrSubReportView>(*this, other, [](const TfrSubReportView& a, const TfrSubReportView& b) {
        return a.sameCommon(b) && a.SubPage == b.SubPage;
    });
}

bool TfrAddInView::SameAs(const TfrView& other) const
{
    return sameClassAnd<TfrAddInView>(*this, other, [](const TfrAddInView& a, const TfrAddInView& b) {
        // A field never set reads as zero or empty, as it is written.
        for (const auto* m : {&a.Ints, &b.Ints})
            for (const auto& [name, value] : *m)
                if (a.Int(name) != b.Int(name))
                    return false;
        for (const auto* m : {&a.Strs, &b.Strs})
            for (const auto& [name, value] : *m)
                if (a.Str(name) != b.Str(name))
                    return false;
        return a.sameCommon(b) && a.Blob == b.Blob;
    });
}

int64_t TfrAddInView::Int(const std::string& name) const
{
    const auto it = Ints.find(name);
    return it == Ints.end() ? 0 : it->second;
}

const std::string& TfrAddInView::Str(const std::string& name) const
{
    static const std::string empty;
    const auto it = Strs.find(name);
    return it == Strs.end() ? empty : it->second;
}

bool TfrAddInView::Known() const
{
    return layoutOf(ClassName) != nullptr;
}

void TfrAddInView::LoadSpecific(TfrStreamReader& r, uint8_t version)
{
    const auto* layout = layoutOf(ClassName);
    if (!layout) {
        // Without a layout only a file that stores the end position can be read further; the
        // bytes up to it are kept by the record loop.
        return;
    }
    (void)version;
    for (const AddInField& f : *layout) {
        if (BaseType2 < f.fromBaseType2)
            continue;
        switch (f.kind) {
        case 'b': Ints[f.name] = r.ReadByte(); break;
        case 'w': Ints[f.name] = r.ReadInt16(); break;
        case 'i': Ints[f.name] = r.ReadInt32(); break;
        case 'd': Ints[f.name] = std::bit_cast<int64_t>(r.ReadDouble()); break;
        case 's': Strs[f.name] = r.ReadString(); break;
        case 'B': {
            const int32_t size = r.ReadInt32();
            if (size < 0)
                throw EFrfError();
            Blob = r.ReadBytes(static_cast<std::size_t>(size));
            break;
        }
        }
    }
}

void TfrAddInView::SaveSpecific(TfrStreamWriter& w, uint8_t) const
{
    const auto* layout = layoutOf(ClassName);
    if (!layout) {
        w.WriteBytes(Blob);
        return;
    }
    for (const AddInField& f : *layout) {
        if (BaseType2 < f.fromBaseType2)
            continue;
        switch (f.kind) {
        case 'b': w.WriteByte(static_cast<uint8_t>(Int(f.name))); break;
        case 'w': w.WriteInt16(static_cast<int16_t>(Int(f.name))); break;
        case 'i': w.WriteInt32(static_cast<int32_t>(Int(f.name))); break;
        case 'd': w.WriteDouble(std::bit_cast<double>(Int(f.name))); break;
        case 's': w.WriteString(Str(f.name)); break;
        case 'B':
            w.WriteInt32(static_cast<int32_t>(Blob.size()));
            w.WriteBytes(Blob);
            break;
        }
    }
}

std::unique_ptr<TfrView> frCreateObject(uint8_t typ, const std::string& className)
{
    switch (typ) {
    case gtMemo: return std::make_unique<TfrMemoView>();
    case gtPicture: return std::make_unique<TfrPictureView>();
    case gtBand: return std::make_unique<TfrBandView>();
    case gtSubReport: return std::make_unique<TfrSubReportView>();
    case gtAddIn:
        if (upperCase(className) == "TFRFRAMEDMEMOVIEW")
            return std::make_unique<TfrMemoView>(className);
        return std::make_unique<TfrAddInView>(className);
    default: return std::make_unique<TfrView>(typ);
    }
}

TfrPage::TfrPage(const TfrPage& o)
    : pgSize(o.pgSize), Width(o.Width), Height(o.Height), Margins(o.Margins), Orientation(o.Orientation),
      Spare(o.Spare), Bin(o.Bin), PrintToPrevPage(o.PrintToPrevPage), UseMargins(o.UseMargins),
      ColCount(o.ColCount), ColGap(o.ColGap), PageType(o.PageType), Name(o.Name), BorderStyle(o.BorderStyle),
      Caption(o.Caption), Color(o.Color), Bounds(o.Bounds), Script(o.Script)
{
    for (const auto& v : o.Objects)
        Objects.push_back(v->Clone());
}

TfrView* TfrPage::Add(std::unique_ptr<TfrView> view)
{
    Objects.push_back(std::move(view));
    return Objects.back().get();
}

TfrView* TfrPage::FindObject(const std::string& name) const
{
    const std::string key = upperCase(name);
    for (const auto& v : Objects)
        if (upperCase(v->Name) == key)
            return v.get();
    return nullptr;
}

bool TfrPage::SameAs(const TfrPage& o) const
{
    if (!(pgSize == o.pgSize && Width == o.Width && Height == o.Height && Margins == o.Margins &&
          Orientation == o.Orientation && Spare == o.Spare && Bin == o.Bin && PrintToPrevPage == o.PrintToPrevPage &&
          UseMargins == o.UseMargins && ColCount == o.ColCount && ColGap == o.ColGap && PageType == o.PageType &&
          Name == o.Name && BorderStyle == o.BorderStyle && Caption == o.Caption && Color == o.Color &&
          Bounds == o.Bounds && Script == o.Script && Objects.size() == o.Objects.size()))
        return false;
    for (std::size_t i = 0; i < Objects.size(); ++i)
        if (!Objects[i]->SameAs(*o.Objects[i]))
            return false;
    return true;
}

int TfrVariables::IndexOf(const std::string& name) const
{
    const std::string key = upperCase(name);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (upperCase(m_items[i].Name) == key)
            return static_cast<int>(i);
    return -1;
}

void TfrVariables::SetVariable(const std::string& name, const std::string& value)
{
    const int i = IndexOf(name);
    if (i < 0)
        Add(name, value);
    else
        m_items[i].Value = value;
}

TfrPage* TfrReport::AddPage()
{
    Pages.push_back(std::make_unique<TfrPage>());
    return Pages.back().get();
}

void TfrReport::Clear()
{
    Pages.clear();
    Variables.Clear();
    DictionaryExtra1.clear();
    DictionaryExtra2.clear();
    Info = {};
    PrintToDefault = true;
    DoublePass = false;
    PrinterName.clear();
    m_version = frCurrentVersion;
}

bool TfrReport::SameAs(const TfrReport& o) const
{
    if (!(PrintToDefault == o.PrintToDefault && DoublePass == o.DoublePass && PrinterName == o.PrinterName &&
          Variables == o.Variables && DictionaryExtra1 == o.DictionaryExtra1 &&
          DictionaryExtra2 == o.DictionaryExtra2 && Info == o.Info && Pages.size() == o.Pages.size()))
        return false;
    for (std::size_t i = 0; i < Pages.size(); ++i)
        if (!Pages[i]->SameAs(*o.Pages[i]))
            return false;
    return true;
}

void TfrReport::SetDataset(TfrDBDataSet* dataset)
{
    ReplaceLink(m_dataset, dataset);
}

void TfrReport::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataset)
        m_dataset = nullptr;
}

} // namespace lm
