// lmpack xml roundtrip|get|validate|template: the XML document model from the command line.
// Documents are read as Windows-1251 bytes; what is printed is converted to UTF-8. File names and
// paths are UTF-8 arguments taken as Windows-1251 text, as the library names files. Parse errors
// and violations go to stderr with exit code 1 (through main's handler).
#include <cstdio>
#include <utility>

#include "command.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "xml/xmlnode.h"
#include "xml/xmltemplate.h"

namespace {

void printLine(const std::string& cp1251Text)
{
    std::printf("%s\n", lm::cp1251ToUtf8(cp1251Text).c_str());
}

int runXml(const std::vector<std::string>& args)
{
    using lm::TXMLNode;
    const std::string sub = args.empty() ? std::string() : args[0];
    if (sub == "roundtrip" && args.size() == 3) {
        const std::string in = lmcli::textArg(args[1], "IN"), out = lmcli::textArg(args[2], "OUT");
        TXMLNode::CreateFromFile(in)->SaveXML(out);
        return 0;
    }
    if (sub == "get" && args.size() == 3) {
        const std::string file = lmcli::textArg(args[1], "FILE"), path = lmcli::textArg(args[2], "PATH");
        printLine(TXMLNode::CreateFromFile(file)->GetNode(path));
        return 0;
    }
    if (sub == "validate" && args.size() == 3) {
        const std::string docName = lmcli::textArg(args[1], "DOC"), schemaName = lmcli::textArg(args[2], "SCHEMA");
        const auto doc = TXMLNode::CreateFromFile(docName);
        const auto schema = TXMLNode::CreateFromFile(schemaName);
        doc->Validate(schema.get());
        std::printf("ok\n");
        return 0;
    }
    if (sub == "template" && (args.size() == 3 || (args.size() == 4 && args[3] == "--with-optional"))) {
        const std::string schemaName = lmcli::textArg(args[1], "SCHEMA"), name = lmcli::textArg(args[2], "ELEMENT");
        const auto schema = TXMLNode::CreateFromFile(schemaName);
        const TXMLNode* element = nullptr;
        for (const TXMLNode* child : std::as_const(*schema).Nodes())
            if (child->Name == "xsd:element" && child->GetAttr("name") == name) {
                element = child;
                break;
            }
        if (!element) {
            std::string message("xsd:element \"");
            message += name;
            message += "\" not found in the schema";
            throw lm::Exception(message);
        }
        printLine(lm::CreateXMLTemplate(element, args.size() == 4)->Code());
        return 0;
    }
    return lmcli::usageError("xml");
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"xml",
     "lmpack xml roundtrip IN OUT                 parse IN, save it with SaveXML to OUT\n"
     "lmpack xml get FILE PATH                    GetNode(PATH) of the document\n"
     "lmpack xml validate DOC SCHEMA              \"ok\", or the violation message\n"
     "lmpack xml template SCHEMA ELEMENT [--with-optional]   the generated skeleton (Code)",
     runXml});

} // namespace
