// The converted-report fix-up: a name table from the datasets and variables, then the texts of
// the objects and the script rewritten with it.
#include "report/repfixup3.h"

#include <algorithm>
#include <cstdio>

#include "host/dataset.h"
#include "report/frdbdataset.h"
#include "report/frxreport.h"
#include "report/frxscripthost.h"
#include "script/script.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

std::function<void(const std::string&)>& warningHook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

void warn(const std::string& text)
{
    if (warningHook())
        warningHook()(text);
    else
        std::fprintf(stderr, "%s\n", cp1251ToUtf8(text).c_str());
}

struct Entry {
    std::string name;  // version-2 name
    std::string upper;
    std::string replacement;
    bool pair;
};

bool isIdentChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           isLetter(static_cast<unsigned char>(c));
}

// Replaces every occurrence of `what` (compared ignoring case) by `with`, scanning once so that a
// replacement is never searched again. `skip` may refuse an occurrence at a position.
template <class Skip>
bool replaceAll(std::string& text, const std::string& what, const std::string& with, Skip skip)
{
    if (what.empty())
        return false;
    const std::string upText = upperCase(text), upWhat = upperCase(what);
    std::string out;
    std::size_t from = 0, at;
    bool changed = false;
    while ((at = upText.find(upWhat, from)) != std::string::npos) {
        if (skip(at)) {
            out.append(text, from, at + 1 - from);
            from = at + 1;
            continue;
        }
        out.append(text, from, at - from);
        out += with;
        from = at + what.size();
        changed = true;
    }
    out.append(text, from, std::string::npos);
    text = std::move(out);
    return changed;
}

class Fixup {
public:
    Fixup(TfrxReport& report, TfrxDBDataset* dataSet) : m_report(report), m_dataSet(dataSet) {}

    void Run()
    {
        buildTable();
        for (TfrxComponent* c : m_report.AllObjects())
            fixObject(*c);
        fixScript();
        m_report.SetPropBool("EngineOptions.ConvertNulls", false);
    }

    enum Mode { memo, plain };

    // The text converted; unchanged (and false) for a blank text or unbalanced brackets.
    bool Convert(std::string& text, Mode mode)
    {
        if (Trim(text).empty())
            return false;
        const std::string before = text;
        replaceNames(text, mode);
        replaceAll(text, "IF(", "IIF(", [&](std::size_t at) { return at > 0 && isIdentChar(text[at - 1]); });
        bracketPass(text, mode);
        return text != before;
    }

private:
    void addPair(const std::string& name, const std::string& replacement)
    {
        m_table.push_back({name, upperCase(name), replacement.empty() ? "<" + name + ">" : replacement, true});
    }

    const Entry* find(const std::string& name) const
    {
        const std::string key = upperCase(name);
        for (const Entry& e : m_table)
            if (e.upper == key)
                return &e;
        return nullptr;
    }

    void buildTable()
    {
        const TComponent* home = m_report.Owner();
        for (TfrxDBDataset* ds : m_report.DataSets()) {
            TDataSet* data = ds->DataSet();
            if (!data || data->Name().empty())
                continue;
            std::string d = data->Name();
            if (data->Owner() && data->Owner() != home && !data->Owner()->Name().empty())
                d = data->Owner()->Name() + "." + d;
            for (int i = 0; i < data->FieldCount(); ++i) {
                const std::string f = data->Fields(i)->FieldName();
                const std::string alias = ds->GetAlias(f);
                const std::string replacement = "<" + ds->UserName() + ".\"" + alias + "\">";
                m_table.push_back({d + ".\"" + f + "\"", upperCase(d + ".\"" + f + "\""), replacement, false});
                if (!ds->Description().empty())
                    addPair(ds->Description() + " " + alias, replacement);
            }
        }
        for (const TfrxVariable& v : m_report.Variables) {
            if (v.Name.empty() || v.Name[0] == ' ' || find(v.Name))
                continue;
            const std::string value = upperCase(v.Value);
            std::string replacement;
            for (const Entry& e : m_table)
                if (value.find(e.upper) != std::string::npos) {
                    replacement = e.replacement;
                    break;
                }
            addPair(v.Name, replacement);
        }
        for (const char* name : {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#",
                                 "CopyName#", "VisibleRecordCount"})
            addPair(name, "");
        for (const TfrxVariable& v : frxGlobalVariables())
            if (!v.Name.empty() && v.Name[0] != ' ')
                addPair(v.Name, "");
    }

