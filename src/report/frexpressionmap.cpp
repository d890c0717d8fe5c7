// Mapping of version-2 bracketed expressions to version-3 names.
#include "report/frexpressionmap.h"

#include <map>

#include "report/frdbdataset.h"
#include "report/frxreport.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

const std::map<std::string, std::string>& nameTable()
{
    static const std::map<std::string, std::string> table = {
        {"REPORTCOMMENT", "Report.ReportOptions.Description"},
        {"REPORTNAME", "Report.ReportOptions.Name"},
        {"REPORTAUTOR", "Report.ReportOptions.Author"},
        {"VMAJOR", "Report.ReportOptions.VersionMajor"},
        {"VMINOR", "Report.ReportOptions.VersionMinor"},
        {"VRELEASE", "Report.ReportOptions.VersionRelease"},
        {"VBUILD", "Report.ReportOptions.VersionBuild"},
        {"REPORTDATE", "Report.ReportOptions.CreateDate"},
        {"REPORTLASTCHANGE", "Report.ReportOptions.LastChange"},
        {"CURY", "Engine.CurY"},
        {"FREESPACE", "Engine.FreeSpace"},
        {"FINALPASS", "Engine.FinalPass"},
        {"PAGEHEIGHT", "Engine.PageHeight"},
        {"PAGEWIDTH", "Engine.PageWidth"},
    };
    return table;
}

// The last "."-separated part of a component path ("Form.Component" gives "Component").
std::string lastPart(const std::string& path)
{
    const auto dot = path.rfind('.');
    return upperCase(dot == std::string::npos ? path : path.substr(dot + 1));
}

} // namespace

std::size_t matchingBracket(const std::string& text, std::size_t open)
{
    int depth = 0;
    bool apos = false, quote = false;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'' && !quote)
            apos = !apos;
        else if (c == '"' && !apos)
            quote = !quote;
        else if (!apos && !quote) {
            if (c == '[')
                ++depth;
            else if (c == ']' && --depth == 0)
                return i;
        }
    }
    return std::string::npos;
}

bool splitFieldReference(const std::string& text, std::string& dataset, std::string& field)
{
    if (text.size() < 4 || text.back() != '"')
        return false;
    const auto open = text.rfind(".\"", text.size() - 2);
    if (open == std::string::npos || open == 0)
        return false;
    field = text.substr(open + 2, text.size() - open - 3);
    dataset = text.substr(0, open);
    if (field.find('"') != std::string::npos)
        return false;
    for (const char c : dataset)
        if (c == '"' || c == '[' || c == ']' || c == '\'' || static_cast<unsigned char>(c) <= ' ' || c == '(')
            return false;
    return true;
}

std::string TfrExpressionMap::Text(const std::string& text, bool bare) const
{
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
        const std::string inner = Text(text.substr(open + 1, close - open - 1), false);
        const std::string mapped = Name(inner, true);
        out += bare ? mapped : "[" + mapped + "]";
        from = close + 1;
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string TfrExpressionMap::Name(const std::string& name, bool useTable) const
{
    if (useTable) {
        const auto it = nameTable().find(upperCase(Trim(name)));
        if (it != nameTable().end())
            return it->second;
    }
    std::string out = name;
    static const std::string prefix = "DIALOGFORM.";
    if (upperCase(out.substr(0, prefix.size())) == prefix)
        out.erase(0, prefix.size());
    std::string dataset, field;
    if (splitFieldReference(out, dataset, field))
        if (const TfrxDBDataset* ds = Dataset(dataset))
            return ds->UserName() + ".\"" + field + "\"";
    return out;
}

TfrxDBDataset* TfrExpressionMap::Dataset(const std::string& v2Name) const
{
    if (v2Name.empty())
        return nullptr;
    const std::string key = lastPart(v2Name);
    const auto datasets = m_report.DataSets();
    for (TfrxDBDataset* ds : datasets)
        if (upperCase(ds->Name()) == key || upperCase(ds->UserName()) == upperCase(v2Name))
            return ds;
    if (const TComponent* owner = m_report.Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            const auto* v2 = dynamic_cast<const TfrDBDataSet*>(owner->Components(i));
            if (!v2 || upperCase(v2->Name()) != key || !v2->DataSet())
                continue;
            for (TfrxDBDataset* ds : datasets)
                if (ds->DataSet() == v2->DataSet())
                    return ds;
        }
    return nullptr;
}

} // namespace lm
