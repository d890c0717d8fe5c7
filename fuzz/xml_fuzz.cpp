// Fuzz target: arbitrary bytes through the XML parser, then the tree through the writers, the
// path queries, the schema check and the template builder. The first byte picks the flags
// (relaxed values, ignored case); the text up to the first line feed is a path, the rest the
// document. Errors must arrive as lm::Exception; anything else (a crash, a sanitizer report,
// another exception type) is a finding. So is a document whose saved text does not parse again,
// or whose second save differs from the first.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/exceptions.h"
#include "util/faststring.h"
#include "xml/xmlnode.h"
#include "xml/xmltemplate.h"

using namespace lm;

namespace {

// What SaveXML writes for root: the first declaration, CR LF, the indented body.
std::string savedText(const TXMLNode& root)
{
    std::string text;
    if (root.Header() && !root.Header()->Empty())
        text = root.Header()->First()->HeaderCode() + "\r\n";
    TFastString body(256);
    root.FormattedFastCode(body, " ");
    if (body.Buffer())  // every byte: AsString would stop at a zero byte
        text.append(body.Buffer(), static_cast<std::size_t>(body.Length()));
    return text;
}

[[noreturn]] void finding(const char* what, const std::string& first, const std::string& second)
{
    std::fprintf(stderr, "%s\n--- first save:\n%s\n--- second:\n%s\n", what, first.c_str(), second.c_str());
    std::abort();
}

// Parse, save, parse the saved text, save again: both saves must be the same bytes.
void checkSaveReadsBack(const TXMLNode& root, bool html, bool ignoreCase)
{
    const std::string first = savedText(root);
    std::unique_ptr<TXMLNode> back;
    try {
        back = html ? TXMLNode::CreateHTML(first, nullptr, ignoreCase) : TXMLNode::Create(first, nullptr, ignoreCase);
    } catch (const Exception& e) {
        finding("the saved text does not parse", first, e.Message());
    }
    const std::string second = savedText(*back);
    if (second != first)
        finding("the second save differs from the first", first, second);
}

void exercise(TXMLNode& root, std::string_view path)
{
    (void)root.NodebyName(path);
    (void)root.GetNode(path);
    TFastString buffer(256);
    root.FormattedFastCode(buffer, " ");
    const std::string code = root.Code();
    (void)root.FormattedCode(" ");
    try {
        // What the writer produced must at least parse without crashing.
        (void)TXMLNode::Create(code);
    } catch (const Exception&) {
    }
    try {
        root.Validate(&root);
    } catch (const Exception&) {
    }
    if (root.GetCount() > 0)
        (void)CreateXMLTemplate(root.GetNodebyIndex(0), true);
    (void)root.UnionNodeValues("", "id", ", ");
    root.SetNode(path, "v");
    root.SortbyAttr("a;b", true);
    (void)root.NextSibling();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view path;
    const std::size_t eol = rest.find('\n');
    if (eol != std::string_view::npos && eol <= 64) {
        path = rest.substr(0, eol);
        rest.remove_prefix(eol + 1);
    }
    try {
        std::unique_ptr<TXMLNode> root = (flags & 1) ? TXMLNode::CreateHTML(rest, nullptr, flags & 2)
                                                     : TXMLNode::Create(rest, nullptr, flags & 2);
        if (!rest.empty())  // an empty text makes an empty root, which is no document
            checkSaveReadsBack(*root, flags & 1, flags & 2);
        exercise(*root, path);
    } catch (const Exception&) {
    }
    return 0;
}
