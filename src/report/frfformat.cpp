// The .frf format: reading a version-2 report stream into TfrReport and writing one back.
//
// A file is a version byte, a header (default-printer flag, double-pass flag, printer name) and
// records, each introduced by a byte: 0xFF a page, 0xFE the variables dictionary, 0xFD the end,
// 0xFC the report information (which also ends the file), 0 … 10 an object of that type. An
// object record holds the page number, from version 24 on the absolute position of the next
// record, the fields common to all objects and the object's own fields. Integers are
// little-endian; strings have a 16-bit length, string lists a 32-bit count.
#include <set>

#include "report/frdbdataset.h"
#include "report/frfstream.h"
#include "report/frmodel.h"
#include "util/cp1251.h"
#include "util/strs_files.h"

namespace lm {

namespace {

constexpr uint8_t recPage = 0xFF, recVariables = 0xFE, recEnd = 0xFD, recInfo = 0xFC;

// The base of a generated name: "Memo", "Band", ..., or an add-in's class without "Tfr".
std::string nameBase(const TfrView& v)
{
    switch (v.Typ) {
    case gtMemo: return "Memo";
    case gtPicture: return "Picture";
    case gtBand: return "Band";
    case gtSubReport: return "SubReport";
    case gtLine: return "Line";
    default: break;
    }
    std::string base = v.ClassName;
    if (upperCase(base.substr(0, 3)) == "TFR")
        base.erase(0, 3);
    return base.empty() ? std::string("Object") : base;
}

void readVariablePairs(TfrStreamReader& r, std::vector<TfrVariable>& out)
{
    const int32_t count = r.ReadInt32();
    if (count < 0 || static_cast<std::size_t>(count) > r.Remaining() / 4)
        throw EFrfError();
    for (int32_t i = 0; i < count; ++i) {
        TfrVariable v;
        v.Name = r.ReadString();
        v.Value = r.ReadString();
        out.push_back(std::move(v));
    }
}

void writeVariablePairs(TfrStreamWriter& w, const std::vector<TfrVariable>& list)
{
    w.WriteInt32(static_cast<int32_t>(list.size()));
    for (const TfrVariable& v : list) {
        w.WriteString(v.Name);
        w.WriteString(v.Value);
    }
}

} // namespace

// The reading side, a friend of TfrReport so that it can set the version read.
class TfrReader {
public:
    TfrReader(TfrReport& report, std::string_view data) : m_report(report), r(data) {}

    void Read()
    {
        m_report.Clear();
        V = r.ReadByte();
        m_report.m_version = V;
        m_report.PrintToDefault = r.ReadInt16() != 0;
        m_report.DoublePass = r.ReadInt16() != 0;
        m_report.PrinterName = r.ReadString();
        while (!r.AtEnd()) {
            const std::size_t start = r.Position();
            const uint8_t rec = r.ReadByte();
            if (rec == recPage) {
                readPage();
            } else if (rec == recVariables) {
                readVariables();
            } else if (rec == recEnd) {
                return;
            } else if (rec == recInfo) {
                readInfo();
                return;
            } else if (rec <= gtAddIn) {
                readObject(rec, start);
            } else {
                throw EFrfError();
            }
        }
    }

private:
    void readPage()
    {
        auto page = std::make_unique<TfrPage>();
        page->pgSize = r.ReadInt32();
        if (page->pgSize == -1)
            page->pgSize = r.ReadInt32();
        page->Width = r.ReadInt32();
        page->Height = r.ReadInt32();
        for (int32_t& m : page->Margins)
            m = r.ReadInt32();
        page->Orientation = r.ReadByte();
        if (V < 23)
            for (uint8_t& b : page->Spare)
                b = r.ReadByte();
        if (V > 23)
            page->Bin = r.ReadInt32();
        page->PrintToPrevPage = r.ReadInt16();
        page->UseMargins = r.ReadInt16();
        page->ColCount = r.ReadInt32();
        page->ColGap = r.ReadInt32();
        if (V > 23) {
            page->PageType = static_cast<TfrPageType>(r.ReadByte());
            page->Name = r.ReadString();
            page->BorderStyle = r.ReadByte();
            page->Caption = r.ReadString();
            page->Color = r.ReadInt32();
            for (int32_t& b : page->Bounds)
                b = r.ReadInt32();
            page->Script = r.ReadStrings();
        }
        if (m_report.Pages.size() >= 256)
            throw EFrfError();  // an object's page number is one byte
        m_report.Pages.push_back(std::move(page));
    }

