// The band renderer: walks a report's bands over its datasets and lays their objects out into
// prepared pages. Expressions are compiled once through the script engine and evaluated per
// record; aggregates accumulate as their data band prints and restart after their own band.
#include "report/frxrenderer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "host/dataset.h"
#include "report/frdbdataset.h"
#include "report/frexpressionmap.h"
#include "report/frxdisplayformat.h"
#include "report/frxpainter.h"
#include "report/frxreport.h"
#include "report/frxscripthost.h"
#include "script/script.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

void TfrxPreparedPages::DrawPage(int index, TfrxPainter& painter) const
{
    const TfrxPreparedPage& page = Pages.at(static_cast<std::size_t>(index));
    painter.BeginPage(page);
    for (const TfrxDrawItem& item : page.Items)
        painter.Draw(item);
    painter.EndPage();
}

void TfrxPreparedPages::Draw(TfrxPainter& painter) const
{
    for (int i = 0; i < Count(); ++i)
        DrawPage(i, painter);
}

namespace {

// Stands for the page count in a text until the last page is known.
constexpr char kTotalPagesMark = '\x01';
constexpr TColor kNoColor = clNone;

bool isIdent(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The "(" … ")" argument list starting at open: the arguments' texts split at top-level commas;
// npos as end when the parenthesis is not closed.
std::vector<std::string> splitArgs(const std::string& text, std::size_t open, std::size_t& end)
{
    std::vector<std::string> args;
    int depth = 0;
    bool apos = false;
    std::size_t from = open + 1;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'')
            apos = !apos;
        if (apos)
            continue;
        if (c == '(' || c == '[')
            ++depth;
        else if (c == ')' || c == ']') {
            if (--depth == 0) {
                args.push_back(Trim(text.substr(from, i - from)));
                end = i;
                return args;
            }
        } else if (c == ',' && depth == 1) {
            args.push_back(Trim(text.substr(from, i - from)));
            from = i + 1;
        }
    }
    end = std::string::npos;
    return {};
}

TfrxFont fontOf(const TfrxComponent& c)
{
    TfrxFont f;
    if (c.HasProp("Font.Name"))
        f.Name = c.Prop("Font.Name");
    f.Size = -c.PropFloat("Font.Height", -13) * 72.0 / 96.0;
    if (f.Size <= 0)
        f.Size = 10;
    f.Style = static_cast<TFontStyles>(c.PropInt("Font.Style", 0));
    f.Color = c.PropInt("Font.Color", clBlack);
    return f;
}

int frameStyleOf(const std::string& name)
{
    static const char* const names[] = {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble"};
    for (int i = 0; i < 6; ++i)
        if (name == names[i])
            return i;
    return 0;
}

std::string unhex(const std::string& hex)
{
    std::string out;
    out.reserve(hex.size() / 2);
    auto digit = [](char c) { return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10; };
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
    return out;
}

// A data band with the bands that belong to it.
struct DataBlock {
    TfrxBand* data = nullptr;
    TfrxBand* header = nullptr;
    TfrxBand* footer = nullptr;
    std::vector<TfrxBand*> groupHeaders;  // outermost first
    std::vector<TfrxBand*> groupFooters;  // matching groupHeaders by index
    std::vector<DataBlock> details;
};

struct Aggregate {
    enum Kind { agSum, agCount, agAvg, agMin, agMax } kind = agSum;
    std::optional<TScriptExpression> expr;
    const TfrxComponent* dataBand = nullptr;
    const TfrxComponent* container = nullptr;
    bool running = false;
    double sum = 0;
    int count = 0;
    Variant min, max;

    void Reset()
    {
        sum = 0;
        count = 0;
        min = max = Variant();
    }
    Variant Value() const
    {
        switch (kind) {
        case agSum: return Variant(sum);
        case agCount: return Variant(static_cast<int64_t>(count));
        case agAvg: return count ? Variant(sum / count) : Variant(0.0);
        case agMin: return min.IsEmpty() ? Variant::Null() : min;
        case agMax: return max.IsEmpty() ? Variant::Null() : max;
        }
        return Variant::Null();
    }
};

// One line of a memo and its width when the layout measured it (-1 when not).
struct Line {
    std::string text;
    double width = -1;
};

// An object laid out in its band: where, how tall, and the lines of a memo.
struct Laid {
    TfrxComponent* obj;
    double height;
    std::string text;
    std::vector<Line> lines;
    TfrxFont font;
};

} // namespace

class TfrxRenderer::Impl {
public:
    Impl(TfrxReport& report, TfrxPainter& measure) : m_report(report), m_measure(measure), m_host(report, m_script) {}

    void Prepare(TfrxPreparedPages& out, const std::function<void(int)>& progress)
    {
        m_out = &out;
        m_progress = progress;
        out.Pages.clear();
        setUpScript();
        callEvent(&m_report, "OnStartReport");
        for (TfrxPage* page : m_report.Pages())
            if (auto* rp = dynamic_cast<TfrxReportPage*>(page))
                renderPage(*rp);
        callEvent(&m_report, "OnStopReport");
        fillTotalPages(out);
    }

private:
    // --- Script and expressions ----------------------------------------------------------