    // Bracketed names by their replacement; field names also where they stand bare, except
    // inside an angle reference (already converted).
    void replaceNames(std::string& text, Mode mode)
    {
        for (const Entry& e : m_table) {
            if (upperCase(text).find(e.upper) == std::string::npos)
                continue;
            const std::string bracketed = mode == memo ? "[" + e.replacement + "]" : e.replacement;
            replaceAll(text, "[" + e.name + "]", bracketed, [](std::size_t) { return false; });
            if (!e.pair)
                replaceAll(text, e.name, e.replacement, [&](std::size_t at) {
                    return at > 0 && text[at - 1] == '<' && at + e.name.size() < text.size() &&
                           text[at + e.name.size()] == '>';
                });
        }
    }

    struct Edit {
        std::size_t at, length;
        std::string text;
    };

    void bracketPass(std::string& text, Mode mode)
    {
        struct Open {
            std::size_t at;
            std::size_t suffix = std::string::npos;
        };
        std::vector<Open> stack;
        std::vector<Edit> edits;
        bool apos = false, brace = false, line = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (line) {
                line = c != '\n' && c != '\r';
                continue;
            }
            if (brace) {
                brace = c != '}';
                continue;
            }
            if (c == '\'') {
                apos = !apos;
                continue;
            }
            if (apos)
                continue;
            if (c == '{') {
                brace = true;
            } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
                line = true;
            } else if (c == '[') {
                stack.push_back({i});
            } else if (c == ']') {
                if (stack.empty())
                    return;
                const Open open = stack.back();
                stack.pop_back();
                closeBracket(text, open.at, i, open.suffix, stack.empty(), mode, edits);
            } else if (c == '#' && stack.size() == 1 && i > 0 && text[i - 1] == ' ' && i + 1 < text.size() &&
                       std::string_view("NnDd").find(text[i + 1]) != std::string_view::npos &&
                       stack.back().suffix == std::string::npos) {
                stack.back().suffix = i;
            }
        }
        if (!stack.empty())
            return;
        std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at > b.at; });
        for (const Edit& e : edits)
            text.replace(e.at, e.length, e.text);
    }

    void closeBracket(const std::string& text, std::size_t open, std::size_t close, std::size_t suffix,
                      bool outermost, Mode mode, std::vector<Edit>& edits)
    {
        if (mode == plain) {
            if (open > 0 && isIdentChar(text[open - 1])) {
                std::size_t start = open;
                while (start > 0 && isIdentChar(text[start - 1]))
                    --start;
                const std::string name = text.substr(start, open - start);
                if (std::none_of(m_arrays.begin(), m_arrays.end(),
                                 [&](const std::string& a) { return upperCase(a) == upperCase(name); }))
                    m_arrays.push_back(name);
                return;
            }
            edits.push_back({open, 1, " "});
            edits.push_back({close, 1, " "});
            return;
        }
        if (!outermost || suffix == std::string::npos)
            return;
        const std::string head = text.substr(open + 1, suffix - open - 1);
        const std::string name = Trim(head);
        if (!name.empty() && name[0] != '<')
            if (const Entry* e = find(name))
                edits.push_back({open + 1, head.size(), e->replacement + " "});
        if (text[suffix + 1] == 'N' || text[suffix + 1] == 'n') {
            std::size_t end = suffix + 2;
            while (end < close && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.'))
                ++end;
            edits.push_back({suffix, end - suffix, "#n%" + text.substr(suffix + 2, end - suffix - 2) + "f"});
        }
    }

    void fixObject(TfrxComponent& c)
    {
        const std::string& cls = c.ClassName();
        auto convertProp = [&](const char* prop, Mode mode) {
            std::string text = c.Prop(prop);
            if (Convert(text, mode))
                c.SetProp(prop, text);
        };
        if (cls == "TfrxGroupHeader")
            convertProp("Condition", plain);
        if (cls == "TfrxMemoView") {
            convertProp("Text", memo);
            convertProp("Highlight.Condition", plain);
            const std::string band = c.Parent() ? c.Parent()->ClassName() : std::string();
            if (band == "TfrxReportTitle" || band == "TfrxPageHeader" || band == "TfrxColumnHeader")
                c.SetProp("StretchMode", "smDontStretch");
        }
        if (cls == "TfrxBarCodeView")
            convertProp("Expression", memo);
        if (auto* band = dynamic_cast<TfrxBand*>(&c); band && band->IsDataBand() && m_dataSet) {
            c.SetProp("DataSet", m_dataSet->UserName());
            c.SetProp("DataSetName", m_dataSet->UserName());
        }
        if (dynamic_cast<TfrxReportPage*>(&c))
            for (const char* margin : {"LeftMargin", "TopMargin", "RightMargin", "BottomMargin"})
                if (c.PropFloat(margin, 10) < 5)
                    c.SetPropFloat(margin, 5);
    }

    void fixScript()
    {
        auto& lines = m_report.ScriptText;
        std::string text = frxJoinLines(lines);
        Convert(text, plain);
        lines = frxSplitLines(text);
        if (!m_arrays.empty())
            declareArrays(lines);
        declareImplicitVariables(lines);
    }

    void declareArrays(std::vector<std::string>& lines)
    {
        std::string names;
        for (const std::string& a : m_arrays)
            names += (names.empty() ? "" : ",") + a;
        std::vector<std::string> head = {"var " + names + ": TfrxArray;", ""};
        auto procedure = [&](const std::string& name, const std::string& body) {
            head.push_back("procedure " + name + "(Sender: TfrxComponent);");
            head.push_back("begin");
            for (const std::string& a : m_arrays)
                head.push_back("     " + a + body);
            head.push_back("end;");
            head.push_back("");
        };
        procedure("frxRepOnStartReport", ":=TfrxArray.Create;");
        procedure("frxRepOnStopReport", ".Free;");
        lines.insert(lines.begin(), head.begin(), head.end());
        m_report.SetProp("OnStartReport", "frxRepOnStartReport");
        m_report.SetProp("OnStopReport", "frxRepOnStopReport");
    }

    // Compiles the script in the version-2 mode, which lists the variables it used without
    // declaring them, and declares them at the top.
    void declareImplicitVariables(std::vector<std::string>& lines)
    {
        TScript script;
        TfrxScriptHost host(m_report, script);
        host.Register();
        script.SetCompatV2(true);
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        script.SetText(text);
        if (!script.Compile()) {
            warn("Ошибка в скрипте отчета:"_w + std::string("\r\n") + script.ErrorMsg());
            return;
        }
        const auto& vars = script.ImplicitVariables();
        if (vars.empty())
            return;
        std::string names;
        for (const std::string& v : vars)
            names += (names.empty() ? "" : ", ") + v;
        lines.insert(lines.begin(), "var " + names + ": Variant;");
    }

    TfrxReport& m_report;
    TfrxDBDataset* m_dataSet;
    std::vector<Entry> m_table;
    std::vector<std::string> m_arrays;
};

} // namespace

void ConvertReport(TfrxReport& report, TfrxDBDataset* dataSet)
{
    Fixup(report, dataSet).Run();
}

void SetReportWarningHook(std::function<void(const std::string& text)> hook)
{
    warningHook() = std::move(hook);
}

} // namespace lm
