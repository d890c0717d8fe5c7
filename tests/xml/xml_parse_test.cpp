// The parser: the syntax it accepts, the trees it builds, and its error messages pinned exactly.
#include <gtest/gtest.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "xml/xmlentities.h"
#include "xml/xmlnode.h"

#include "../util/messageof.h"

using namespace lm;

namespace {

std::string parseError(std::string_view text)
{
    return test::messageOf([&] { TXMLNode::Create(text); });
}

} // namespace

TEST(XmlParse, ElementsAttributesAndTextBuildTheTree)
{
    auto r = TXMLNode::Create("<r a=\"1\" b=\"x &amp; y\"><n> b </n>  <m/></r>");
    EXPECT_EQ(r->Name, "r");
    EXPECT_EQ(r->NodeType, ntNode);
    ASSERT_EQ(r->Attrs().Count(), 2);
    EXPECT_EQ(r->Attrs().GetNode(1)->NodeType, ntAttr);
    EXPECT_EQ(r->GetAttr("b"), "x & y");
    ASSERT_EQ(r->GetCount(), 2);  // the blank run between the children is dropped
    const TXMLNode* n = r->GetNodebyIndex(0);
    ASSERT_EQ(n->GetCount(), 1);
    EXPECT_EQ(n->GetNodebyIndex(0)->NodeType, ntText);
    EXPECT_EQ(n->GetNodebyIndex(0)->Name, "");
    EXPECT_EQ(n->GetValue(), " b ");  // untrimmed
    EXPECT_EQ(n->Parent, r.get());
    EXPECT_EQ(r->GetNodebyIndex(1)->GetCount(), 0);
    EXPECT_EQ(TXMLNode::Create("<a>  </a>")->GetCount(), 0);
}