    void setUpScript()
    {
        m_host.OnGet = [this](const std::string& name) { return getValue(name); };
        m_host.OnEngine = [this](const std::string& member, const TScriptArgs* args) { return engineValue(member, args); };
        m_host.Register();
        m_script.AddFunction(
            "frxAggregate",
            [this](const TScriptArgs& a) {
                const int64_t i = a[0].AsInt64();
                return i >= 0 && i < static_cast<int64_t>(m_aggregates.size()) ? m_aggregates[i]->Value()
                                                                                : Variant::Null();
            },
            1, 1);
        collectBands();
        std::string text;
        std::string procedureOwner;
        for (const std::string& line : m_report.ScriptText) {
            const std::string up = upperCase(Trim(line));
            if (up.rfind("PROCEDURE ", 0) == 0) {
                const std::string name = Trim(line).substr(10);
                procedureOwner = ownerOfProcedure(name);
            }
            text += replaceAggregates(line, containerOf(procedureOwner)) + "\r\n";
        }
        m_script.SetText(text);
        if (!m_script.Compile())
            throw Exception("Ошибка в скрипте отчета:"_w + std::string("\r\n") + m_script.ErrorMsg());
        precompile();
    }

    // Every expression of the report compiled before the first band prints, so that each
    // aggregate exists (and accumulates) from the first record on.
    void precompile()
    {
        for (TfrxComponent* c : m_report.AllObjects()) {
            if (c->ClassName() == "TfrxGroupHeader" && !Trim(c->Prop("Condition")).empty())
                compile(c->Prop("Condition"), *c);
            if (c->ClassName() != "TfrxMemoView" || !c->PropBool("AllowExpressions", true))
                continue;
            const std::string& text = c->Prop("Text");
            for (std::size_t open = text.find('['); open != std::string::npos;) {
                const std::size_t close = matchingBracket(text, open);
                if (close == std::string::npos)
                    break;
                compile(text.substr(open + 1, close - open - 1), *c);
                open = text.find('[', close);
            }
        }
    }

    // The object whose event procedure this is: the longest object name that the procedure's
    // name starts with.
    std::string ownerOfProcedure(const std::string& header) const
    {
        std::string best;
        const std::string up = upperCase(header);
        for (TfrxComponent* c : m_report.AllObjects()) {
            const std::string n = upperCase(c->Name());
            if (!n.empty() && up.rfind(n, 0) == 0 && n.size() > best.size())
                best = c->Name();
        }
        return best;
    }

    const TfrxComponent* containerOf(const std::string& name) const
    {
        return bandOf(name.empty() ? nullptr : m_report.FindObject(name));
    }

    // The band an object lies in (the object itself when it is a band), or null.
    static const TfrxComponent* bandOf(const TfrxComponent* c)
    {
        while (c && !dynamic_cast<const TfrxBand*>(c))
            c = c->Parent();
        return c;
    }

