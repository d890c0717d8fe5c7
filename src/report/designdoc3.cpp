// The designer's view of a version-3 report: bands at page positions with their objects
// nested in them at band positions; an object moved into another band moves into it.
#include <algorithm>
#include <cmath>

#include "report/designdoc.h"
#include "report/frxclasses.h"
#include "report/frxreport.h"
#include "util/sysutils.h"

namespace lm {

namespace {

const char* const kAligns[] = {"haLeft", "haRight", "haCenter", "haBlock"};

class FRXDesignDoc : public TDesignDoc {
public:
    explicit FRXDesignDoc(TfrxReport& report) : m_report(report) {}

    int PageCount() const override { return static_cast<int>(pages().size()); }
    double PageWidth(int page) const override { return pages().at(page)->PaperWidth() * fr01cm; }
    double PageHeight(int page) const override { return pages().at(page)->PaperHeight() * fr01cm; }
    double OriginX(int page) const override { return pages().at(page)->LeftMargin() * fr01cm; }
    double OriginY(int page) const override { return pages().at(page)->TopMargin() * fr01cm; }
    int Count(int page) const override { return static_cast<int>(items(page).size()); }

    TDesignItem Item(int page, int index) const override
    {
        const TfrxComponent* c = items(page).at(index);
        TDesignItem item;
        item.Name = c->Name();
        item.Band = dynamic_cast<const TfrxBand*>(c) != nullptr;
        item.Memo = dynamic_cast<const TfrxMemoView*>(c) != nullptr;
        item.Kind = c->ClassName().rfind("Tfrx", 0) == 0 ? c->ClassName().substr(4) : c->ClassName();
        item.Left = c->Left() + parentLeft(c);
        item.Top = c->Top() + parentTop(c);
        item.Width = c->Width();
        item.Height = c->Height();
        return item;
    }

    void SetBounds(int page, int index, double left, double top, double width, double height) override
    {
        TfrxComponent* c = items(page).at(index);
        width = std::max(0.0, width);
        height = std::max(0.0, height);
        if (dynamic_cast<TfrxBand*>(c) || !dynamic_cast<TfrxBand*>(c->Parent())) {
            c->SetBounds(left, top, width, height);
            return;
        }
        TfrxComponent* band = bandAt(page, top);
        if (band && band != c->Parent())
            band->Add(c->Parent()->Take(c));
        c->SetBounds(left - parentLeft(c), top - parentTop(c), width, height);
    }

    std::string Text(int page, int index) const override { return items(page).at(index)->Prop("Text"); }
    void SetText(int page, int index, const std::string& text) override { items(page).at(index)->SetProp("Text", text); }

    TFont Font(int page, int index) const override
    {
        const TfrxComponent* c = items(page).at(index);
        TFont f;
        f.SetName(c->HasProp("Font.Name") ? c->Prop("Font.Name") : std::string("Arial"));
        f.SetSize(static_cast<int>(std::lround(-c->PropFloat("Font.Height", -13) * 72.0 / 96.0)));
        f.SetStyle(static_cast<TFontStyles>(c->PropInt("Font.Style", 0)));
        f.SetColor(c->PropInt("Font.Color", clBlack));
        return f;
    }
    void SetFont(int page, int index, const TFont& font) override
    {
        TfrxComponent* c = items(page).at(index);
        c->SetProp("Font.Name", font.Name());
        c->SetPropInt("Font.Height", -std::lround(font.Size() * 96.0 / 72.0));
        c->SetPropInt("Font.Style", font.Style());
        c->SetPropInt("Font.Color", font.Color());
    }

    bool Framed(int page, int index) const override { return items(page).at(index)->PropInt("Frame.Typ") == 15; }
    void SetFramed(int page, int index, bool all) override
    {
        TfrxComponent* c = items(page).at(index);
        if (!dynamic_cast<TfrxBand*>(c))
            c->SetPropInt("Frame.Typ", all ? 15 : 0);
    }

    TDesignAlign Align(int page, int index) const override
    {
        const std::string& a = items(page).at(index)->Prop("HAlign");
        for (int i = 0; i < 4; ++i)
            if (a == kAligns[i])
                return static_cast<TDesignAlign>(i);
        return daLeft;
    }
    void SetAlign(int page, int index, TDesignAlign align) override
    {
        items(page).at(index)->SetProp("HAlign", kAligns[align]);
    }

