// The designer's view of a version-2 report: objects at absolute page positions, bands among
// them, font styles in the files' own bits.
#include <algorithm>

#include "report/designdoc.h"
#include "report/frmodel.h"
#include "report/frxcomponent.h"
#include "util/sysutils.h"

namespace lm {

namespace {

const char* const kBandNames[] = {
    "ReportTitle", "ReportSummary", "PageHeader", "PageFooter", "MasterHeader", "MasterData", "MasterFooter",
    "DetailHeader", "DetailData", "DetailFooter", "SubDetailHeader", "SubDetailData", "SubDetailFooter", "Overlay",
    "ColumnHeader", "ColumnFooter", "GroupHeader", "GroupFooter", "CrossHeader", "CrossData", "CrossFooter", "Child"};

class FRDesignDoc : public TDesignDoc {
public:
    explicit FRDesignDoc(TfrReport& report) : m_report(report) {}

    int PageCount() const override { return static_cast<int>(m_report.Pages.size()); }
    double PageWidth(int page) const override { return m_report.Pages.at(page)->Width / 10.0 * fr01cm; }
    double PageHeight(int page) const override { return m_report.Pages.at(page)->Height / 10.0 * fr01cm; }
    double OriginX(int) const override { return 0; }
    double OriginY(int) const override { return 0; }
    int Count(int page) const override { return static_cast<int>(m_report.Pages.at(page)->Objects.size()); }

    TDesignItem Item(int page, int index) const override
    {
        const TfrView& v = view(page, index);
        TDesignItem item;
        item.Name = v.Name;
        item.Band = v.Typ == gtBand;
        item.Memo = dynamic_cast<const TfrMemoView*>(&v) != nullptr;
        const int type = v.FrameTyp & 0xFF;
        item.Kind = item.Band ? (type < static_cast<int>(std::size(kBandNames)) ? kBandNames[type] : "Band")
                    : item.Memo ? "Memo" : "Object";
        item.Left = v.x;
        item.Top = v.y;
        item.Width = v.dx;
        item.Height = v.dy;
        return item;
    }

    void SetBounds(int page, int index, double left, double top, double width, double height) override
    {
        TfrView& v = view(page, index);
        if (v.Typ == gtBand) {
            // Objects lie on a band by position: they travel with it.
            const int32_t dx = static_cast<int32_t>(left) - v.x, dy = static_cast<int32_t>(top) - v.y;
            for (auto& o : m_report.Pages.at(page)->Objects)
                if (o->Typ != gtBand && o->y >= v.y && o->y < v.y + std::max<int32_t>(v.dy, 1)) {
                    o->x += dx;
                    o->y += dy;
                }
        }
        v.SetBounds(static_cast<int32_t>(left), static_cast<int32_t>(top),
                                    static_cast<int32_t>(std::max(0.0, width)), static_cast<int32_t>(std::max(0.0, height)));
    }

    std::string Text(int page, int index) const override { return frxJoinLines(view(page, index).Memo); }
    void SetText(int page, int index, const std::string& text) override { view(page, index).Memo = frxSplitLines(text); }

    TFont Font(int page, int index) const override
    {
        TFont f;
        if (const auto* m = memo(page, index)) {
            f.SetName(m->FontName);
            f.SetSize(m->FontSize);
            f.SetColor(m->FontColor);
            f.SetStyle(static_cast<TFontStyles>((m->FontStyle & 1 ? fsItalic : 0) | (m->FontStyle & 2 ? fsBold : 0) |
                                                (m->FontStyle & 4 ? fsUnderline : 0) | (m->FontStyle & 8 ? fsStrikeOut : 0)));
        }
        return f;
    }
    void SetFont(int page, int index, const TFont& font) override
    {
        if (auto* m = memo(page, index)) {
            m->FontName = font.Name();
            m->FontSize = font.Size();
            m->FontColor = font.Color();
            const TFontStyles s = font.Style();
            m->FontStyle = static_cast<int16_t>((s & fsItalic ? 1 : 0) | (s & fsBold ? 2 : 0) | (s & fsUnderline ? 4 : 0) |
                                                (s & fsStrikeOut ? 8 : 0));
        }
    }

