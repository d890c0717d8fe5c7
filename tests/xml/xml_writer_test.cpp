// The writer: compact and indented layouts, encoding, and SaveXML's file format and safety.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/faststring.h"
#include "xml/xmlentities.h"
#include "xml/xmlnode.h"

#include "../util/asnobody.h"
#include "../util/messageof.h"

using namespace lm;

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fast(const TXMLNode& n, const std::string& indent)
{
    TFastString buffer(16);
    n.FormattedFastCode(buffer, indent);
    return buffer.AsString();
}

std::string tempPath(const std::string& name)
{
    const std::string dir = testing::TempDir() + "xml_writer_test/";
    std::filesystem::create_directories(dir);
    return dir + name;
}

} // namespace

TEST(XmlWriter, IndentedFormsStepOneOrTwoSpaces)
{
    auto r = TXMLNode::Create("<a><b/></a>");
    EXPECT_EQ(r->FormattedCode(" "), "<a>\r\n <b/>\r\n</a>\r\n");
    EXPECT_EQ(fast(*r, " "), "<a>\r\n  <b/>\r\n</a>\r\n");
    auto deep = TXMLNode::Create("<a><b><c/></b><d x=\"1\"/></a>");
    EXPECT_EQ(deep->FormattedCode(" "), "<a>\r\n <b>\r\n  <c/>\r\n </b>\r\n <d x=\"1\"/>\r\n</a>\r\n");
    EXPECT_EQ(fast(*deep, " "), "<a>\r\n  <b>\r\n    <c/>\r\n  </b>\r\n  <d x=\"1\"/>\r\n</a>\r\n");
    // Below the root the caller's indent is used as given.
    EXPECT_EQ(fast(*deep->GetNodebyIndex(0), "  "), "<b>\r\n  <c/>\r\n</b>\r\n");
}

TEST(XmlWriter, TextOnlyElementStaysOnOneLineWithOnlyAmpersandAndLessThanEncoded)
{
    auto r = TXMLNode::Create("<r><n>a &amp; b > c &lt; \"q\" 'a'</n></r>");
    EXPECT_EQ(r->FormattedCode(" "), "<r>\r\n <n>a &amp; b > c &lt; \"q\" 'a'</n>\r\n</r>\r\n");
    EXPECT_EQ(fast(*r, " "), "<r>\r\n  <n>a &amp; b > c &lt; \"q\" 'a'</n>\r\n</r>\r\n");
}

TEST(XmlWriter, AttributesEncodeAllFiveAndNonElementsAreRaw)
{
    auto r = TXMLNode::Create("e", ntNode, nullptr, "");
    r->SetAttr("v", std::string("&\"<>'\0", 6));
    r->Nodes().AddNode("#comment", " a<b ", ntComment);
    r->Nodes().AddNode("#cdata-section", "<&>", ntCData);
    r->Nodes().AddNode("", "t<", ntText);
    EXPECT_EQ(r->Code(), "<e v=\"&amp;&quot;&lt;&gt;&apos; \"><!-- a<b --><![CDATA[<&>]]>t&lt;</e>");
    TFastString buffer(4);
    r->FastCode(buffer);
    EXPECT_EQ(buffer.AsString(), r->Code());
    EXPECT_EQ(r->FormattedCode(" "), "<e v=\"&amp;&quot;&lt;&gt;&apos; \">\r\n<!-- a<b --><![CDATA[<&>]]>t&lt;</e>\r\n");
}

TEST(XmlWriter, CodePutsDeclarationsInFrontAndFastCodeLeavesThemOut)
{
    auto doc = TXMLNode::CreateDocument("doc");
    EXPECT_EQ(doc->Code(), "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\" ?><doc/>");
    EXPECT_EQ(TXMLNode::CreateDocument("d", "utf-8")->Header()->GetNode(0)->HeaderCode(),
              "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>");
    TFastString buffer(4);
    doc->FastCode(buffer);
    EXPECT_EQ(buffer.AsString(), "<doc/>");
    EXPECT_EQ(fast(*doc, " "), "<doc/>\r\n");
}

TEST(XmlWriter, MixedContentIsWrittenAsItStands)
{
    // Layout around <b/> would be read back as part of the texts beside it.
    auto r = TXMLNode::Create("<r><a>t<b/>u</a><c><d/>tail text</c></r>");
    EXPECT_EQ(r->FormattedCode(" "), "<r>\r\n <a>t<b/>u</a>\r\n <c><d/>tail text</c>\r\n</r>\r\n");
    EXPECT_EQ(fast(*r, " "), "<r>\r\n  <a>t<b/>u</a>\r\n  <c><d/>tail text</c>\r\n</r>\r\n");
}

