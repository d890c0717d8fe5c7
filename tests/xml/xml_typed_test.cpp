// Typed reads of nodes and attributes, their messages, and the XML Schema date form.
#include <gtest/gtest.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"
#include "xml/xmldate.h"
#include "xml/xmlnode.h"

#include "../util/messageof.h"

using namespace lm;
using lm::test::messageOf;

namespace {

// Sets the decimal separator for a scope and puts the old one back.
class SeparatorScope {
public:
    explicit SeparatorScope(char sep) : m_old(FormatSettings.DecimalSeparator) { FormatSettings.DecimalSeparator = sep; }
    ~SeparatorScope() { FormatSettings.DecimalSeparator = m_old; }

private:
    char m_old;
};

} // namespace

TEST(XmlTyped, DoublesAcceptPointOrCommaWhateverTheLocale)
{
    auto r = TXMLNode::Create("<r><a>1,5</a><b>1.5</b><c v=\"2.25\" w=\"2,25\"/></r>");
    for (char sep : {',', '.'}) {
        SeparatorScope scope(sep);
        EXPECT_DOUBLE_EQ(r->NodeAsType("a", xvtDouble).AsFloat(), 1.5);
        EXPECT_DOUBLE_EQ(r->NodeAsType("b", xvtDouble).AsFloat(), 1.5);
        EXPECT_EQ(r->NodeAsType("b", xvtCurrency).AsCurrency(), Currency::FromRaw(15000));
        EXPECT_DOUBLE_EQ(r->NodebyName("c")->AttrAsType("v", xvtDouble).AsFloat(), 2.25);
        EXPECT_EQ(r->NodebyName("c")->AttrAsType("w", xvtCurrency).AsCurrency(), Currency::FromRaw(22500));
    }
}

TEST(XmlTyped, NodeReadsGiveCurrencyForIntegersAndTextForOtherTypes)
{
    auto r = TXMLNode::Create("<r><qty>12</qty><d>05.03.2007</d><s>abc</s><qty2/></r>");
    const Variant q = r->NodeAsType("qty", xvtInteger);
    EXPECT_EQ(q.VarType(), TVarType::varCurrency);
    EXPECT_EQ(q.AsInteger(), 12);
    EXPECT_EQ(r->NodeAsType("d", xvtDate).VarType(), TVarType::varDate);
    EXPECT_DOUBLE_EQ(r->NodeAsType("d", xvtDate).AsDateTime(), EncodeDate(2007, 3, 5));
    EXPECT_EQ(r->NodeAsType("s", 999).AsString(), "abc");
    EXPECT_EQ(r->NodebyName("s")->NodeAsType("", xvtString).AsString(), "abc");
    EXPECT_EQ(r->NodeAsTypeDef("qty2", xvtInteger, Variant(7)).AsInteger(), 7);
    EXPECT_EQ(r->NodeAsTypeDef("none", xvtString, Variant("def")).AsString(), "def");
}

TEST(XmlTyped, MissingOrEmptyNodesRaiseNodeNotFound)
{
    auto r = TXMLNode::Create("<r><qty/></r>");
    EXPECT_EQ(messageOf<Exception>([&] { r->NodeAsType("qty", xvtInteger); }), std::string("Узел \"qty\" не найден"_w));
    EXPECT_EQ(messageOf<Exception>([&] { r->NodeAsType("x/y", xvtString); }), std::string("Узел \"x/y\" не найден"_w));
}

TEST(XmlTyped, ConversionFailuresNameTheNodeAndThePosition)
{
    auto r = TXMLNode::Create("<r><price>abc</price><d>32.13.2007</d><n>1x</n></r>");
    EXPECT_EQ(messageOf<Exception>([&] { r->NodeAsType("price", xvtDouble, 7); }),
              std::string("Позиция 7, узел \"price\", имеет неверный формат. Невозможно преобразовать значение "
                          "\"abc\" в число!\r\nУзел \"price\", строка 7 имеет неверный формат."_w));
    EXPECT_EQ(messageOf<Exception>([&] { r->NodeAsType("n", xvtInteger, 3); }),
              std::string("Позиция 3 узел \"n\", имеет неверный формат. Невозможно преобразовать значение "
                          "\"1x\" в число!\r\nУзел \"n\", строка 3 имеет неверный формат."_w));
    EXPECT_EQ(messageOf<Exception>([&] { r->NodeAsType("d", xvtDate); }),
              std::string("Позиция 3, узел \"d\", имеет неверный формат. Невозможно преобразовать значение "
                          "\"32.13.2007\" в дату!\r\nУзел \"d\", строка 3 имеет неверный формат."_w));
    // With an empty path the node's own name is used.
    auto price = TXMLNode::Create("<price>abc</price>");
    EXPECT_EQ(messageOf<Exception>([&] { price->NodeAsTypeDef("", xvtCurrency, Variant()); }),
              std::string("Позиция 0 узел \"price\", имеет неверный формат. Невозможно преобразовать значение "
                          "\"abc\" в число!\r\nУзел \"price\", строка 0 имеет неверный формат."_w));
}

TEST(XmlTyped, AttributeReadsAppendTheAttributeLine)
{
    auto r = TXMLNode::Create("<r n=\"12\" bad=\"x\"/>");
    EXPECT_EQ(r->AttrAsType("n", xvtInteger).VarType(), TVarType::varInteger);
    EXPECT_EQ(r->AttrAsType("n", xvtInteger).AsInteger(), 12);
    EXPECT_EQ(r->AttrAsType("n", xvtString).AsString(), "12");
    EXPECT_TRUE(r->AttrAsType("n", 42).IsNull());
    EXPECT_EQ(r->AttrAsTypeDef("missing", xvtInteger, Variant(3)).AsInteger(), 3);
    EXPECT_EQ(r->AttrAsTypeDef("missing", xvtString, Variant("d")).AsString(), "d");
    // The silent abort carries CR LF and the attribute line.
    try {
        r->AttrAsType("id", xvtString);
        FAIL();
    } catch (const EAbort& e) {
        EXPECT_EQ(e.Message(), "\r\n" + std::string("Атрибут \"id\" не задан или имеет неверный формат."_w));
    }
    EXPECT_EQ(messageOf<EConvertError>([&] { r->AttrAsType("bad", xvtInteger); }),
              "'x' is not a valid integer value\r\n" +
                  std::string("Атрибут \"bad\" не задан или имеет неверный формат."_w));
    EXPECT_THROW(r->AttrAsType("missing", xvtDouble), EConvertError);
    EXPECT_EQ(r->GetAttrI("n"), 12);
    EXPECT_THROW(r->GetAttrI("bad"), EConvertError);
}

TEST(XmlTyped, XsdDatesRoundTrip)
{
    EXPECT_EQ(DatetoXSDDate(EncodeDate(2007, 3, 5)), "2007-03-05");
    EXPECT_EQ(DatetoXSDDate(EncodeDate(1999, 12, 31)), "1999-12-31");
    EXPECT_DOUBLE_EQ(XSDDatetoDate("2007-03-05"), EncodeDate(2007, 3, 5));
    EXPECT_DOUBLE_EQ(XSDDatetoDate("2007-03-05T10:00:00"), EncodeDate(2007, 3, 5));
    EXPECT_THROW(XSDDatetoDate("2007-02-30"), EConvertError);
    EXPECT_THROW(XSDDatetoDate("2007"), EConvertError);
    EXPECT_THROW(XSDDatetoDate(""), EConvertError);
}
