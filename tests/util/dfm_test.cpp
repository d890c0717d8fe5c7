// The textual component format: every value kind survives write and read, hand-written text in
// both character forms and with "+" continuations reads, and bad text is refused with its line.
#include <gtest/gtest.h>

#include "messageof.h"
#include "util/cp1251.h"
#include "util/dfmobject.h"

using namespace lm;

namespace {

TDfmObject sample()
{
    TDfmObject o;
    o.Name = "Builder1";
    o.ClassName = "TSQLBuilder";
    TDfmValue set;
    set.Kind = TDfmValue::vkSet;
    set.Set = {"fsBold", "fsItalic"};
    TDfmValue emptySet;
    emptySet.Kind = TDfmValue::vkSet;
    TDfmValue coll;
    coll.Kind = TDfmValue::vkCollection;
    coll.Items.push_back({{"TableName", TDfmValue::String("G")}, {"JoinKind", TDfmValue::Ident("jkOuter")}});
    coll.Items.push_back({});
    TDfmValue binary;
    binary.Kind = TDfmValue::vkBinary;
    binary.Str = std::string("\x00\x01\xFF\x7F", 4);
    TDfmValue nested;
    nested.Kind = TDfmValue::vkList;
    nested.List = {TDfmValue::Integer(1), TDfmValue::StringList({"a"})};
    std::string allBytes;
    for (int c = 0; c < 256; ++c)
        allBytes += static_cast<char>(c);
    o.Properties = {
        {"Count", TDfmValue::Integer(-42)},
        {"Big", TDfmValue::Integer(INT64_MIN)},
        {"Ratio", TDfmValue::FloatValue(0.1)},
        {"Whole", TDfmValue::FloatValue(3)},
        {"Tiny", TDfmValue::FloatValue(-1.5e-300)},
        {"Caption", TDfmValue::String("Отчёт 'за' месяц\r\n\tитого"_w)},
        {"Empty", TDfmValue::String("")},
        {"Long", TDfmValue::String(std::string(300, 'x') + "Ё"_w + std::string(100, '\''))},
        {"AllBytes", TDfmValue::String(allBytes)},
        {"Enabled", TDfmValue::Boolean(true)},
        {"DataSet", TDfmValue::Ident("Form1.dsGoods")},
        {"Font.Style", set},
        {"Anchors", emptySet},
        {"Items.Strings", TDfmValue::StringList({"один"_w, "", "two"})},
        {"Nested", nested},
        {"Tables", coll},
        {"Data", binary},
    };
    TDfmObject child;
    child.Name = "Child";
    child.ClassName = "TChild";
    TDfmObject unnamed;
    unnamed.ClassName = "TOther";
    unnamed.Kind = "inherited";
    child.Children.push_back(unnamed);
    o.Children.push_back(child);
    return o;
}

TEST(DfmText, WriteThenReadIsIdentityForEveryValueKind)
{
    const TDfmObject o = sample();
    const std::string text = WriteDfmText(o);
    EXPECT_EQ(ReadDfmText(text), o);
    // plain ASCII, but for the one byte the code page leaves unassigned
    for (char c : text)
        EXPECT_TRUE(static_cast<unsigned char>(c) < 128 || c == '\x98');
    EXPECT_EQ(WriteDfmText(ReadDfmText(text)), text);
    EXPECT_NE(text.find("  Caption = #1054#1090#1095#1105#1090' '''#1079#1072''' '#1084"), std::string::npos);
}

TEST(DfmText, HandWrittenTextReads)
{
    const std::string text =
        "object Form1: TForm1\n"
        "  Left = 10\n"
        "  object SQLBuilder1: TSQLBuilder\n"
        "    JoinSQL = 'G.ID = V.ID'#13#10'and ' +\n"
        "      '''x''' + #1040'\xC1'\r\n"
        "    Raw = '\xC0\xE1\xE2'\n"
        "    Hex = $FF\n"
        "    Lines = (\n"
        "      'a'\n"
        "      'b')\n"
        "    Set = []\n"
        "    Coll = <\n"
        "      item\n"
        "        A = 1.5E2\n"
        "      end>\n"
        "  end\n"
        "end\n";
    const TDfmObject o = ReadDfmText(text);
    const TDfmObject* b = o.FindClass("tsqlbuilder");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Name, "SQLBuilder1");
    EXPECT_EQ(b->Find("joinsql")->AsString(), "G.ID = V.ID\r\nand 'x'" + std::string("АБ"_w));
    EXPECT_EQ(b->Find("Raw")->AsString(), "\xC0\xE1\xE2");
    EXPECT_EQ(b->Find("Hex")->AsInteger(), 255);
    EXPECT_EQ(b->Find("Lines")->AsStrings(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(b->Find("Coll")->Items.at(0).at(0).Value.Float, 150.0);
    EXPECT_EQ(o.Find("Left")->AsInteger(), 10);
}

TEST(DfmText, BadTextNamesItsLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "Строка 1: ожидается идентификатор"},
        {"form X: T\nend", "Строка 1: ожидается object"},
        {"object X: T\n  A 1\nend", "Строка 2: ожидается '='"},
        {"object X: T\n\n  A = 'open\nend", "Строка 3: незакрытая строка"},
        {"object X: T\n  A = 'a' +\n  B = 1\nend", "Строка 3: ожидается строка после '+'"},
        {"object X: T\n  A = #\nend", "Строка 2: неверный код символа"},
        {"object X: T\n  A = 1.2.3\nend", "Строка 2: неверное число"},
        {"object X: T\n  A = 99999999999999999999\nend", "Строка 2: неверное число"},
        {"object X: T\n  A = [a b]\nend", "Строка 2: ожидается ','"},
        {"object X: T\n  A = ('a'\nend", "Строка 3: ожидается ')'"},
        {"object X: T\n  A = <\n  x end>\nend", "Строка 3: ожидается item"},
        {"object X: T\n  A = {0G}\nend", "Строка 2: ожидается '}'"},
        {"object X: T\n  A = {0}\nend", "Строка 2: нечётное число шестнадцатеричных цифр"},
        {"object X: T\n  A = )\nend", "Строка 2: неверное значение свойства"},
        {"object X: T\n  A = 1\n", "Строка 3: ожидается идентификатор"},
        {"object X: T\nend\nend", "Строка 3: лишний текст после end"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(test::messageOf<EParserError>([&] { ReadDfmText(text); }), utf8ToCp1251(message)) << text;

    std::string deep = "object X: T\n  A = ";
    for (int i = 0; i < 300; ++i)
        deep += "(";
    EXPECT_EQ(test::messageOf<EParserError>([&] { ReadDfmText(deep); }), "Строка 2: слишком глубокая вложенность"_w);
}

} // namespace
