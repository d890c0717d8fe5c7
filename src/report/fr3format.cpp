// Reading and writing .fr3 documents (see fr3format.h for the layout).
#include "report/fr3format.h"

#include "report/frxreport.h"
#include "util/exceptions.h"
#include "xml/xmlentities.h"
#include "xml/xmlnode.h"

namespace lm {

namespace {

constexpr std::string_view kScriptAttr = "ScriptText.Text";
constexpr std::string_view kVariables = "Variables";

// An attribute value: the XML entities, and character references for the bytes that XML
// readers would otherwise change (line breaks, tabs) or that the references use themselves (&).
void appendValue(std::string& out, std::string_view s)
{
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&': out += "&#38;"; break;
        case '\r': out += "&#13;"; break;
        case '\n': out += "&#10;"; break;
        case '\t': out += "&#9;"; break;
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case 0: out += ' '; break;
        default:
            if (c < 32)
                out += detail::kControlRefs[c];
            else
                out += ch;
        }
    }
}

// The parser keeps character references other than control bytes as written; this turns the
// four that appendValue writes back into their bytes, in one pass from the left.
std::string decodeValue(const std::string& s)
{
    if (s.find("&#") == std::string::npos)
        return s;
    static const std::pair<std::string_view, char> refs[] = {
        {"&#38;", '&'}, {"&#13;", '\r'}, {"&#10;", '\n'}, {"&#9;", '\t'}};
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        bool matched = false;
        for (const auto& [ref, byte] : refs)
            if (s.compare(i, ref.size(), ref) == 0) {
                out += byte;
                i += ref.size();
                matched = true;
                break;
            }
        if (!matched)
            out += s[i++];
    }
    return out;
}

void appendAttr(std::string& out, std::string_view name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendValue(out, value);
    out += '"';
}

void writeElement(std::string& out, const TfrxComponent& c, int depth, const TfrxReport* report)
{
    const std::string indent(2 * depth, ' ');
    out += indent + "<" + c.ClassName();
    for (const TfrxProperty& p : c.Props())
        appendAttr(out, p.Name, p.Value);
    std::string body;
    if (report) {
        if (!report->ScriptText.empty())
            appendAttr(out, kScriptAttr, frxJoinLines(report->ScriptText));
        if (!report->Variables.empty()) {
            body += indent + "  <" + std::string(kVariables) + ">\r\n";
            for (const TfrxVariable& v : report->Variables) {
                body += indent + "    <item";
                appendAttr(body, "Name", v.Name);
                appendAttr(body, "Value", v.Value);
                body += "/>\r\n";
            }
            body += indent + "  </" + std::string(kVariables) + ">\r\n";
        }
    }
    for (int i = 0; i < c.Count(); ++i)
        writeElement(body, *c.Objects(i), depth + 1, nullptr);
    if (body.empty() && c.Content.empty()) {
        out += "/>\r\n";
        return;
    }
    out += ">";
    if (!c.Content.empty())
        out += XMLEncodeNode(c.Content);
    if (!body.empty())
        out += "\r\n" + body + indent;
    out += "</" + c.ClassName() + ">\r\n";
}

void readAttributes(TfrxComponent& c, const TXMLNode& node, TfrxReport* report)
{
    const TXMLNodeList& attrs = node.Attrs();
    for (int i = 0; i < attrs.Count(); ++i) {
        const TXMLNode* a = attrs.GetNode(i);
        std::string value = decodeValue(a->Value);
        if (report && a->Name == kScriptAttr)
            report->ScriptText = frxSplitLines(value);
        else
            c.SetProp(a->Name, std::move(value));
    }
}

void readVariables(TfrxReport& report, const TXMLNode& node)
{
    const TXMLNodeList& items = node.Nodes();
    for (int i = 0; i < items.Count(); ++i) {
        const TXMLNode* item = items.GetNode(i);
        if (item->NodeType == ntNode)
            report.Variables.push_back({decodeValue(item->GetAttr("Name")), decodeValue(item->GetAttr("Value"))});
    }
}

void readChildren(TfrxComponent& parent, const TXMLNode& node, TfrxReport* report)
{
    const TXMLNodeList& nodes = node.Nodes();
    for (int i = 0; i < nodes.Count(); ++i) {
        const TXMLNode* child = nodes.GetNode(i);
        if (child->NodeType == ntText || child->NodeType == ntCData) {
            parent.Content += child->Value;
            continue;
        }
        if (child->NodeType != ntNode)
            continue;
        if (report && child->Name == kVariables) {
            readVariables(*report, *child);
            continue;
        }
        TfrxComponent* c = parent.Add(frxCreateComponent(child->Name));
        readAttributes(*c, *child, nullptr);
        readChildren(*c, *child, nullptr);
    }
}

} // namespace

void LoadFr3(TfrxReport& report, const std::string& text)
{
    const auto root = TXMLNode::Create(text);
    if (!root || root->NodeType != ntNode || root->Name != "TfrxReport")
        throw Exception("Error in fr3 file: the root element is not TfrxReport");
    readAttributes(report, *root, &report);
    readChildren(report, *root, &report);
}

std::string SaveFr3(const TfrxReport& report)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"no\"?>\r\n";
    writeElement(out, report, 0, &report);
    return out;
}

} // namespace lm