TEST(XmlParse, EntitiesDecodeOnceAndCharacterReferencesStay)
{
    EXPECT_EQ(TXMLNode::Create("<a>&amp;lt;</a>")->GetValue(), "&lt;");
    EXPECT_EQ(TXMLNode::Create("<a>&#65;</a>")->GetValue(), "&#65;");
    EXPECT_EQ(TXMLNode::Create("<a>&lt;&gt;&quot;&apos;&amp;&bogus;</a>")->GetValue(), "<>\"'&&bogus;");
    EXPECT_EQ(XMLDecode(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(TXMLNode::Create("<a>\t\r\nx</a>")->GetValue(), "\t\r\nx");
    EXPECT_EQ(XMLEncode("&\"<>'"), "&amp;&quot;&lt;&gt;&apos;");
    EXPECT_EQ(XMLEncodeAttr(std::string("\"\0", 2)), "&quot; ");
    EXPECT_EQ(XMLEncodeNode(std::string("&<>\"'\0", 6)), "&amp;&lt;>\"' ");
}

TEST(XmlParse, ControlBytesTravelAsCharacterReferences)
{
    // Only the control bytes that text may not hold raw are decoded from references.
    EXPECT_EQ(TXMLNode::Create("<a>x&#7;&#x1F;&#x0b;&#01;y</a>")->GetValue(), "x\x07\x1F\x0B\x01y");
    EXPECT_EQ(TXMLNode::Create("<a v=\"&#12;\"/>")->GetAttr("v"), "\x0C");
    EXPECT_EQ(XMLDecode("&#9;&#10;&#13;&#0;&#32;&#0007;&#7&#x;&#;&#X7;&amp;#7;"),
              "&#9;&#10;&#13;&#0;&#32;&#0007;&#7&#x;&#;&#X7;&#7;");
    // A text of control bytes alone is content, not a blank run between tags.
    auto only = TXMLNode::Create("<a><b/>&#2;<c/></a>");
    ASSERT_EQ(only->GetCount(), 3);
    EXPECT_EQ(only->GetNodebyIndex(1)->Value, "\x02");

    const std::string controls("\x01\x08\t\n\x0B\x0C\r\x0E\x1F", 9);
    EXPECT_EQ(XMLEncodeNode(controls), "&#1;&#8;\t\n&#11;&#12;\r&#14;&#31;");
    EXPECT_EQ(XMLEncodeAttr(controls + "'"), "&#1;&#8;\t\n&#11;&#12;\r&#14;&#31;&apos;");
    EXPECT_EQ(XMLEncode(std::string("\x07\0", 2)), std::string("&#7;\0", 5));
    for (int c = 0; c < 256; ++c) {
        const std::string one(1, static_cast<char>(c));
        const std::string back = c == 0 ? " " : one;
        EXPECT_EQ(XMLDecode(XMLEncodeNode(one)), back) << c;
        EXPECT_EQ(XMLDecode(XMLEncodeAttr(one)), back) << c;
    }
}

TEST(XmlParse, CDataAndCommentsKeepRawContent)
{
    auto r = TXMLNode::Create("<r><![CDATA[<x>&amp;]]><!-- c --></r>");
    ASSERT_EQ(r->GetCount(), 2);
    EXPECT_EQ(r->GetNodebyIndex(0)->NodeType, ntCData);
    EXPECT_EQ(r->GetNodebyIndex(0)->Name, "#cdata-section");
    EXPECT_EQ(r->GetNodebyIndex(0)->Value, "<x>&amp;");
    EXPECT_EQ(r->GetNodebyIndex(1)->NodeType, ntComment);
    EXPECT_EQ(r->GetNodebyIndex(1)->Name, "#comment");
    EXPECT_EQ(r->GetNodebyIndex(1)->Value, " c ");
}

TEST(XmlParse, CommentsBeforeTheRootAreDropped)
{
    auto r = TXMLNode::Create("<!-- c -->\r\n<!--d--><root/>");
    EXPECT_EQ(r->Name, "root");
    EXPECT_EQ(r->NodeType, ntNode);
    EXPECT_EQ(r->Value, "");
    EXPECT_EQ(r->GetCount(), 0);
}

TEST(XmlParse, DeclarationsGoToTheHeaderOfTheFollowingElement)
{
    auto r = TXMLNode::Create("<?xml version=\"1.0\" encoding=\"windows-1251\"?><r><?pi a=\"1\"?><c/></r>");
    ASSERT_NE(r->Header(), nullptr);
    ASSERT_EQ(r->Header()->Count(), 1);
    const TXMLNode* decl = r->Header()->GetNode(0);
    EXPECT_EQ(decl->Name, "xml");
    EXPECT_EQ(decl->NodeType, ntNode);
    ASSERT_EQ(decl->Attrs().Count(), 2);
    EXPECT_EQ(decl->GetAttr("encoding"), "windows-1251");
    const TXMLNode* c = r->GetNodebyIndex(0);
    EXPECT_EQ(c->Name, "c");
    ASSERT_NE(c->Header(), nullptr);
    EXPECT_EQ(c->Header()->GetNode(0)->GetAttr("a"), "1");
}

TEST(XmlParse, EndOfTextInsideContentEndsQuietly)
{
    auto r = TXMLNode::Create("<a><b>");
    ASSERT_EQ(r->GetCount(), 1);
    EXPECT_EQ(r->GetNodebyIndex(0)->Name, "b");
    EXPECT_EQ(TXMLNode::Create("<a>tail")->GetValue(), "tail");
}

TEST(XmlParse, ClosingTagMayHaveBlanksBeforeItsEnd)
{
    // Nothing of "</a >" is left behind as text.
    auto r = TXMLNode::Create("<r><a></a\r\n ></r>");
    ASSERT_EQ(r->GetCount(), 1);
    EXPECT_EQ(r->GetNodebyIndex(0)->Name, "a");
    EXPECT_EQ(TXMLNode::Create("<a></a >")->Name, "a");
    // A longer name is another tag, not "</a" followed by junk.
    EXPECT_NE(parseError("<a></ab>").find("Ошибка порядка тегов. Тег: \"a\""_w), std::string::npos);
}

TEST(XmlParse, DoctypeBeforeTheRootIsSkippedWithItsInternalSubset)
{
    auto r = TXMLNode::Create("<?xml version=\"1.0\"?>\r\n<!DOCTYPE r SYSTEM \"a>b.dtd\" [\r\n"
                              "  <!ELEMENT r (#PCDATA)> <!-- ] > --> <!ENTITY e '>]'>\r\n]>\r\n<r x=\"1\"/>");
    EXPECT_EQ(r->Name, "r");
    EXPECT_EQ(r->GetAttr("x"), "1");
    EXPECT_EQ(r->Header()->Count(), 1);
    EXPECT_EQ(r->Code(), "<?xml version=\"1.0\" ?><r x=\"1\"/>");
}

TEST(XmlParse, InputThatWouldLoseContentIsAnErrorWithItsLine)
{
    const std::pair<std::string, std::string> cases[] = {
        // Unknown "<!" constructs, a DOCTYPE inside content, an unclosed DOCTYPE.
        {"<r><!DOCTYPE x></r>", "Строка № 0, номер символа 3 :Неизвестная конструкция \"<!\""_w},
        {"<r>\r\n<!ELEMENT x></r>", "Строка № 2, номер символа 5 :Неизвестная конструкция \"<!\""_w},
        {"<!DOCTYPE r [ <!ELEMENT r ANY>\r\n<r/>", "Строка № 2, номер символа 36 :Не найден конец объявления DOCTYPE"_w},
        // A second root, text after the root, anything after a zero byte behind it.
        {"<r/><s/>", "Строка № 0, номер символа 4 :Данные после корневого элемента"_w},
        {"<r/>\r\ntail", "Строка № 2, номер символа 6 :Данные после корневого элемента"_w},
        {std::string("<r/>\0<s/>", 9), "Строка № 0, номер символа 5 :Данные после корневого элемента"_w},
        {"<r></r>\r\n<!-- ok --><?pi?>x", "Строка № 2, номер символа 26 :Данные после корневого элемента"_w},
        // An unterminated CDATA section.
        {"<r>\r\n<![CDATA[abc</r>", "Строка № 2, номер символа 14 :Не найден конец секции CDATA"_w},
        // A declaration without a name.
        {"<?\?><r/>", "Строка № 0, номер символа 2 :Ожидаемое имя объявления"_w},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(parseError(text), message) << cp1251ToUtf8(text);
    // Blanks, comments and declarations after the root are no content.
    EXPECT_EQ(TXMLNode::Create("<r/>\r\n<!-- c -->\t<?pi a=\"1\"?>\r\n")->Name, "r");
}

TEST(XmlParse, HtmlNodesAcceptBareAttributeValuesAndPassTheFlagDown)
{
    auto r = TXMLNode::CreateHTML("<a x=1><b y=two/></a>", nullptr, false);
    EXPECT_TRUE(r->IsHTML);
    EXPECT_EQ(r->GetAttr("x"), "1");
    EXPECT_EQ(r->GetNodebyIndex(0)->GetAttr("y"), "two");
    EXPECT_TRUE(r->GetNodebyIndex(0)->IsHTML);
}

TEST(XmlParse, IgnoreCaseIsInheritedByChildrenAndTheirLists)
{
    auto r = TXMLNode::Create("<R><Item Code=\"1\"/></R>", nullptr, true);
    EXPECT_TRUE(r->GetNodebyIndex(0)->IgnoreCase);
    EXPECT_EQ(r->GetNode("ITEM/@code"), "1");
    EXPECT_EQ(r->Nodes().NodebyName("item"), r->GetNodebyIndex(0));
    auto exact = TXMLNode::Create("<R><Item Code=\"1\"/></R>");
    EXPECT_EQ(exact->GetNode("ITEM/@code"), "");
    EXPECT_EQ(exact->GetNode("Item/@Code"), "1");
    // A Cyrillic name is matched across case by the code page's tables.
    auto ru = TXMLNode::Create("<r><Товар/></r>"_w, nullptr, true);
    EXPECT_NE(ru->NodebyName("ТОВАР"_w), nullptr);
}

TEST(XmlParse, NameCharactersIncludeCyrillicAndPunctuation)
{
    auto r = TXMLNode::Create("<корень $%-.:@_9=\"ё\"/>"_w);
    EXPECT_EQ(r->Name, std::string("корень"_w));
    EXPECT_EQ(r->GetAttr("$%-.:@_9"), std::string("ё"_w));
}

TEST(XmlParse, FileConstructorReadsRawBytes)
{
    const std::string path = testing::TempDir() + "xml_parse_file.xml";
    FILE* f = std::fopen(path.c_str(), "wb");
    const std::string text = "<a b=\"Ж\"/>"_w;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    EXPECT_EQ(TXMLNode::CreateFromFile(path)->GetAttr("b"), std::string("Ж"_w));
    EXPECT_THROW(TXMLNode::CreateFromFile(path + ".missing"), EInOutError);
}

TEST(XmlParse, EmptyTextMakesAnEmptyRoot)
{
    auto r = TXMLNode::Create(std::string("\0<a/>", 5));
    EXPECT_EQ(r->Name, "");
    EXPECT_EQ(r->GetCount(), 0);
}

// Each malformed input with the exact message the parser gives for it.
TEST(XmlParseErrors, MessagesArePinned)
{
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {" <a/>", "< ожидаемый"_w},
        {"\xEF\xBB\xBF<a/>", "< ожидаемый"_w},
        {"<a x='1'/>", "Строка № 0, номер символа 5 :Недопустимый символ в XML:\"'\""_w},
        {"<a>\r\n<b x='1'/></a>", "Строка № 2, номер символа 10 :Недопустимый символ в XML:\"'\""_w},
        {"<a>\r\n\r\n<b x='1'/></a>", "Строка № 3, номер символа 12 :Недопустимый символ в XML:\"'\""_w},
        {"<a x=1/>", "Ожидаемое значение атрибута"_w},
        {"<a x/>", "= ожидаемый:<a x/>"_w},
        {"<a x=\"1/>", "Неопределенный атрибут"_w},
        {"<a>\x07</a>", "Illegal char in XML. Char \x07 code x07."},
        {"<a x=\"\x1F\"/>", "Illegal char in XML. Char \x1F code x1F."},
        {"<a><b></a>",
         "Строка № 0, Ошибка порядка тегов. Тег: \"b\" Нет закрывающего тега </b> code: <a><b></a>"_w},
        {"<a><b></a></b>", "Строка № 0, Ошибка порядка тегов. Тег: \"b\"  code: <a><b></a></b>"_w},
        {"<a>\r\n<b>\r\n</a>",
         "Строка № 2, Ошибка порядка тегов. Тег: \"b\" Нет закрывающего тега </b> code: <a>\r\n<b>\r\n</a>"_w},
        {"<a><b x=\"1\"></a>",
         "Строка № 0, Ошибка порядка тегов. Тег: \"b\" Нет закрывающего тега </b> code: <a><b x=\"1\"></a>"_w},
        {"<a><!-- x</a>", "Не найден конец комментария"_w},
        {"<?xml version=\"1.0\"", "Незакрытый заголовок XML"_w},
        {"<?xml version ?><a/>", "= ожидаемый"_w},
        {"<?xml v=1 ?><a/>", "Ожидаемое значение атрибута"_w},
        {"<?xml ?>", "< ожидаемый"_w},
        {"<>", "Ожидаемое имя тега: <>"_w},
        {"</a>", "Ожидаемое имя тега: </a>"_w},
        {"<\"q\">", "Ожидаемое имя тега: <\"q\">"_w},
        {"<a", "= ожидаемый:<a"_w},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseError(c.text), c.message) << cp1251ToUtf8(c.text);
}

TEST(XmlParseErrors, ExcerptsAreClippedWindowsOfTheText)
{
    // "= expected" shows 100 bytes from 51 before the position.
    const std::string pad(60, ' ');
    const std::string text = "<a" + pad + "x" + std::string(200, ' ') + "/>";
    const std::size_t pos = 2 + pad.size() + 1 + 200;  // the "/" after the blanks
    EXPECT_EQ(parseError(text), "= ожидаемый:"_w + text.substr(pos - 51, 100));
    // The tag-order excerpt is 200 bytes from 102 before the closing tag.
    const std::string body(300, 'z');
    const std::string order = "<a><b>" + body + "</a></b>";
    const std::size_t at = 6 + body.size();
    EXPECT_EQ(parseError(order), "Строка № 0, Ошибка порядка тегов. Тег: \"b\"  code: "_w + order.substr(at - 102, 200));
}

TEST(XmlParseErrors, IllegalCharacterInBlankTextIsStillAnError)
{
    EXPECT_EQ(parseError("<a><b/> \x01 <c/></a>"), "Illegal char in XML. Char \x01 code x01.");
}

TEST(XmlParseErrors, TooDeepNestingIsRefusedInsteadOfExhaustingTheStack)
{
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    const std::string message = parseError(deep);
    EXPECT_EQ(message.rfind("Строка № 0, номер символа 3072 :"_w, 0), 0u) << cp1251ToUtf8(message);
    std::string fine;
    for (int i = 0; i < 1000; ++i)
        fine += "<a>";
    EXPECT_NO_THROW(TXMLNode::Create(fine));
}