TEST(XmlWriter, NumericReferencesAreWrittenBackAsTheyWereRead)
{
    // The parser keeps "&#65;" undecoded, so the writer must not turn it into "&amp;#65;"; a
    // control byte's reference, which the parser decodes, and a broken one are still encoded.
    auto r = TXMLNode::Create("<r a=\"&#65;&#x416;\">&#65;&#1046;&amp;#7;&#7;&#;&#x;&#12a;</r>");
    EXPECT_EQ(r->GetValue(), "&#65;&#1046;&#7;\x07&#;&#x;&#12a;");
    EXPECT_EQ(r->Code(), "<r a=\"&#65;&#x416;\">&#65;&#1046;&amp;#7;&#7;&amp;#;&amp;#x;&amp;#12a;</r>");
    EXPECT_EQ(XMLEncode("&#65;&#xZ;"), "&#65;&amp;#xZ;");
}

TEST(XmlWriter, SaveXmlWritesTheDeclarationAndTheIndentedBody)
{
    auto doc = TXMLNode::CreateDocument("doc");
    doc->SetAttr("a", "1");
    doc->SetNode("name", "text");
    doc->Nodes().AddNode("list", "", ntNode)->Nodes().AddNode("item", "", ntNode);
    const std::string path = tempPath("saved.xml");
    doc->SaveXML(path);
    EXPECT_EQ(readAll(path),
              "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\" ?>\r\n"
              "<doc a=\"1\">\r\n"
              "  <name>text</name>\r\n"
              "  <list>\r\n"
              "    <item/>\r\n"
              "  </list>\r\n"
              "</doc>\r\n");
    // Without a Header there is no declaration line.
    auto plain = TXMLNode::Create("<r><x>Ж</x></r>"_w);
    plain->SaveXML(path);
    EXPECT_EQ(readAll(path), std::string("<r>\r\n  <x>Ж</x>\r\n</r>\r\n"_w));
}

TEST(XmlWriter, FailedSaveKeepsTheTargetAndLeavesNoTemporaryFile)
{
    const std::string dir = tempPath("blocked.xml");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/keep") << "kept";
    auto doc = TXMLNode::Create("<r/>");
    EXPECT_THROW(doc->SaveXML(dir), EInOutError);
    EXPECT_EQ(readAll(dir + "/keep"), "kept");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(dir).parent_path()))
        files += entry.path().filename().string().find("blocked.xml.~") == 0;
    EXPECT_EQ(files, 0);
    EXPECT_THROW(doc->SaveXML(tempPath("no/such/folder/x.xml")), EInOutError);
}

TEST(XmlWriter, SaveXmlReplacesAnExistingFile)
{
    const std::string path = tempPath("replace.xml");
    std::ofstream(path) << std::string(10000, 'x');
    TXMLNode::Create("<r/>")->SaveXML(path);
    EXPECT_EQ(readAll(path), "<r/>\r\n");
}

TEST(XmlWriter, SaveXmlHonoursPermissionsAndFollowsLinks)
{
    const std::string dir = tempPath("perm");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ASSERT_EQ(::chown(dir.c_str(), test::kNobody, test::kNogroup), 0);
    const std::string ro = dir + "/ro.xml", real = dir + "/real.xml", link = dir + "/link.xml";
    std::ofstream(ro) << "<old/>";
    std::ofstream(real) << "<old/>";
    ASSERT_EQ(::chmod(ro.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    ASSERT_EQ(::chown(ro.c_str(), test::kNobody, test::kNogroup), 0);
    ASSERT_EQ(::chown(real.c_str(), test::kNobody, test::kNogroup), 0);
    ASSERT_EQ(::symlink("real.xml", link.c_str()), 0);
    EXPECT_EQ(test::asNobody([&]() -> std::string {
                  const std::string message = test::messageOf([&] { TXMLNode::Create("<new/>")->SaveXML(ro); });
                  if (message.find("Permission denied") == std::string::npos)
                      return "read-only file: " + message;
                  TXMLNode::Create("<new/>")->SaveXML(link);
                  return readAll(ro) + readAll(real);
              }),
              "<old/><new/>\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0600));
}

TEST(XmlWriter, SaveXmlWithFreeAfterTakesTheNodeOutOfItsParent)
{
    auto r = TXMLNode::Create("<r><a/><b/></r>");
    TXMLNode* a = r->GetNodebyIndex(0);
    a->SaveXML(tempPath("child.xml"), true);
    ASSERT_EQ(r->GetCount(), 1);
    EXPECT_EQ(r->GetNodebyIndex(0)->Name, "b");
    EXPECT_EQ(readAll(tempPath("child.xml")), "<a/>\r\n");
    TXMLNode::Create("<solo/>").release()->SaveXML(tempPath("solo.xml"), true);  // freed by the call
    EXPECT_EQ(readAll(tempPath("solo.xml")), "<solo/>\r\n");
}