    int AddMemo(int page, double left, double top) override
    {
        TfrxComponent* parent = bandAt(page, top);
        if (!parent)
            parent = pages().at(page);
        auto memo = std::make_unique<TfrxMemoView>();
        for (int n = 1;; ++n)
            if (!m_report.FindObject("Memo" + IntToStr(n))) {
                memo->SetName("Memo" + IntToStr(n));
                break;
            }
        TfrxComponent* added = parent->Add(std::move(memo));
        added->SetBounds(left - (parent == pages().at(page) ? 0 : parent->Left()),
                         top - (parent == pages().at(page) ? 0 : parent->Top()), 100, 16);
        added->SetProp("Font.Name", "Arial");
        added->SetPropInt("Font.Height", -11);
        const auto list = items(page);
        return static_cast<int>(std::find(list.begin(), list.end(), added) - list.begin());
    }
    void Delete(int page, int index) override
    {
        TfrxComponent* c = items(page).at(index);
        c->Parent()->Take(c);
    }

    std::string BandSource(int page, int index) const override
    {
        const TfrxComponent* c = items(page).at(index);
        return c->ClassName() == "TfrxGroupHeader" ? c->Prop("Condition") : c->Prop("DataSet");
    }
    void SetBandSource(int page, int index, const std::string& source) override
    {
        TfrxComponent* c = items(page).at(index);
        if (c->ClassName() == "TfrxGroupHeader") {
            c->SetProp("Condition", source);
        } else if (const auto* band = dynamic_cast<const TfrxBand*>(c); band && band->IsDataBand()) {
            c->SetProp("DataSet", source);
            c->SetProp("DataSetName", source);
        }
    }
    // Object events are procedures of the report script here.
    std::vector<std::string> ObjectScript(int, int) const override { return {}; }
    void SetObjectScript(int, int, const std::vector<std::string>&) override {}

    std::vector<std::string> ReportScript() const override { return m_report.ScriptText; }
    void SetReportScript(const std::vector<std::string>& lines) override { m_report.ScriptText = lines; }
    TVariables Variables() const override
    {
        TVariables out;
        for (const TfrxVariable& v : m_report.Variables)
            out.emplace_back(v.Name, v.Value);
        return out;
    }
    void SetVariables(const TVariables& variables) override
    {
        m_report.Variables.clear();
        for (const auto& [name, value] : variables)
            m_report.Variables.push_back({name, value});
    }

    std::string Snapshot() const override { return m_report.SaveToString(); }
    void Restore(const std::string& snapshot) override
    {
        const std::string file = m_report.FileName;
        m_report.LoadFromStream(snapshot);
        m_report.FileName = file;
    }

private:
    std::vector<TfrxReportPage*> pages() const
    {
        std::vector<TfrxReportPage*> out;
        for (TfrxPage* p : m_report.Pages())
            if (auto* page = dynamic_cast<TfrxReportPage*>(p))
                out.push_back(page);
        return out;
    }
    // Bands and the objects on them, each band followed by its objects.
    std::vector<TfrxComponent*> items(int page) const
    {
        std::vector<TfrxComponent*> out;
        const TfrxReportPage* p = pages().at(page);
        for (int i = 0; i < p->Count(); ++i) {
            TfrxComponent* c = p->Objects(i);
            out.push_back(c);
            if (dynamic_cast<TfrxBand*>(c))
                for (int k = 0; k < c->Count(); ++k)
                    out.push_back(c->Objects(k));
        }
        return out;
    }
    static bool inBand(const TfrxComponent* c) { return dynamic_cast<const TfrxBand*>(c->Parent()) != nullptr; }
    static double parentLeft(const TfrxComponent* c) { return inBand(c) ? c->Parent()->Left() : 0; }
    static double parentTop(const TfrxComponent* c) { return inBand(c) ? c->Parent()->Top() : 0; }
    TfrxComponent* bandAt(int page, double top) const
    {
        const TfrxReportPage* p = pages().at(page);
        for (int i = 0; i < p->Count(); ++i) {
            TfrxComponent* c = p->Objects(i);
            if (dynamic_cast<TfrxBand*>(c) && top >= c->Top() && top < c->Top() + std::max(c->Height(), 1.0))
                return c;
        }
        return nullptr;
    }

    TfrxReport& m_report;
};

} // namespace

std::unique_ptr<TDesignDoc> MakeDesignDoc(TfrxReport& report) { return std::make_unique<FRXDesignDoc>(report); }

} // namespace lm