    bool Framed(int page, int index) const override { return (view(page, index).FrameTyp & frbAll) == frbAll; }
    void SetFramed(int page, int index, bool all) override
    {
        TfrView& v = view(page, index);
        if (v.Typ != gtBand)
            v.FrameTyp = static_cast<int16_t>((v.FrameTyp & ~frbAll) | (all ? frbAll : 0));
    }

    TDesignAlign Align(int page, int index) const override
    {
        const auto* m = memo(page, index);
        return m ? static_cast<TDesignAlign>(m->Alignment & 3) : daLeft;
    }
    void SetAlign(int page, int index, TDesignAlign align) override
    {
        if (auto* m = memo(page, index))
            m->Alignment = (m->Alignment & ~3) | align;
    }

    int AddMemo(int page, double left, double top) override
    {
        auto m = std::make_unique<TfrMemoView>();
        m->Name = freeName(page);
        m->SetBounds(static_cast<int32_t>(left), static_cast<int32_t>(top), 100, 16);
        m->FontName = "Arial";
        m->FontSize = 8;
        m_report.Pages.at(page)->Add(std::move(m));
        return Count(page) - 1;
    }
    void Delete(int page, int index) override
    {
        auto& objects = m_report.Pages.at(page)->Objects;
        objects.erase(objects.begin() + index);
    }

    std::string BandSource(int page, int index) const override { return view(page, index).FormatStr; }
    void SetBandSource(int page, int index, const std::string& source) override
    {
        view(page, index).FormatStr = source;
    }
    std::vector<std::string> ObjectScript(int page, int index) const override { return view(page, index).Script; }
    void SetObjectScript(int page, int index, const std::vector<std::string>& lines) override
    {
        view(page, index).Script = lines;
    }

    std::vector<std::string> ReportScript() const override
    {
        return m_report.Pages.empty() ? std::vector<std::string>() : m_report.Pages[0]->Script;
    }
    void SetReportScript(const std::vector<std::string>& lines) override
    {
        if (!m_report.Pages.empty())
            m_report.Pages[0]->Script = lines;
    }
    TVariables Variables() const override
    {
        TVariables out;
        for (int i = 0; i < m_report.Variables.Count(); ++i)
            out.emplace_back(m_report.Variables.Items(i).Name, m_report.Variables.Items(i).Value);
        return out;
    }
    void SetVariables(const TVariables& variables) override
    {
        m_report.Variables.Clear();
        for (const auto& [name, value] : variables)
            m_report.Variables.Add(name, value);
    }

    std::string Snapshot() const override { return m_report.SaveToStream(); }
    void Restore(const std::string& snapshot) override
    {
        // The stream does not hold the run-time settings; they survive the reload.
        const std::string title = m_report.Title, comment = m_report.Comment, file = m_report.FileName;
        m_report.LoadFromStream(snapshot);
        m_report.Title = title;
        m_report.Comment = comment;
        m_report.FileName = file;
    }

private:
    TfrView& view(int page, int index) const { return *m_report.Pages.at(page)->Objects.at(index); }
    TfrMemoView* memo(int page, int index) const { return dynamic_cast<TfrMemoView*>(&view(page, index)); }
    std::string freeName(int page) const
    {
        for (int n = 1;; ++n) {
            const std::string name = "Memo" + IntToStr(n);
            if (!m_report.Pages.at(page)->FindObject(name))
                return name;
        }
    }

    TfrReport& m_report;
};

} // namespace

std::unique_ptr<TDesignDoc> MakeDesignDoc(TfrReport& report) { return std::make_unique<FRDesignDoc>(report); }

} // namespace lm
