// Schema checks (Validate), instance skeletons from XML Schema (CreateXMLTemplate) and
// template filling with macros (ApplyXMLTemplate).
#include <gtest/gtest.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "xml/xmltemplate.h"

using namespace lm;

namespace {

const char* kSchema =
    "<Schema>"
    "<ElementType name=\"order\">"
    "<AttributeType name=\"color\" dt:type=\"enumeration\" dt:values=\"red green blue\"/>"
    "<AttributeType name=\"paid\" dt:type=\"boolean\"/>"
    "<AttributeType name=\"id\" required=\"yes\"/>"
    "<Attribute type=\"color\"/><Attribute type=\"paid\"/><Attribute type=\"id\"/>"
    "<element type=\"line\" minOccurs=\"1\" maxOccurs=\"*\"/>"
    "<group><element type=\"note\" minOccurs=\"0\" maxOccurs=\"1\"/></group>"
    "</ElementType>"
    "<ElementType name=\"line\"><element type=\"qty\" minOccurs=\"1\" maxOccurs=\"1\"/></ElementType>"
    "</Schema>";

std::string violation(const std::string& doc, const char* schemaText = kSchema)
{
    auto schema = TXMLNode::Create(schemaText);
    try {
        TXMLNode::Create(doc)->Validate(schema.get());
    } catch (const Exception& e) {
        return e.Message();
    }
    return "ok";
}

std::string skeleton(const char* schemaText, const std::string& element, bool withOptional)
{
    auto schema = TXMLNode::Create(schemaText);
    const TXMLNode* decl = schema->Nodes().NodebyNameAttr("xsd:element", "name", element);
    return CreateXMLTemplate(decl, withOptional)->Code();
}

} // namespace

TEST(XmlSchema, ValidDocumentsAndUndefinedElementsPass)
{
    EXPECT_EQ(violation("<order id=\"1\" color=\"green\" paid=\"1\"><line><qty/></line><note/></order>"), "ok");
    // No definition for "other": neither it nor anything below it is checked.
    EXPECT_EQ(violation("<other><order/></other>"), "ok");
}

TEST(XmlSchema, AttributeViolations)
{
    EXPECT_EQ(violation("<order id=\"1\" color=\"gre\"><line><qty/></line></order>"),
              "Wrong enumerated attribute color value: \"gre\" in element order");
    EXPECT_EQ(violation("<order id=\"1\" color=\"red green\"><line><qty/></line></order>"),
              "Wrong enumerated attribute color value: \"red green\" in element order");
    EXPECT_EQ(violation("<order id=\"1\" paid=\"true\"><line><qty/></line></order>"),
              "Wrong boolean attribute paid value: \"true\" in element order");
    EXPECT_EQ(violation("<order><line><qty/></line></order>"), "Required attribute id missed in element order");
    EXPECT_EQ(violation("<a/>", "<s><d name=\"a\"><Attribute type=\"nope\"/></d></s>"),
              "Error in schema: unknown attribute type nope in element a");
}

TEST(XmlSchema, ChildCountViolations)
{
    EXPECT_EQ(violation("<order id=\"1\"/>"), "Invalid SubElement line count (0) in element order");
    EXPECT_EQ(violation("<order id=\"1\"><line><qty/></line><note/><note/></order>"),
              "Invalid SubElement note count (2) in element order");
    // Children are checked after their parent.
    EXPECT_EQ(violation("<order id=\"1\"><line><qty/><qty/></line></order>"),
              "Invalid SubElement qty count (2) in element line");
    // Occurrence bounds are converted strictly.
    EXPECT_EQ(violation("<a/>", "<s><d name=\"a\"><element type=\"x\" maxOccurs=\"1\"/></d></s>"),
              "'' is not a valid integer value");
    EXPECT_EQ(violation("<a/>", "<s><d name=\"a\"><element type=\"x\" minOccurs=\"0\" maxOccurs=\"n\"/></d></s>"),
              "'n' is not a valid integer value");
}