    // A damaged object is dropped; from version 24 on the stream goes on at the stored next
    // position, before that at wherever the failed read stopped. A next position that does not
    // lie after the record's start and within the stream ends the reading.
    void readObject(uint8_t typ, std::size_t start)
    {
        const std::string className = typ == gtAddIn ? r.ReadString() : std::string();
        const uint8_t pageNo = r.ReadByte();
        std::size_t next = 0;
        if (V > 23) {
            const int32_t pos = r.ReadInt32();
            if (pos <= static_cast<int64_t>(start) || static_cast<std::size_t>(pos) > r.Size())
                throw EFrfError();
            next = static_cast<std::size_t>(pos);
        }
        try {
            auto view = frCreateObject(typ, className);
            readCommon(*view);
            readSpecific(*view, next);
            if (pageNo >= m_report.Pages.size())
                throw EFrfError();
            m_report.Pages[pageNo]->Add(std::move(view));
        } catch (const Exception&) {
            // The object is lost; the rest of the report is still read.
        }
        if (V > 23)
            r.Seek(next);
    }

    void readCommon(TfrView& v)
    {
        if (V >= 23)
            v.Name = r.ReadString();
        if (V > 23) {
            v.BaseType1 = r.ReadByte();
            v.BaseType2 = r.ReadByte();
        }
        v.x = r.ReadInt32();
        v.y = r.ReadInt32();
        v.dx = r.ReadInt32();
        v.dy = r.ReadInt32();
        v.Flags = r.ReadInt16();
        v.FrameTyp = r.ReadInt16();
        v.FrameWidth = r.ReadInt32();
        v.FrameColor = r.ReadInt32();
        v.FrameStyle = r.ReadInt16();
        v.FillColor = r.ReadInt32();
        v.Format = r.ReadInt32();
        v.FormatStr = r.ReadString();
        v.Memo = r.ReadStrings();
        if (V > 23)
            v.Script = r.ReadStrings();
        v.Visible = r.ReadInt16() != 0;
        if (V > 24) {
            v.Later1 = r.ReadInt16();
            v.Later2 = r.ReadString();
            v.Later3 = r.ReadInt32();
            v.Later4 = r.ReadInt32();
        }
        if (v.BaseType1 > 1)
            v.FrameStyleByte = r.ReadByte();
        if (V < 23)
            v.Name = generatedName(v);
    }

    void readSpecific(TfrView& v, std::size_t next)
    {
        auto* addIn = dynamic_cast<TfrAddInView*>(&v);
        if (addIn && !addIn->Known()) {
            if (V > 23)
                addIn->Blob = r.ReadBytes(next - std::min(next, r.Position()));
            return;
        }
        v.LoadSpecific(r, V);
    }

    std::string generatedName(const TfrView& v)
    {
        const std::string base = nameBase(v);
        int& n = m_counters[upperCase(base)];
        std::string name;
        do
            name = base + std::to_string(++n);
        while (m_names.count(upperCase(name)));
        m_names.insert(upperCase(name));
        return name;
    }

    void readVariables()
    {
        const uint16_t marker = r.ReadWord();
        std::vector<TfrVariable> vars;
        if (marker == 0xFFFF || marker == 0xFFFE) {
            readVariablePairs(r, vars);
            readVariablePairs(r, m_report.DictionaryExtra1);
            readVariablePairs(r, m_report.DictionaryExtra2);
        } else {
            r.Seek(r.Position() - 2);
            vars = readTypedVariables();
        }
        m_report.Variables.Clear();
        for (const TfrVariable& v : vars)
            m_report.Variables.Add(v.Name, v.Value);
    }

    // The typed dictionary: a count of entries (type byte, number, three short strings: name
    // and two values), then the list of names in dictionary order, where a name without an entry
    // is a category. Type 1 entries are dataset fields (dataset, field), the others hold their
    // expression in the first value.
    std::vector<TfrVariable> readTypedVariables()
    {
        const int32_t count = r.ReadInt32();
        if (count < 0 || static_cast<std::size_t>(count) > r.Remaining() / 8)
            throw EFrfError();
        std::vector<TfrVariable> entries;
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t type = r.ReadByte();
            (void)r.ReadInt32();
            TfrVariable v;
            v.Name = r.ReadShortString();
            const std::string a = r.ReadShortString();
            const std::string b = r.ReadShortString();
            v.Value = type == 1 ? a + ".\"" + b + "\"" : a;
            entries.push_back(std::move(v));
        }
        std::vector<TfrVariable> ordered;
        std::vector<bool> used(entries.size());
        for (const std::string& name : r.ReadStrings()) {
            TfrVariable v{name, {}};
            for (std::size_t i = 0; i < entries.size(); ++i)
                if (!used[i] && entries[i].Name == name) {
                    v.Value = entries[i].Value;
                    used[i] = true;
                    break;
                }
            ordered.push_back(std::move(v));
        }
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (!used[i])
                ordered.push_back(entries[i]);
        return ordered;
    }

