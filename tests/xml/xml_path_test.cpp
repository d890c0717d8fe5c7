// The path language: reading, creating and the bracket conditions.
#include <gtest/gtest.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "xml/xmlnode.h"

#include "../util/messageof.h"

using namespace lm;

namespace {
const char* kItems =
    "<doc><items>"
    "<item code=\"5\"><name>five</name></item>"
    "<item code=\"7\"><name>seven</name></item>"
    "<item code=\"7\"><name>second seven</name></item>"
    "</items>"
    "<list><first/><item n=\"1\"/><item n=\"2\"/><x/></list></doc>";
} // namespace

TEST(XmlPath, SetNodeCreatesMissingStepsAndSetsTheAttribute)
{
    auto r = TXMLNode::Create("e", ntNode, nullptr, "");
    r->SetNode("a/b/@id", "5");
    EXPECT_EQ(r->Code(), "<e><a><b id=\"5\"/></a></e>");
    r->SetNode("a/b", "text");
    r->SetNode("a/b", "again");  // the existing text child is reused
    EXPECT_EQ(r->Code(), "<e><a><b id=\"5\">again</b></a></e>");
    r->SetNode("a/b/@id", "");
    EXPECT_EQ(r->GetNode("a/b/@id"), "");
    EXPECT_EQ(r->NodebyName("a/b")->Attrs().Count(), 0);
}

TEST(XmlPath, BracketStepsNeverCreate)
{
    auto r = TXMLNode::Create("<r><item/><item/></r>");
    EXPECT_EQ(r->NodebyName("item[2]", true, "v"), nullptr);
    EXPECT_EQ(r->Code(), "<r><item/><item/></r>");
    r->SetNode("item[1]/@x", "1");
    EXPECT_EQ(r->Code(), "<r><item/><item x=\"1\"/></r>");
}

TEST(XmlPath, ConditionsSelectByAttributeChildIndexAndLast)
{
    auto r = TXMLNode::Create(kItems);
    EXPECT_EQ(r->GetNode("items/item[@code=7]/name"), "seven");
    EXPECT_EQ(r->GetNode("items/item[@code=\"7\"]/name"), "seven");
    EXPECT_EQ(r->GetNode("items/item[name=five]/@code"), "5");
    EXPECT_EQ(r->GetNode("items/*[@code=5]/name"), "five");
    EXPECT_EQ(r->GetNode("items/[@code=5]/name"), "five");
    EXPECT_EQ(r->GetNode("items/item[@code = 7]/name"), "");  // blanks around "=" are kept
    EXPECT_EQ(r->NodebyName("list/item[last()]")->GetAttr("n"), "2");
    EXPECT_EQ(r->NodebyName("list/[last()]")->Name, "x");
    EXPECT_EQ(r->NodebyName("list/[0]")->Name, "first");
    EXPECT_EQ(r->NodebyName("list/item[1]")->GetAttr("n"), "2");
    EXPECT_EQ(r->NodebyName("list/item[9]"), nullptr);
    EXPECT_EQ(r->NodebyName("list/item[99999999999999999999]"), nullptr);
    // An empty or unknown condition leaves the node where it is.
    EXPECT_EQ(r->NodebyName("list/[ ]")->Name, "list");
    EXPECT_EQ(r->NodebyName("list/x[foo()]")->Name, "list");
}

TEST(XmlPath, DotsSlashesAndRecursiveSearch)
{
    auto r = TXMLNode::Create(kItems);
    const TXMLNode* list = r->NodebyName("list");
    EXPECT_EQ(list->NodebyName("./item/../x")->Name, "x");
    EXPECT_EQ(list->NodebyName("..")->Name, "doc");
    EXPECT_EQ(list->NodebyName("../../.."), nullptr);
    EXPECT_EQ(list->GetNode("//name"), "five");
    EXPECT_EQ(list->GetNode(".//item[@code=7]/name"), "seven");
    EXPECT_EQ(r->NodebyName("items//name"), nullptr);  // "//" inside a path is an empty step, then "name"
    EXPECT_EQ(r->NodebyName("/items/")->Name, "items");
    EXPECT_EQ(r->NodebyName(""), r.get());
    // "@name" ends the path.
    EXPECT_EQ(r->NodebyName("items/item/@code/whatever")->Value, "5");
    EXPECT_EQ(r->NodebyName("items/item/@code")->NodeType, ntAttr);
    // "//" creates nothing.
    EXPECT_EQ(r->NodebyName("//nothing", true, "x"), nullptr);
    EXPECT_EQ(r->NodebyName("nothing"), nullptr);
}

TEST(XmlPath, NodeByNameExNamesTheMissingSection)
{
    auto r = TXMLNode::Create(kItems);
    EXPECT_EQ(r->NodeByNameEx("items")->Name, "items");
    EXPECT_EQ(test::messageOf([&] { r->NodeByNameEx("items/товар"_w); }),
              std::string("Раздел \"items/товар\" не найден!"_w));
}

TEST(XmlPath, ValuesComeFromTheFirstTextOrCData)
{
    auto r = TXMLNode::Create("<r><a><!--c--><![CDATA[raw]]>text</a><b><c/></b></r>");
    EXPECT_EQ(r->GetNode("a"), "raw");
    EXPECT_EQ(r->GetNode("b"), "");
    r->SetNode("a", "new");
    EXPECT_EQ(r->NodebyName("a")->GetNodebyIndex(1)->Value, "new");
    r->NodebyName("a")->GetNodebyIndex(0)->SetValue("ignored");
    EXPECT_EQ(r->NodebyName("a")->GetNodebyIndex(0)->Value, "c");
}

TEST(XmlPath, RepeatedWholeTreeStepsTakePolynomialTime)
{
    std::string text = "<r>";
    for (int i = 0; i < 30; ++i)
        text += "<a><b/><a/></a>";
    text += "</r>";
    auto r = TXMLNode::Create(text);
    std::string slashes;
    for (int i = 0; i < 40; ++i)
        slashes += "//";
    EXPECT_EQ(r->NodebyName(slashes + "zz"), nullptr);
    EXPECT_EQ(r->NodebyName(slashes + "b")->Name, "b");
    std::string hops;
    for (int i = 0; i < 20; ++i)
        hops += "a/.//";
    EXPECT_EQ(r->NodebyName(hops + "zz"), nullptr);
    EXPECT_EQ(r->NodebyName(hops + "b")->Name, "b");
    // The search found by the fuzzer: a bracket step, then thirty slashes.
    const std::string found("[\0\0;a\"?><y>&lt\0//////////////////////////////</x>", 48);
    EXPECT_EQ(TXMLNode::Create("<r>\xFF\xFF<x/></r>")->NodebyName(found), nullptr);
}