namespace {
const char* kXsd =
    "<xsd:schema>"
    "<xsd:element name=\"order\" type=\"OrderType\"/>"
    "<xsd:element name=\"memo\"><xsd:complexType><xsd:sequence>"
    "<xsd:element name=\"text\" type=\"xsd:string\"/></xsd:sequence></xsd:complexType></xsd:element>"
    "<xsd:element name=\"tree\" type=\"TreeType\"/>"
    "<xsd:element name=\"ghost\" type=\"Missing\"/>"
    "<xsd:complexType name=\"OrderType\"><xsd:sequence>"
    "<xsd:element name=\"id\" type=\"xsd:int\"/>"
    "<xsd:element name=\"comment\" type=\"xsd:string\" minOccurs=\"0\"/>"
    "<xsd:element ref=\"memo\"/>"
    "<xsd:choice><xsd:element name=\"cash\" type=\"xsd:int\"/><xsd:element name=\"card\" type=\"xsd:int\"/></xsd:choice>"
    "<xsd:choice><xsd:element name=\"a\" minOccurs=\"0\" type=\"xsd:int\"/><xsd:element name=\"b\" type=\"xsd:int\"/></xsd:choice>"
    "<xsd:element name=\"lines\"><xsd:complexType><xsd:sequence minOccurs=\"0\">"
    "<xsd:element name=\"line\" type=\"xsd:string\"/></xsd:sequence></xsd:complexType></xsd:element>"
    "</xsd:sequence></xsd:complexType>"
    "<xsd:complexType name=\"TreeType\"><xsd:sequence>"
    "<xsd:element name=\"tree\" type=\"TreeType\"/></xsd:sequence></xsd:complexType>"
    "</xsd:schema>";
} // namespace

TEST(XmlSchema, TemplatesLeaveOutOptionalPartsUnlessAsked)
{
    EXPECT_EQ(skeleton(kXsd, "order", false),
              "<order><id/><memo><text/></memo><cash/><lines/></order>");
    EXPECT_EQ(skeleton(kXsd, "order", true),
              "<order><id/><comment/><memo><text/></memo><cash/><a/><lines><line/></lines></order>");
}

TEST(XmlSchema, RecursiveTypesStopAfterTenLevels)
{
    const std::string text = skeleton(kXsd, "tree", false);
    int opened = 0;
    for (std::size_t at = 0; (at = text.find("<tree", at)) != std::string::npos; ++at)
        ++opened;
    EXPECT_EQ(opened, 6);  // the root, then one element per two levels (type, sequence)
    EXPECT_EQ(text.substr(0, 12), "<tree><tree>");
}

TEST(XmlSchema, GeometricallyGrowingSkeletonsAreRefused)
{
    std::string xsd = "<xsd:schema><xsd:element name=\"t\" type=\"T\"/><xsd:complexType name=\"T\">";
    for (int i = 0; i < 6; ++i)
        xsd += "<xsd:element name=\"e\" type=\"T\"/>";
    xsd += "</xsd:complexType></xsd:schema>";
    EXPECT_THROW(skeleton(xsd.c_str(), "t", false), Exception);
}

TEST(XmlSchema, UndefinedTopLevelTypeGivesTheEmptyRoot)
{
    EXPECT_EQ(skeleton(kXsd, "ghost", true), "<ghost/>");
}

TEST(XmlSchema, ApplyTemplateSubstitutesMacrosIntoTheTarget)
{
    auto templ = TXMLNode::Create("<t kind=\"%K%\" gone=\"%E%\"><name>Товар %N%</name><sub a=\"%N%-%N%\"><v>%K%</v></sub><!--x--></t>"_w);
    auto target = TXMLNode::Create("<doc gone=\"old\"><name>old</name></doc>");
    ApplyXMLTemplate(templ.get(), target.get(), {"%K%", "%N%", "%E%"}, {"box", "7", ""});
    EXPECT_EQ(target->Code(), std::string("<doc kind=\"box\"><name>Товар 7</name><sub a=\"7-7\"><v>box</v></sub></doc>"_w));
    // The template may be applied onto itself.
    ApplyXMLTemplate(templ.get(), templ.get(), {"%K%"}, {"k"});
    EXPECT_EQ(templ->GetAttr("kind"), "k");
}