    void readInfo()
    {
        TfrReportInfo& info = m_report.Info;
        info.Present = true;
        for (std::string* s : {&info.Description, &info.Name, &info.Author, &info.VMajor, &info.VMinor,
                               &info.VRelease, &info.VBuild, &info.Password})
            *s = r.ReadString();
        info.Reserved[0] = r.ReadByte();
        info.Reserved[1] = r.ReadByte();
        info.CreateDate = r.ReadDouble();
        info.LastChange = r.ReadDouble();
    }

    TfrReport& m_report;
    TfrStreamReader r;
    uint8_t V = 0;
    std::map<std::string, int> m_counters;
    std::set<std::string> m_names;
};

void TfrMemoView::LoadSpecific(TfrStreamReader& r, uint8_t version)
{
    FontName = r.ReadString();
    FontSize = r.ReadInt32();
    FontStyle = r.ReadInt16();
    FontColor = r.ReadInt32();
    Alignment = r.ReadInt32();
    Charset = version >= 23 ? r.ReadInt16() : int16_t(1);
    HighlightStyle = r.ReadInt16();
    HighlightFontColor = r.ReadInt32();
    HighlightFillColor = r.ReadInt32();
    HighlightCondition = r.ReadString();
    if (version >= 24) {
        LineSpacing = r.ReadInt32();
        CharSpacing = r.ReadInt32();
    }
    if (IsFramed())
        for (uint8_t& b : FramedExtra)
            b = r.ReadByte();
}

void TfrMemoView::SaveSpecific(TfrStreamWriter& w, uint8_t version) const
{
    w.WriteString(FontName);
    w.WriteInt32(FontSize);
    w.WriteInt16(FontStyle);
    w.WriteInt32(FontColor);
    w.WriteInt32(Alignment);
    if (version >= 23)
        w.WriteInt16(Charset);
    w.WriteInt16(HighlightStyle);
    w.WriteInt32(HighlightFontColor);
    w.WriteInt32(HighlightFillColor);
    w.WriteString(HighlightCondition);
    if (version >= 24) {
        w.WriteInt32(LineSpacing);
        w.WriteInt32(CharSpacing);
    }
    if (IsFramed())
        for (uint8_t b : FramedExtra)
            w.WriteByte(b);
}

void TfrPictureView::LoadSpecific(TfrStreamReader& r, uint8_t)
{
    Kind = r.ReadByte();
    if (SubVersion() > 10)
        KindExtra = r.ReadByte();
    const int32_t end = r.ReadInt32();
    if (end < static_cast<int64_t>(r.Position()) || static_cast<std::size_t>(end) > r.Size())
        throw EFrfError();
    Image = r.ReadBytes(static_cast<std::size_t>(end) - r.Position());
}

void TfrPictureView::SaveSpecific(TfrStreamWriter& w, uint8_t) const
{
    w.WriteByte(Kind);
    if (SubVersion() > 10)
        w.WriteByte(KindExtra);
    w.WriteInt32(static_cast<int32_t>(w.Position() + 4 + Image.size()));
    w.WriteBytes(Image);
}

void TfrBandView::LoadSpecific(TfrStreamReader& r, uint8_t version)
{
    if (version <= 23)
        return;
    ChildName = r.ReadString();
    Columns = r.ReadInt32();
    ColumnWidth = r.ReadInt32();
    ColumnGap = r.ReadInt32();
    Reserved = r.ReadInt32();
    if (SubVersion() > 20)
        Extra = r.ReadString();
}

void TfrBandView::SaveSpecific(TfrStreamWriter& w, uint8_t version) const
{
    if (version <= 23)
        return;
    w.WriteString(ChildName);
    w.WriteInt32(Columns);
    w.WriteInt32(ColumnWidth);
    w.WriteInt32(ColumnGap);
    w.WriteInt32(Reserved);
    if (SubVersion() > 20)
        w.WriteString(Extra);
}

void TfrSubReportView::LoadSpecific(TfrStreamReader& r, uint8_t)
{
    SubPage = r.ReadInt32();
}

void TfrSubReportView::SaveSpecific(TfrStreamWriter& w, uint8_t) const
{
    w.WriteInt32(SubPage);
}

void TfrReport::LoadFromStream(const std::string& data)
{
    TfrReader(*this, data).Read();
}

void TfrReport::LoadFromFile(const std::string& fileName)
{
    LoadFromStream(FileToStr(fileName));
    FileName = fileName;
}

