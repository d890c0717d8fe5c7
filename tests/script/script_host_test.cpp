// Host bindings of the script engine: functions and their compile-time binding, <Name>
// references, host variables, objects with properties, methods and object members, Sender
// arguments and with blocks.
#include <gtest/gtest.h>

#include <map>

#include "script/script.h"
#include "util/cp1251.h"
#include "../util/messageof.h"

namespace {

using lm::TScript;
using lm::TScriptArgs;
using lm::TScriptObject;
using lm::Variant;
using lm::operator""_w;
using lm::test::messageOf;

// A report object as scripts see it: Name, Text, Visible, a Child object and Add(N).
class TestObject : public TScriptObject {
public:
    enum { kName, kText, kVisible, kChild, kAdd };
    explicit TestObject(std::string name) : name(std::move(name)) {}
    int FindMember(std::string_view member) const override
    {
        static const std::map<std::string, int> ids = {
            {"NAME", kName}, {"TEXT", kText}, {"VISIBLE", kVisible}, {"CHILD", kChild}, {"ADD", kAdd}};
        const auto it = ids.find(lm::upperCase(member));
        if (it == ids.end() || (it->second == kChild && !child))
            return -1;
        ++lookups;
        return it->second;
    }
    Variant GetMember(int id) override
    {
        switch (id) {
        case kName: return Variant(name);
        case kText: return Variant(text);
        case kVisible: return Variant(visible);
        default: return Variant::Null();
        }
    }
    void SetMember(int id, const Variant& value) override
    {
        if (id == kText)
            text = value.AsString();
        else if (id == kVisible)
            visible = value.AsBoolean();
        else
            TScriptObject::SetMember(id, value);
    }
    Variant CallMember(int id, const TScriptArgs& args) override
    {
        if (id != kAdd)
            return TScriptObject::CallMember(id, args);
        total += args[0].AsInteger();
        return Variant(total);
    }
    TScriptObject* ObjectMember(int id) override { return id == kChild ? child : nullptr; }
    std::string ScriptClassName() const override { return "TfrxMemoView"; }