    // Aggregate calls (SUM, COUNT, AVG, MIN, MAX with a band argument) become frxAggregate(N).
    std::string replaceAggregates(const std::string& text, const TfrxComponent* container)
    {
        static const std::pair<const char*, Aggregate::Kind> names[] = {
            {"SUM", Aggregate::agSum}, {"COUNT", Aggregate::agCount}, {"AVG", Aggregate::agAvg},
            {"MIN", Aggregate::agMin}, {"MAX", Aggregate::agMax}};
        const std::string up = upperCase(text);
        std::string out;
        std::size_t from = 0;
        bool apos = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\'')
                apos = !apos;
            if (apos || (i > 0 && isIdent(text[i - 1])))
                continue;
            for (const auto& [name, kind] : names) {
                const std::size_t len = std::char_traits<char>::length(name);
                if (up.compare(i, len, name) != 0 || (i + len < text.size() && isIdent(text[i + len])))
                    continue;
                std::size_t open = i + len;
                while (open < text.size() && text[open] == ' ')
                    ++open;
                if (open >= text.size() || text[open] != '(')
                    continue;
                std::size_t end;
                const auto args = splitArgs(text, open, end);
                if (end == std::string::npos)
                    continue;
                const int index = makeAggregate(kind, args, container);
                if (index < 0)
                    continue;
                out.append(text, from, i - from);
                out += "frxAggregate(" + std::to_string(index) + ")";
                from = end + 1;
                i = end;
                break;
            }
        }
        out.append(text, from, std::string::npos);
        return out;
    }

    // An aggregate from its arguments: (band) for COUNT, (expression[, band[, flags]]) for the
    // others. -1 when the call is not an aggregate (MIN(a, b) of two values).
    int makeAggregate(Aggregate::Kind kind, const std::vector<std::string>& args, const TfrxComponent* container)
    {
        auto agg = std::make_unique<Aggregate>();
        agg->kind = kind;
        agg->container = container;
        const std::size_t bandArg = kind == Aggregate::agCount ? 0 : 1;
        if (kind != Aggregate::agCount && args.empty())
            return -1;
        if (bandArg < args.size() && !args[bandArg].empty()) {
            const TfrxComponent* band = m_report.FindObject(args[bandArg]);
            if (!dynamic_cast<const TfrxBand*>(band))
                return -1;
            agg->dataBand = band;
        } else {
            agg->dataBand = m_firstDataBand;
        }
        if (bandArg + 1 < args.size())
            agg->running = (StrToIntDef(args[bandArg + 1], 0) & 2) != 0;
        if (kind != Aggregate::agCount)
            m_pendingAggregateExprs.push_back({agg.get(), args[0]});
        m_aggregates.push_back(std::move(agg));
        return static_cast<int>(m_aggregates.size() - 1);
    }

    // The compiled form of a bracket expression; aggregate arguments compile after the script.
    struct Compiled {
        enum Kind { ckScript, ckName, ckTotalPages } kind = ckScript;
        std::optional<TScriptExpression> expr;
        std::string name;
    };

    // Keyed by the text and the band of the object: the same aggregate text in two bands is two
    // aggregates.
    const Compiled& compile(const std::string& expr, const TfrxComponent& owner)
    {
        const auto key = std::make_pair(bandOf(&owner), expr);
        auto it = m_compiled.find(key);
        if (it != m_compiled.end())
            return it->second;
        Compiled c;
        std::string t = Trim(expr);
        if (t.size() > 2 && t.front() == '<' && t.back() == '>' && t.find('<', 1) == std::string::npos)
            t = t.substr(1, t.size() - 2);
        const std::string up = upperCase(t);
        if (up == "TOTALPAGES#" || up == "TOTALPAGES") {
            c.kind = Compiled::ckTotalPages;
        } else if (isSystemName(up) || isVariable(t)) {
            c.kind = Compiled::ckName;
            c.name = t;
        } else {
            const std::string text = replaceAggregates(expr, bandOf(&owner));
            compilePendingAggregates(owner);
            try {
                c.expr.emplace(m_script.CompileExpression(text));
            } catch (const Exception& e) {
                throw Exception(owner.Name() + ": " + e.Message() + " [" + expr + "]");
            }
        }
        compilePendingAggregates(owner);
        return m_compiled.emplace(key, std::move(c)).first->second;
    }

    void compilePendingAggregates(const TfrxComponent& owner)
    {
        while (!m_pendingAggregateExprs.empty()) {
            auto [agg, text] = m_pendingAggregateExprs.back();
            m_pendingAggregateExprs.pop_back();
            std::string t = Trim(text);
            if (t.size() > 2 && t.front() == '[' && t.back() == ']')
                t = t.substr(1, t.size() - 2);
            try {
                agg->expr.emplace(m_script.CompileExpression(t));
            } catch (const Exception& e) {
                throw Exception(owner.Name() + ": " + e.Message() + " [" + text + "]");
            }
        }
    }

    static bool isSystemName(const std::string& up)
    {
        return up == "DATE" || up == "TIME" || up == "PAGE" || up == "PAGE#" || up == "LINE" || up == "LINE#" ||
               up == "COPYNAME#";
    }

    bool isVariable(const std::string& name) const
    {
        const std::string up = upperCase(name);
        for (const TfrxVariable& v : m_report.Variables)
            if (upperCase(v.Name) == up)
                return true;
        return false;
    }

    Variant evaluate(const std::string& expr, const TfrxComponent& owner)
    {
        const Compiled& c = compile(expr, owner);
        switch (c.kind) {
        case Compiled::ckTotalPages: return Variant(std::string(1, kTotalPagesMark));
        case Compiled::ckName: return getValue(c.name);
        default: return c.expr->Evaluate();
        }
    }

    // <Name>: a dataset field (Dataset."Alias"), a system value, a report or global variable.
    Variant getValue(const std::string& name)
    {
        std::string dataset, field;
        if (splitFieldReference(name, dataset, field)) {
            if (TField* f = fieldOf(dataset, field))
                return f->Value();
            return Variant::Null();
        }
        const std::string up = upperCase(name);
        if (up == "DATE")
            return Variant::FromDate(Date());
        if (up == "TIME") {
            const TDateTime now = Now();
            return Variant::FromDate(now - std::floor(now));
        }
        if (up == "PAGE" || up == "PAGE#")
            return Variant(static_cast<int64_t>(m_pageNo));
        if (up == "TOTALPAGES" || up == "TOTALPAGES#")
            return Variant(static_cast<int64_t>(m_totalPages));
        if (up == "LINE" || up == "LINE#")
            return Variant(static_cast<int64_t>(m_line));
        if (up == "COPYNAME#")
            return Variant(std::string());
        for (const auto* list : {&m_report.Variables, &frxGlobalVariables()})
            for (const TfrxVariable& v : *list)
                if (upperCase(v.Name) == up)
                    return variableValue(v);
        return Variant::Null();
    }

    Variant variableValue(const TfrxVariable& v)
    {
        if (Trim(v.Value).empty() || m_variableDepth > 16)
            return Variant::Null();
        ++m_variableDepth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{m_variableDepth};
        return evaluate(v.Value, m_report);
    }

    TField* fieldOf(const std::string& dataset, const std::string& alias)
    {
        const std::string key = upperCase(dataset) + "\x01" + upperCase(alias);
        const auto it = m_fields.find(key);
        if (it != m_fields.end())
            return it->second;
        TField* f = nullptr;
        if (TfrxDBDataset* ds = m_report.GetDataset(dataset))
            if (TDataSet* data = ds->DataSet())
                f = data->FindField(ds->GetFieldName(alias));
        m_fields[key] = f;
        return f;
    }

    Variant engineValue(const std::string& member, const TScriptArgs* args)
    {
        if (member == "CurY")
            return Variant(m_curY);
        if (member == "FreeSpace")
            return Variant(m_freeBottom - m_curY);
        if (member == "FinalPass")
            return Variant(true);
        if (member == "PageHeight")
            return Variant(m_freeBottom - m_pageTop);
        if (member == "PageWidth")
            return Variant(m_pageWidth);
        if (member == "PageNo")
            return Variant(static_cast<int64_t>(m_pageNo));
        if (member == "TotalPages")
            return Variant(static_cast<int64_t>(m_totalPages));
        if (member == "NewPage")
            m_newPageRequested = true;
        if (member == "StopReport" || member == "Terminated")
            return member == "StopReport" ? (m_stopped = true, Variant::Null()) : Variant(m_stopped);
        (void)args;
        return Variant::Null();
    }

    void callEvent(TfrxComponent* c, const char* event)
    {
        const std::string& name = c->Prop(event);
        if (name.empty())
            return;
        auto it = m_routines.find(name);
        if (it == m_routines.end())
            it = m_routines.emplace(name, m_script.FindRoutine(name)).first;
        if (!it->second)
            return;
        TScriptObject* sender = m_host.ObjectOf(c);
        m_script.Call(it->second, {Variant()}, {sender});
    }

    // --- Band structure -------------------------------------------------------------------

    void collectBands()
    {
        for (TfrxPage* page : m_report.Pages())
            for (TfrxComponent* c : page->AllObjects())
                if (auto* b = dynamic_cast<TfrxBand*>(c); b && b->IsDataBand() && !m_firstDataBand)
                    m_firstDataBand = b;
    }

    struct PageBands {
        TfrxBand *title = nullptr, *summary = nullptr, *pageHeader = nullptr, *pageFooter = nullptr;
        TfrxBand *columnHeader = nullptr, *columnFooter = nullptr, *overlay = nullptr;
        std::vector<DataBlock> masters;
    };

    PageBands structure(TfrxReportPage& page)
    {
        PageBands pb;
        std::vector<TfrxBand*> bands;
        std::vector<std::string> children;
        for (int i = 0; i < page.Count(); ++i)
            if (auto* b = dynamic_cast<TfrxBand*>(page.Objects(i)); b && !b->IsVertical()) {
                bands.push_back(b);
                if (!b->Prop("Child").empty())
                    children.push_back(upperCase(b->Prop("Child")));
            }
        std::stable_sort(bands.begin(), bands.end(), [](TfrxBand* a, TfrxBand* b) { return a->Top() < b->Top(); });
        TfrxBand* pendingHeader = nullptr;
        std::vector<TfrxBand*> pendingGroups;
        DataBlock* current = nullptr;
        for (TfrxBand* b : bands) {
            const std::string& cls = b->ClassName();
            if (std::find(children.begin(), children.end(), upperCase(b->Name())) != children.end())
                continue;  // printed after its parent band
            if (cls == "TfrxReportTitle") pb.title = b;
            else if (cls == "TfrxReportSummary") pb.summary = b;
            else if (cls == "TfrxPageHeader") pb.pageHeader = b;
            else if (cls == "TfrxPageFooter") pb.pageFooter = b;
            else if (cls == "TfrxColumnHeader") pb.columnHeader = b;
            else if (cls == "TfrxColumnFooter") pb.columnFooter = b;
            else if (cls == "TfrxOverlay") pb.overlay = b;
            else if (cls == "TfrxHeader") pendingHeader = b;
            else if (cls == "TfrxGroupHeader") pendingGroups.push_back(b);
            else if (cls == "TfrxMasterData") {
                pb.masters.push_back({b, pendingHeader, nullptr, pendingGroups, {}, {}});
                pendingHeader = nullptr;
                pendingGroups.clear();
                current = &pb.masters.back();
            } else if ((cls == "TfrxDetailData" || cls == "TfrxSubdetailData") && !pb.masters.empty()) {
                pb.masters.back().details.push_back({b, pendingHeader, nullptr, {}, {}, {}});
                pendingHeader = nullptr;
                current = &pb.masters.back().details.back();
            } else if (cls == "TfrxFooter" && current) {
                if (!current->footer)
                    current->footer = b;
                else if (!pb.masters.back().footer)
                    pb.masters.back().footer = b;
            } else if (cls == "TfrxGroupFooter" && !pb.masters.empty()) {
                pb.masters.back().groupFooters.push_back(b);
            }
        }
        for (DataBlock& m : pb.masters) {
            // Footers were met innermost first; line them up with the headers.
            std::vector<TfrxBand*> footers(m.groupHeaders.size(), nullptr);
            for (std::size_t i = 0; i < m.groupFooters.size() && i < footers.size(); ++i)
                footers[footers.size() - 1 - i] = m.groupFooters[i];
            m.groupFooters = footers;
        }
        return pb;
    }

    // --- Pages ----------------------------------------------------------------------------

    void renderPage(TfrxReportPage& page)
    {
        m_page = &page;
        m_bands = structure(page);
        m_paperW = page.PaperWidth();
        m_paperH = page.PaperHeight();
        m_left = page.LeftMargin() * fr01cm;
        m_pageTop = page.TopMargin() * fr01cm;
        m_pageWidth = (m_paperW - page.LeftMargin() - page.RightMargin()) * fr01cm;
        m_pageBottom = (m_paperH - page.BottomMargin()) * fr01cm;
        callEvent(&page, "OnBeforePrint");
        if (!page.Visible())
            return;
        // The title comes above the page header on the first page.
        const bool titleFirst = m_bands.title && page.PropBool("TitleBeforeHeader", true);
        startPage(titleFirst ? m_bands.title : nullptr);
        if (!titleFirst)
            showBand(m_bands.title);
        for (DataBlock& master : m_bands.masters) {
            if (m_stopped)
                break;
            showData(master);
        }
        showBand(m_bands.summary);
        endPage(true);
    }

    // Begins a page; `first` is a band to show before the page header.
    void startPage(TfrxBand* first = nullptr)
    {
        m_out->Pages.push_back({m_paperW, m_paperH, {}});
        ++m_pageNo;
        m_totalPages = std::max(m_totalPages, m_pageNo);
        if (m_progress)
            m_progress(m_pageNo);
        m_curY = m_pageTop;
        m_freeBottom = m_pageBottom - bandHeightOf(m_bands.pageFooter) - bandHeightOf(m_bands.columnFooter);
        m_atTop = true;
        for (Aggregate* a : containerAggregates(m_bands.pageFooter))
            a->Reset();
        showBand(first);
        if (m_bands.pageHeader && (m_pageNo > 1 || m_bands.pageHeader->PropBool("PrintOnFirstPage", true)))
            printBand(m_bands.pageHeader);
        if (m_bands.columnHeader)
            printBand(m_bands.columnHeader);
        m_atTop = true;
        for (TfrxBand* b : m_reprint)
            if (b->PropBool("ReprintOnNewPage"))
                printBand(b);
        m_atTop = true;
    }

    void endPage(bool last)
    {
        if (m_bands.columnFooter) {
            m_curY = std::min(m_curY, m_freeBottom);
            printBand(m_bands.columnFooter);
        }
        TfrxBand* footer = m_bands.pageFooter;
        if (footer && (m_pageNo > 1 || footer->PropBool("PrintOnFirstPage", true)) &&
            (!last || footer->PropBool("PrintOnLastPage", true))) {
            m_curY = m_pageBottom - bandHeightOf(footer);
            printBand(footer);
        }
    }

    void newPage()
    {
        endPage(false);
        startPage();
    }

    double bandHeightOf(TfrxBand* b) const { return b && b->Visible() ? b->Height() : 0; }

    // --- Data -----------------------------------------------------------------------------

    TfrCustomDBDataSet* datasetOf(TfrxBand* band)
    {
        std::string name = band->Prop("DataSet");
        if (name.empty())
            name = band->Prop("DataSetName");
        return name.empty() ? nullptr : m_report.GetDataset(name);
    }

    void showData(DataBlock& block)
    {
        TfrCustomDBDataSet* ds = datasetOf(block.data);
        const int rowCount = block.data->PropInt("RowCount", 0);
        if (!ds && rowCount <= 0)
            return;
        std::vector<Variant> groupValues(block.groupHeaders.size());
        bool first = true;
        int line = 0;
        if (ds)
            ds->First();
        for (; ds ? !ds->Eof() : line < rowCount; ds ? ds->Next() : void()) {
            if (m_stopped)
                break;
            ++line;
            // The outermost group whose condition changed, or the count of groups when none did.
            std::size_t changed = block.groupHeaders.size();
            std::vector<Variant> values(block.groupHeaders.size());
            for (std::size_t g = 0; g < block.groupHeaders.size(); ++g) {
                values[g] = evaluate(block.groupHeaders[g]->Prop("Condition"), *block.groupHeaders[g]);
                if (changed == block.groupHeaders.size() && (first || !sameValue(values[g], groupValues[g])))
                    changed = g;
            }
            if (first) {
                m_reprint.clear();
                if (block.header) {
                    showBand(block.header);
                    m_reprint.push_back(block.header);
                }
            } else {
                for (std::size_t g = block.groupHeaders.size(); g-- > changed;)
                    showBand(block.groupFooters[g]);
            }
            for (std::size_t g = changed; g < block.groupHeaders.size(); ++g) {
                keepTogether(block, g);
                showBand(block.groupHeaders[g]);
                m_reprint.resize(std::min<std::size_t>(m_reprint.size(), (block.header ? 1 : 0) + g));
                m_reprint.push_back(block.groupHeaders[g]);
            }
            groupValues = values;
            first = false;
            m_line = line;
            showBand(block.data);
            for (DataBlock& detail : block.details)
                showData(detail);
        }
        if (!first)
            for (std::size_t g = block.groupHeaders.size(); g-- > 0;)
                showBand(block.groupFooters[g]);
        m_reprint.clear();
        if (!first || block.data->PropBool("PrintIfDetailEmpty"))
            showBand(block.footer);
    }

    static bool sameValue(const Variant& a, const Variant& b)
    {
        if (a.IsNullOrEmpty() || b.IsNullOrEmpty())
            return a.IsNullOrEmpty() == b.IsNullOrEmpty();
        return a.AsString() == b.AsString();
    }

    // A group header whose band and the first data row do not fit starts a new page.
    void keepTogether(const DataBlock& block, std::size_t g)
    {
        if (!block.groupHeaders[g]->PropBool("KeepTogether") || m_atTop)
            return;
        double need = 0;
        for (std::size_t k = g; k < block.groupHeaders.size(); ++k)
            need += bandHeightOf(block.groupHeaders[k]);
        need += bandHeightOf(block.data);
        if (m_curY + need > m_freeBottom)
            newPage();
    }

    // --- Bands ----------------------------------------------------------------------------

    std::vector<Aggregate*> containerAggregates(const TfrxComponent* band)
    {
        std::vector<Aggregate*> out;
        if (band)
            for (auto& a : m_aggregates)
                if (a->container == band)
                    out.push_back(a.get());
        return out;
    }

    void showBand(TfrxBand* band)
    {
        if (!band || m_stopped)
            return;
        callEvent(band, "OnBeforePrint");
        if (band->Visible()) {
            if (band->PropBool("StartNewPage") && !m_atTop)
                newPage();
            printBand(band);
        }
        if (band->IsDataBand())
            accumulate(band);
        resetAggregates(band);
        if (band->Visible() || band->PropBool("PrintChildIfInvisible"))
            if (auto* child = dynamic_cast<TfrxBand*>(m_report.FindObject(band->Prop("Child"))); child && child != band)
                showBand(child);
        if (m_newPageRequested) {
            m_newPageRequested = false;
            newPage();
        }
    }

    void accumulate(const TfrxBand* band)
    {
        for (auto& a : m_aggregates) {
            if (a->dataBand != band)
                continue;
            if (a->kind == Aggregate::agCount) {
                ++a->count;
                continue;
            }
            const Variant v = a->expr ? a->expr->Evaluate() : Variant::Null();
            if (v.IsNullOrEmpty())
                continue;
            ++a->count;
            if (a->kind == Aggregate::agMin || a->kind == Aggregate::agMax) {
                Variant& slot = a->kind == Aggregate::agMin ? a->min : a->max;
                const bool better = slot.IsEmpty() || (a->kind == Aggregate::agMin ? v.AsFloat() < slot.AsFloat()
                                                                                    : v.AsFloat() > slot.AsFloat());
                if (better)
                    slot = v;
            } else {
                a->sum += v.AsFloat();
            }
        }
    }

    // Lays the band's objects out, moves to a new page when it does not fit, and draws it.
    void printBand(TfrxBand* band)
    {
        std::vector<Laid> laid;
        double height = band->Height();
        for (int i = 0; i < band->Count(); ++i) {
            TfrxComponent* obj = band->Objects(i);
            if (!dynamic_cast<TfrxView*>(obj))
                continue;
            callEvent(obj, "OnBeforePrint");
            if (!obj->Visible())
                continue;
            laid.push_back(layOut(*obj));
            if (band->Stretched() && obj->Prop("StretchMode") != "smDontStretch" && obj->HasProp("StretchMode"))
                height = std::max(height, obj->Top() + laid.back().height);
        }
        if (m_curY + height > m_freeBottom + 0.01 && !m_atTop && band != m_bands.pageFooter &&
            band != m_bands.columnFooter)
            newPage();
        TfrxPreparedPage& page = m_out->Pages.back();
        for (Laid& l : laid) {
            if (l.obj->Prop("StretchMode") == "smMaxHeight" && band->Stretched())
                l.height = height - l.obj->Top();
            emit(page, l, m_left + l.obj->Left(), m_curY + l.obj->Top());
        }
        m_curY += height;
        m_atTop = false;
    }

    // After a band's turn (printed or hidden by its script) its aggregates start again, so that a
    // hidden group footer does not carry its group into the next one.
    void resetAggregates(const TfrxBand* band)
    {
        if (band->ClassName() == "TfrxReportSummary" || band == m_bands.pageFooter)
            return;
        for (Aggregate* a : containerAggregates(band))
            if (!a->running)
                a->Reset();
    }

    Laid layOut(TfrxComponent& obj)
    {
        Laid l{&obj, obj.Height(), {}, {}, {}};
        if (obj.ClassName() != "TfrxMemoView")
            return l;
        l.font = fontOf(obj);
        l.text = memoText(obj);
        const double gapX = obj.PropFloat("GapX", 2), gapY = obj.PropFloat("GapY", 1);
        const bool rotated = obj.PropInt("Rotation", 0) != 0;
        const double width = (rotated ? obj.Height() : obj.Width()) - 2 * gapX;
        l.lines = wrap(l.text, l.font, width, obj.PropBool("WordWrap", true));
        const double lineHeight = m_measure.LineHeight(l.font) + obj.PropFloat("LineSpacing", 2);
        if (!rotated && obj.Prop("StretchMode") != "smDontStretch" && obj.HasProp("StretchMode"))
            l.height = std::max(obj.Height(), l.lines.size() * lineHeight + 2 * gapY);
        return l;
    }

    std::string memoText(const TfrxComponent& memo)
    {
        const std::string& text = memo.Prop("Text");
        if (!memo.PropBool("AllowExpressions", true) || text.find('[') == std::string::npos)
            return text;
        std::string out;
        std::size_t from = 0;
        for (;;) {
            const std::size_t open = text.find('[', from);
            if (open == std::string::npos)
                break;
            const std::size_t close = matchingBracket(text, open);
            if (close == std::string::npos)
                break;
            out.append(text, from, open - from);
            out += frxFormatValue(evaluate(text.substr(open + 1, close - open - 1), memo), memo);
            from = close + 1;
        }
        out.append(text, from, std::string::npos);
        return out;
    }

    // The text broken into lines that fit the width: at line breaks, and with wrap between
    // words (a word wider than the line is broken between characters); without wrap, lines are
    // cut to the width.
    std::vector<Line> wrap(const std::string& text, const TfrxFont& font, double width, bool wordWrap)
    {
        std::vector<Line> lines;
        std::size_t from = 0;
        while (from <= text.size()) {
            std::size_t eol = text.find_first_of("\r\n", from);
            std::string para = text.substr(from, eol == std::string::npos ? std::string::npos : eol - from);
            const double paraWidth = m_measure.TextWidth(font, para);
            if (paraWidth <= width)
                lines.push_back({std::move(para), paraWidth});
            else if (!wordWrap)
                lines.push_back({fitting(para, font, width)});
            else
                wrapParagraph(para, font, width, lines);
            if (eol == std::string::npos)
                break;
            from = eol + (text.compare(eol, 2, "\r\n") == 0 ? 2 : 1);
        }
        return lines;
    }

    std::string fitting(const std::string& s, const TfrxFont& font, double width)
    {
        std::size_t n = s.size();
        while (n > 0 && m_measure.TextWidth(font, std::string_view(s).substr(0, n)) > width)
            --n;
        return s.substr(0, n);
    }

    void wrapParagraph(const std::string& para, const TfrxFont& font, double width, std::vector<Line>& lines)
    {
        std::string line;
        std::size_t i = 0;
        while (i < para.size()) {
            std::size_t end = para.find(' ', i);
            if (end == std::string::npos)
                end = para.size();
            std::string word = para.substr(i, end - i);
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (m_measure.TextWidth(font, candidate) <= width) {
                line = candidate;
            } else {
                if (!line.empty())
                    lines.push_back({line});
                while (m_measure.TextWidth(font, word) > width && word.size() > 1) {
                    std::string part = fitting(word, font, width);
                    if (part.empty())
                        part = word.substr(0, 1);
                    lines.push_back({part});
                    word.erase(0, part.size());
                }
                line = word;
            }
            i = end + 1;
        }
        if (!line.empty() || lines.empty())
            lines.push_back({line});
    }

    // --- Drawing --------------------------------------------------------------------------

    void emit(TfrxPreparedPage& page, const Laid& l, double x, double y)
    {
        TfrxComponent& obj = *l.obj;
        const double w = obj.Width(), h = l.height;
        const std::string& cls = obj.ClassName();
        const TColor fill = obj.PropInt("Color", kNoColor);
        if (cls == "TfrxLineView" || cls == "TfrxCustomLineView") {
            TfrxDrawItem item;
            item.Kind = TfrxDrawItem::dkLine;
            item.X = x, item.Y = y, item.W = w, item.H = obj.Height();
            item.Color = obj.PropInt("Frame.Color", clBlack);
            item.LineWidth = obj.PropFloat("Frame.Width", 1);
            item.LineStyle = frameStyleOf(obj.Prop("Frame.Style"));
            page.Items.push_back(item);
            return;
        }
        if (cls == "TfrxShapeView") {
            static const char* const shapes[] = {"skRectangle", "skRoundRectangle", "skEllipse", "skTriangle",
                                                 "skDiagonal1", "skDiagonal2"};
            TfrxDrawItem item;
            item.Kind = TfrxDrawItem::dkShape;
            item.X = x, item.Y = y, item.W = w, item.H = h;
            for (int i = 0; i < 6; ++i)
                if (obj.Prop("Shape") == shapes[i])
                    item.Shape = i;
            item.Color = obj.PropInt("Frame.Color", clBlack);
            item.FillColor = fill;
            item.LineWidth = obj.PropFloat("Frame.Width", 1);
            page.Items.push_back(item);
            return;
        }
        if (fill != kNoColor && fill != clWhite && obj.HasProp("Color")) {
            TfrxDrawItem item;
            item.Kind = TfrxDrawItem::dkFill;
            item.X = x, item.Y = y, item.W = w, item.H = h;
            item.Color = fill;
            page.Items.push_back(item);
        }
        if (cls == "TfrxPictureView" && obj.HasProp("Picture.Data")) {
            TfrxDrawItem item;
            item.Kind = TfrxDrawItem::dkPicture;
            item.X = x, item.Y = y, item.W = w, item.H = h;
            item.Text = unhex(obj.Prop("Picture.Data"));
            item.KeepAspect = obj.PropBool("KeepAspectRatio", true);
            page.Items.push_back(std::move(item));
        }
        if (cls == "TfrxMemoView")
            emitText(page, l, x, y, w, h);
        emitFrame(page, obj, x, y, w, h);
    }

    void emitText(TfrxPreparedPage& page, const Laid& l, double x, double y, double w, double h)
    {
        const TfrxComponent& obj = *l.obj;
        const double gapX = obj.PropFloat("GapX", 2), gapY = obj.PropFloat("GapY", 1);
        const double lineHeight = m_measure.LineHeight(l.font) + obj.PropFloat("LineSpacing", 2);
        const int rotation = obj.PropInt("Rotation", 0);
        if (rotation != 0) {
            TfrxDrawItem item;
            item.Kind = TfrxDrawItem::dkText;
            item.X = x + gapX, item.Y = y + h - gapY, item.W = h - 2 * gapY, item.H = w - 2 * gapX;
            item.Text = l.lines.empty() ? std::string() : l.lines.front().text;
            item.Font = l.font;
            item.Rotation = rotation;
            page.Items.push_back(std::move(item));
            return;
        }
        const std::string& hAlign = obj.Prop("HAlign");
        const std::string& vAlign = obj.Prop("VAlign");
        const double textHeight = l.lines.size() * lineHeight;
        double top = y + gapY;
        if (vAlign == "vaCenter")
            top = y + (h - textHeight) / 2;
        else if (vAlign == "vaBottom")
            top = y + h - gapY - textHeight;
        for (const Line& line : l.lines) {
            if (top + lineHeight > y + h + 0.5 && &line != &l.lines.front())
                break;  // clipped by the memo's bottom
            if (!line.text.empty()) {
                TfrxDrawItem item;
                item.Kind = TfrxDrawItem::dkText;
                const double tw = line.width >= 0 ? line.width : m_measure.TextWidth(l.font, line.text);
                double left = x + gapX;
                if (hAlign == "haRight")
                    left = x + w - gapX - tw;
                else if (hAlign == "haCenter")
                    left = x + (w - tw) / 2;
                item.X = left, item.Y = top, item.W = tw, item.H = lineHeight;
                item.Text = line.text;
                item.Font = l.font;
                page.Items.push_back(std::move(item));
            }
            top += lineHeight;
        }
    }

    void emitFrame(TfrxPreparedPage& page, const TfrxComponent& obj, double x, double y, double w, double h)
    {
        const int typ = obj.PropInt("Frame.Typ", 0);
        if (!typ)
            return;
        TfrxDrawItem item;
        item.Kind = TfrxDrawItem::dkLine;
        item.Color = obj.PropInt("Frame.Color", clBlack);
        item.LineWidth = obj.PropFloat("Frame.Width", 1);
        item.LineStyle = frameStyleOf(obj.Prop("Frame.Style"));
        auto line = [&](double x1, double y1, double dx, double dy) {
            item.X = x1, item.Y = y1, item.W = dx, item.H = dy;
            page.Items.push_back(item);
        };
        if (typ & 1) line(x, y, 0, h);
        if (typ & 2) line(x + w, y, 0, h);
        if (typ & 4) line(x, y, w, 0);
        if (typ & 8) line(x, y + h, w, 0);
    }

    // The page count replaces its mark, now that the last page is known.
    static void fillTotalPages(TfrxPreparedPages& out)
    {
        const std::string total = std::to_string(out.Count());
        for (TfrxPreparedPage& page : out.Pages)
            for (TfrxDrawItem& item : page.Items)
                if (item.Kind == TfrxDrawItem::dkText)
                    for (std::size_t at; (at = item.Text.find(kTotalPagesMark)) != std::string::npos;)
                        item.Text.replace(at, 1, total);
    }

    TfrxReport& m_report;
    TfrxPainter& m_measure;
    TScript m_script;
    TfrxScriptHost m_host;
    TfrxPreparedPages* m_out = nullptr;
    std::function<void(int)> m_progress;
    std::map<std::pair<const TfrxComponent*, std::string>, Compiled> m_compiled;
    std::map<std::string, TScriptRoutine> m_routines;
    std::map<std::string, TField*> m_fields;
    std::vector<std::unique_ptr<Aggregate>> m_aggregates;
    std::vector<std::pair<Aggregate*, std::string>> m_pendingAggregateExprs;
    TfrxBand* m_firstDataBand = nullptr;
    TfrxReportPage* m_page = nullptr;
    PageBands m_bands;
    std::vector<TfrxBand*> m_reprint;
    double m_paperW = 210, m_paperH = 297, m_left = 0, m_pageTop = 0, m_pageWidth = 0, m_pageBottom = 0;
    double m_curY = 0, m_freeBottom = 0;
    int m_pageNo = 0, m_totalPages = 0, m_line = 0, m_variableDepth = 0;
    bool m_atTop = true, m_newPageRequested = false, m_stopped = false;
};

TfrxRenderer::TfrxRenderer(TfrxReport& report, TfrxPainter& measure)
    : m_impl(std::make_unique<Impl>(report, measure))
{
}

TfrxRenderer::~TfrxRenderer() = default;

void TfrxRenderer::Prepare(TfrxPreparedPages& pages)
{
    m_impl->Prepare(pages, OnProgress);
}

} // namespace lm