namespace {

void writePage(TfrStreamWriter& w, const TfrPage& p, uint8_t V)
{
    w.WriteByte(recPage);
    if (p.pgSize == -1)
        w.WriteInt32(-1);
    w.WriteInt32(p.pgSize);
    w.WriteInt32(p.Width);
    w.WriteInt32(p.Height);
    for (int32_t m : p.Margins)
        w.WriteInt32(m);
    w.WriteByte(p.Orientation);
    if (V < 23)
        for (uint8_t b : p.Spare)
            w.WriteByte(b);
    if (V > 23)
        w.WriteInt32(p.Bin);
    w.WriteInt16(p.PrintToPrevPage);
    w.WriteInt16(p.UseMargins);
    w.WriteInt32(p.ColCount);
    w.WriteInt32(p.ColGap);
    if (V > 23) {
        w.WriteByte(p.PageType);
        w.WriteString(p.Name);
        w.WriteByte(p.BorderStyle);
        w.WriteString(p.Caption);
        w.WriteInt32(p.Color);
        for (int32_t b : p.Bounds)
            w.WriteInt32(b);
        w.WriteStrings(p.Script);
    }
}

void writeObject(TfrStreamWriter& w, const TfrView& v, uint8_t pageNo, uint8_t V)
{
    w.WriteByte(v.Typ);
    if (v.Typ == gtAddIn)
        w.WriteString(v.ClassName);
    w.WriteByte(pageNo);
    std::size_t nextAt = 0;
    if (V > 23) {
        nextAt = w.Position();
        w.WriteInt32(0);
    }
    if (V >= 23)
        w.WriteString(v.Name);
    if (V > 23) {
        w.WriteByte(v.BaseType1);
        w.WriteByte(v.BaseType2);
    }
    for (int32_t n : {v.x, v.y, v.dx, v.dy})
        w.WriteInt32(n);
    w.WriteInt16(v.Flags);
    w.WriteInt16(v.FrameTyp);
    w.WriteInt32(v.FrameWidth);
    w.WriteInt32(v.FrameColor);
    w.WriteInt16(v.FrameStyle);
    w.WriteInt32(v.FillColor);
    w.WriteInt32(v.Format);
    w.WriteString(v.FormatStr);
    w.WriteStrings(v.Memo);
    if (V > 23)
        w.WriteStrings(v.Script);
    w.WriteInt16(v.Visible ? 1 : 0);
    if (V > 24) {
        w.WriteInt16(v.Later1);
        w.WriteString(v.Later2);
        w.WriteInt32(v.Later3);
        w.WriteInt32(v.Later4);
    }
    if (v.BaseType1 > 1)
        w.WriteByte(v.FrameStyleByte);
    v.SaveSpecific(w, V);
    if (V > 23)
        w.Patch32(nextAt, static_cast<int32_t>(w.Position()));
}

} // namespace

std::string TfrReport::SaveToStream(uint8_t version) const
{
    if (version < 21 || version >= 30)
        throw Exception("Unsupported report file version " + std::to_string(version));
    if (Pages.size() > 256)
        throw Exception("A report file holds at most 256 pages");
    TfrStreamWriter w;
    w.WriteByte(version);
    w.WriteInt16(PrintToDefault ? 1 : 0);
    w.WriteInt16(DoublePass ? 1 : 0);
    w.WriteString(PrinterName);
    for (std::size_t i = 0; i < Pages.size(); ++i) {
        writePage(w, *Pages[i], version);
        for (const auto& v : Pages[i]->Objects)
            writeObject(w, *v, static_cast<uint8_t>(i), version);
    }
    w.WriteByte(recVariables);
    w.WriteWord(0xFFFF);
    std::vector<TfrVariable> vars;
    for (int i = 0; i < Variables.Count(); ++i)
        vars.push_back(Variables.Items(i));
    writeVariablePairs(w, vars);
    writeVariablePairs(w, DictionaryExtra1);
    writeVariablePairs(w, DictionaryExtra2);
    if (!Info.Present) {
        w.WriteByte(recEnd);
        return w.Data();
    }
    w.WriteByte(recInfo);
    for (const std::string* s : {&Info.Description, &Info.Name, &Info.Author, &Info.VMajor, &Info.VMinor,
                                 &Info.VRelease, &Info.VBuild, &Info.Password})
        w.WriteString(*s);
    w.WriteByte(Info.Reserved[0]);
    w.WriteByte(Info.Reserved[1]);
    w.WriteDouble(Info.CreateDate);
    w.WriteDouble(Info.LastChange);
    return w.Data();
}

void TfrReport::SaveToFile(const std::string& fileName, uint8_t version) const
{
    StrtoFile(SaveToStream(version), fileName);
}

} // namespace lm