    std::string name, text;
    bool visible = true;
    int total = 0;
    TestObject* child = nullptr;
    mutable int lookups = 0;
};

// The program the colour rules generate around a formula.
std::string formulaProgram(const std::string& formula)
{
    return "function Expr_IsTrue: boolean;\r\nbegin\r\n  Result := " + formula + ";\r\nend;\r\nbegin\r\nend.";
}

TEST(ScriptHost, ReferencesCallGetAndBindOnceWhenTheHostCan)
{
    std::map<std::string, Variant> fields = {{"Цена"_w, Variant(150.0)}, {"Фирма производитель"_w, Variant("Россия"_w)},
                                             {"Пусто"_w, Variant::Null()}};
    int binds = 0, calls = 0;
    TScript s;
    s.AddFunction(
        "Get", [&](const TScriptArgs& a) { ++calls; return fields.at(a[0].AsString()); }, 1, 1,
        [&](const std::vector<Variant>& args) -> std::function<Variant()> {
            ++binds;
            const std::string name = args[0].AsString();
            return [&fields, name] { return fields.at(name); };
        });
    s.SetText(formulaProgram("(<Фирма производитель> = 'Россия') or (<Цена> > 100)"_w));
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg();
    const auto f = s.FindRoutine("expr_istrue");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(binds, 2);
    EXPECT_TRUE(s.Call(f).AsBoolean());
    fields["Фирма производитель"_w] = Variant("Германия"_w);
    fields["Цена"_w] = Variant(50.0);
    EXPECT_FALSE(s.Call(f).AsBoolean());
    EXPECT_EQ(binds, 2);
    EXPECT_EQ(calls, 0);
    // a Null field makes the comparison false; Get with a computed name takes the ordinary call
    EXPECT_EQ(lm::ScriptValueText(s.Evaluate("<Пусто> = 0"_w)), "False");
    EXPECT_EQ(lm::ScriptValueText(s.Evaluate("Get('Це' + 'на')"_w)), "50");
    EXPECT_EQ(calls, 1);
    // unbalanced references are compile errors, a missing Get too
    EXPECT_NE(messageOf([&] { s.Evaluate("<Цена = 1"_w); }).find("Ожидается ссылка вида <Имя>"_w), std::string::npos);
    TScript bare;
    bare.SetText(formulaProgram("<Цена> > 1"_w));
    EXPECT_FALSE(bare.Compile());
    EXPECT_EQ(bare.ErrorLine(), 3);
}

TEST(ScriptHost, FunctionsCheckTheirArgumentCountsAndMayRaise)
{
    TScript s;
    s.AddFunction("Sum", [](const TScriptArgs& a) {
        double t = 0;
        for (int i = 0; i < a.Count(); ++i)
            t += a[i].AsFloat();
        return Variant(t);
    }, 1, -1);
    s.AddFunction("Fail", [](const TScriptArgs&) -> Variant { throw lm::Exception("host says no"); }, 0, 0);
    EXPECT_EQ(s.Evaluate("Sum(1, 2, 3.5)").AsFloat(), 6.5);
    EXPECT_NE(messageOf<lm::EScriptError>([&] { s.Evaluate("Sum()"); }).find("Неверное число аргументов 'Sum'"_w), std::string::npos);
    EXPECT_EQ(messageOf([&] { s.Evaluate("Fail"); }), "host says no");
    s.SetText("function F: String;\nbegin try Fail; except Result := ExceptionMessage; end; end;\nbegin end.");
    ASSERT_TRUE(s.Compile());
    EXPECT_EQ(s.Call(s.FindRoutine("F")).AsString(), "host says no");
}

TEST(ScriptHost, ObjectsPropertiesMethodsWithAndSender)
{
    TestObject memo("Memo1"), page("Page1"), band("Band1");
    page.child = &band;
    TScript s;
    s.AddObject("Memo1", &memo);
    s.AddObject("Page", &page);
    s.AddVariable("Counter", 0);
    s.SetText(
        "procedure Memo1OnBeforePrint(Sender: TfrxComponent);\n"
        "begin\n"
        "  with Engine, Memo1 do\n"
        "  begin\n"
        "    Text := Sender.Name + ':' + IntToStr(Add(2));\n"
        "    Visible := Counter > 0;\n"
        "  end;\n"
        "  Page.Child.Text := 'band of ' + Page.Name;\n"
        "  Counter := Counter + 1;\n"
        "end;\n"
        "begin end.");
    s.AddObject("Engine", &page);
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg();
    const auto p = s.FindRoutine("Memo1OnBeforePrint");
    for (int i = 0; i < 3; ++i)
        s.Call(p, {Variant()}, {&band});
    EXPECT_EQ(memo.text, "Band1:6");
    EXPECT_TRUE(memo.visible);
    EXPECT_EQ(band.text, "band of Page1");
    EXPECT_EQ(s.GetVariable("Counter").AsInteger(), 3);
    // member names were resolved once per call site, not per run
    EXPECT_LE(memo.lookups, 6);

    EXPECT_EQ(messageOf([&] { s.Evaluate("Memo1.Nothing"); }), "Неизвестное свойство или метод 'Nothing' у TfrxMemoView"_w);
    EXPECT_EQ(messageOf([&] { s.SetText("begin Memo1.Name := 'x'; end."); s.Compile(); s.Execute(); }),
              "Свойство только для чтения"_w);
    EXPECT_EQ(messageOf([&] { s.Evaluate("Counter.Name"); }), "Обращение к 'Name' не у объекта"_w);
}

TEST(ScriptHost, ConstantsAndVariablesSurviveRecompiling)
{
    TScript s;
    s.AddConstant("Limit", 100);
    s.AddVariable("Seen", 1);
    s.SetVariable("Seen", 7);
    s.SetText("begin Seen := Seen + Limit; end.");
    ASSERT_TRUE(s.Compile());
    s.Execute();
    EXPECT_EQ(s.GetVariable("Seen").AsInteger(), 107);
    ASSERT_TRUE(s.Compile());  // the host's value, not the script's, starts the next program
    EXPECT_EQ(s.GetVariable("Seen").AsInteger(), 7);
    EXPECT_EQ(messageOf([&] { s.GetVariable("Nope"); }), "Неизвестная переменная 'Nope'"_w);
}

} // namespace
