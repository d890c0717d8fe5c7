// The script language: expressions and their precedence, Null, the statements of programs,
// compile errors with positions, run-time errors and the limits.
#include <gtest/gtest.h>

#include "script/script.h"
#include "util/cp1251.h"
#include "../util/messageof.h"

namespace {

using lm::TScript;
using lm::Variant;
using lm::operator""_w;
using lm::test::messageOf;

std::string eval(const std::string& expr)
{
    TScript s;
    return lm::ScriptValueText(s.Evaluate(expr));
}

// The value of Result of "function F: Variant" whose body is `body`.
std::string run(const std::string& decls, const std::string& body)
{
    TScript s;
    s.SetText(decls + "\nfunction F: Variant;\n" + body + "\nbegin end.");
    EXPECT_TRUE(s.Compile()) << s.ErrorMsg();
    return lm::ScriptValueText(s.Call(s.FindRoutine("F")));
}

TEST(ScriptExpression, OperatorsFollowPascalPrecedence)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1 + 2 * 3", "7"},
        {"(1 + 2) * 3", "9"},
        {"7 div 2 + 7 mod 2", "4"},
        {"-7 div 2", "-3"},
        {"5 / 2", "2,5"},
        {"2 - 3 - 4", "-5"},
        {"(1 > 0) and (2 < 3)", "True"},
        {"(1 > 2) or (2 < 3) and (3 < 1)", "False"},      // and before or
        {"not (1 > 2) and True", "True"},
        {"True xor True", "False"},
        {"6 and 3", "2"},
        {"6 or 3", "7"},
        {"1 shl 4 shr 2", "4"},
        {"'ab' + 'cd' = 'abcd'", "True"},
        {"'abc' < 'abd'", "True"},
        {"3 in [1, 2..4]", "True"},
        {"'x' in ['a', 'b']", "False"},
        {"-(2 + 3)", "-5"},
        {"2147483647 + 1", "2147483648"},
        {"9223372036854775807 + 1", "9,22337203685478E18"},
    };
    for (const auto& [expr, expected] : cases)
        EXPECT_EQ(eval(expr), expected) << expr;
}

TEST(ScriptExpression, ComparisonBindsLooserThanAndSoUnparenthesisedFormulaDiffers)
{
    // without parentheses this reads 1 > (2 and 5) < 3, which is not the conjunction
    EXPECT_EQ(eval("(1 > 2) and (5 < 3)"), "False");
    EXPECT_EQ(eval("1 > 2 and 5 < 3"), "True");
}

TEST(ScriptExpression, NullPropagatesAndComparesFalse)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Null + 1", "Null"},
        {"'a' + Null", "Null"},
        {"Null * 0", "Null"},
        {"Null = Null", "False"},
        {"Null <> 1", "False"},
        {"Null < 1", "False"},
        {"not Null", "Null"},
        {"Null and False", "False"},
        {"Null or True", "True"},
        {"Null and True", "Null"},
        {"VarIsNull(Null)", "True"},
        {"VarIsNull(0)", "False"},
        {"IIF(Null, 1, 2)", "2"},
        {"Abs(Null)", "Null"},
    };
    for (const auto& [expr, expected] : cases)
        EXPECT_EQ(eval(expr), expected) << expr;
}

TEST(ScriptExpression, StringsAndFunctions)
{
    const std::pair<std::string, std::string> cases[] = {
        {"'It''s'", "It's"},
        {"'a'#13#10'b'", "a\r\nb"},
        {"#$41#66", "AB"},
        {"Copy('Привет', 2, 3)"_w, "рив"_w},
        {"Copy('abc', 0, 99)", "abc"},
        {"Copy('abc', 5, 1)", ""},
        {"Pos('в', 'Привет')"_w, "4"},
        {"Length('Цена')"_w, "4"},
        {"Trim('  x  ')", "x"},
        {"UpperCase('ёжик')"_w, "ЁЖИК"_w},
        {"LowerCase('ЁЖИК')"_w, "ёжик"_w},
        {"IntToStr(42) + '!'", "42!"},
        {"StrToInt('-17') * 2", "-34"},
        {"FloatToStr(2.5)", "2,5"},
        {"StrToFloat('1,25') * 4", "5"},
        {"FormatFloat('#,##0.00', 1234.5)", "1\xA0" "234,50"},
        {"FormatDateTime('dd.mm.yyyy', StrToDate('05.03.2024'))", "05.03.2024"},
        {"DateToStr(StrToDate('01.02.2023') + 1)", "02.02.2023"},
        {"Round(2.5) + Round(3.5)", "6"},
        {"Trunc(-2.7)", "-2"},
        {"Abs(-3)", "3"},
        {"IIF(2 > 1, 'да', 1 div 0)"_w, "да"_w},
        {"Format('%d-%s-%.1f-%5d|%-3s|', [7, 'x', 2.25, 42, 'ab'])", "7-x-2,3-   42|ab |"},
        {"Format('%x %%', [255])", "FF %"},
        {"Date <= Now", "True"},
        {"Chr(65) + IntToStr(Ord('a'))", "A97"},
    };
    for (const auto& [expr, expected] : cases)
        EXPECT_EQ(eval(expr), expected) << expr;
}

TEST(ScriptProgram, RoutinesParametersAndRecursion)
{
    EXPECT_EQ(run("function Fact(N: Integer): Integer;\nbegin\n  if N <= 1 then Result := 1 else Result := N * Fact(N - 1);\nend;",
                  "begin Result := Fact(10); end;"),
              "3628800");
    EXPECT_EQ(run("procedure Swap(var A, B: Integer);\nvar T: Integer;\nbegin T := A; A := B; B := T; end;",
                  "var X, Y: Integer;\nbegin X := 1; Y := 2; Swap(X, Y); Result := IntToStr(X) + IntToStr(Y); end;"),
              "21");
    EXPECT_EQ(run("function Twice(S: String; N: Integer = 2): String;\nvar I: Integer;\nbegin for I := 1 to N do Result := Result + S; end;",
                  "begin Result := Twice('ab') + Twice('c', 3); end;"),
              "ababccc");
    // the function's name takes the result; Exit(value) leaves early
    EXPECT_EQ(run("function G(X: Integer): String;\nbegin G := 'old'; if X > 0 then Exit('pos'); end;",
                  "begin Result := G(1) + G(0); end;"),
              "posold");
    // a forward declaration lets two routines call each other
    EXPECT_EQ(run("function IsOdd(N: Integer): Boolean; forward;\n"
                  "function IsEven(N: Integer): Boolean;\nbegin if N = 0 then Result := True else Result := IsOdd(N - 1); end;\n"
                  "function IsOdd(N: Integer): Boolean;\nbegin if N = 0 then Result := False else Result := IsEven(N - 1); end;",
                  "begin Result := IsEven(10); end;"),
              "True");
}

TEST(ScriptProgram, LoopsCaseAndFlow)
{
    EXPECT_EQ(run("function Inc2(N: Integer): Integer;\nbegin Result := N; Result := Result + 2; end;",
                  "begin Result := Inc2(1) + Inc2(2); end;"), "7");
    EXPECT_EQ(run("", "var I, S: Integer;\nbegin for I := 10 downto 1 do S := S * 2 + I mod 2; Result := S; end;"), "341");
    EXPECT_EQ(run("", "var I: Integer;\nbegin I := 0; while True do begin Inc(I); if I < 5 then Continue; Break; end; Result := I; end;"), "5");
    EXPECT_EQ(run("", "var I: Integer;\nbegin I := 1; repeat I := I * 3 until I > 100; Result := I; end;"), "243");
    EXPECT_EQ(run("", "var I: Integer; S: String;\nbegin for I := 0 to 6 do case I of\n 0: S := S + 'z';\n 1, 2: S := S + 'a';\n 3..4: S := S + 'b'\n else S := S + '?' end; Result := S; end;"),
              "zaabb??");
    EXPECT_EQ(run("", "var I: Integer;\nbegin for I := 5 to 1 do Result := 'ran'; Result := VarIsNull(Result); end;"), "False");
    // the loop bounds are read once
    EXPECT_EQ(run("", "var I, N, C: Integer;\nbegin N := 3; for I := 1 to N do begin N := 10; Inc(C); end; Result := C; end;"), "3");
    EXPECT_EQ(run("", "var A: array[1..5] of Integer; I, S: Integer;\nbegin for I := 1 to 5 do A[I] := I * I; for I := 1 to 5 do S := S + A[I]; Result := S; end;"),
              "55");
    EXPECT_EQ(run("", "var S: String;\nbegin S := 'abc'; S[2] := 'X'; Result := S + S[3]; end;"), "aXcc");
}

TEST(ScriptProgram, ExceptionsAreHandledBySurroundingBlocks)
{
    EXPECT_EQ(run("", "begin try Result := 1 div 0; except Result := 'caught: ' + ExceptionMessage; end; end;"),
              "caught: Division by zero");
    EXPECT_EQ(run("", "var S: String;\nbegin try try S := 'a'; raise Exception.Create('boom'); finally S := S + 'f'; end; except S := S + ExceptionMessage; end; Result := S; end;"),
              "afboom");
    EXPECT_EQ(run("", "var S: String; I: Integer;\nbegin for I := 1 to 3 do try if I = 2 then Continue; S := S + IntToStr(I); finally S := S + '.'; end; Result := S; end;"),
              "1..3.");
    TScript s;
    s.SetText("procedure P;\nbegin raise 'plain ' + 'text'; end;\nbegin end.");
    ASSERT_TRUE(s.Compile());
    EXPECT_EQ(messageOf([&] { s.Call(s.FindRoutine("P")); }), "plain text");
}

TEST(ScriptProgram, MainBlockAndGlobals)
{
    TScript s;
    s.SetText("program Demo;\nuses Classes;\nconst K = 10;\nvar Total: Integer = 5; Name: String;\n"
              "begin\n  Total := Total + K;\n  Name := 'done';\nend.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg();
    s.Execute();
    EXPECT_EQ(s.GetVariable("total").AsInteger(), 15);
    EXPECT_EQ(s.GetVariable("NAME").AsString(), "done");
    s.SetVariable("Total", 1);
    EXPECT_EQ(s.Evaluate("Total + K").AsInteger(), 11);
}

TEST(ScriptErrors, CompileErrorsNameLineAndColumn)
{
    struct Case {
        std::string text;
        int line, col;
        std::string message;
    };
    const Case cases[] = {
        {"begin\n  x := 1;\nend.", 2, 3, "Неизвестный идентификатор 'x'"_w},
        {"var A: Integer;\nbegin\n  A := (1 + ;\nend.", 3, 13, "Ожидается выражение"_w},
        {"begin\n  if 1 > 0 2;\nend.", 2, 12, "Ожидается then"_w},
        {"var S: String;\nbegin\n  S := 'x;\nend.", 3, 8, "Незакрытая строка"_w},
        {"{ open\nbegin end.", 1, 1, "Незакрытый комментарий"_w},
        {"var A: Integer;\nvar A: String;\nbegin end.", 2, 5, "Повторное объявление 'A'"_w},
        {"begin\n  Break;\nend.", 2, 3, "Break вне цикла"_w},
        {"function F: Integer;\nbegin\nend;\nbegin F(1); end.", 4, 7, "Неверное число аргументов 'F'"_w},
        {"procedure P; forward;\nbegin end.", 1, 11, "Не найдено тело подпрограммы 'P'"_w},
        {"begin\n  1 := 2;\nend.", 2, 3, "Ожидается оператор"_w},
        {"begin end. x", 1, 12, "Лишний текст после конца программы"_w},
        {"begin ? end.", 1, 7, "Недопустимый символ '?'"_w},
    };
    for (const Case& c : cases) {
        TScript s;
        s.SetText(c.text);
        EXPECT_FALSE(s.Compile()) << c.text;
        EXPECT_EQ(s.ErrorLine(), c.line) << c.text;
        EXPECT_EQ(s.ErrorColumn(), c.col) << c.text;
        EXPECT_EQ(s.ErrorMsg(), lm::Format("Строка %d, столбец %d: %s"_w, {c.line, c.col, c.message})) << c.text;
        EXPECT_FALSE(s.Compiled());
    }
}

TEST(ScriptErrors, RunTimeErrorsRaiseWithMessages)
{
    TScript s;
    EXPECT_EQ(messageOf([&] { s.Evaluate("1 div 0"); }), "Division by zero");
    EXPECT_EQ(messageOf([&] { s.Evaluate("StrToInt('12a')"); }), "'12a' is not a valid integer value");
    EXPECT_EQ(messageOf([&] { s.Evaluate("'abc' * 2"); }), "'abc' is not a valid floating point value");
    s.SetText("var A: array[1..3] of Integer;\nbegin A[4] := 1; end.");
    ASSERT_TRUE(s.Compile());
    EXPECT_EQ(messageOf([&] { s.Execute(); }), "Индекс массива вне границ (4)"_w);
    s.SetText("begin if Null then ; end.");
    ASSERT_TRUE(s.Compile());
    EXPECT_EQ(messageOf([&] { s.Execute(); }), "Could not convert variant of type (Null) into type (Boolean)");
}

TEST(ScriptLimits, StepBudgetStopsEndlessLoopsEvenInsideTryExcept)
{
    TScript s;
    s.SetMaxSteps(10000);
    s.SetText("var I: Integer;\nbegin while True do try Inc(I); except end; end.");
    ASSERT_TRUE(s.Compile());
    EXPECT_EQ(messageOf<lm::EScriptLimit>([&] { s.Execute(); }), "Превышено допустимое число шагов выполнения скрипта"_w);
    // the budget is per run: a second run gets it afresh and the script keeps working
    s.SetText("function F: Integer;\nvar I: Integer;\nbegin for I := 1 to 5000 do Result := I; end;\nbegin end.");
    ASSERT_TRUE(s.Compile());
    EXPECT_EQ(s.Call(s.FindRoutine("F")).AsInteger(), 5000);
    EXPECT_EQ(s.Call(s.FindRoutine("F")).AsInteger(), 5000);
}

TEST(ScriptLimits, RecursionAndNestingAreBounded)
{
    for (const char* text : {"procedure P;\nbegin P; end;\nbegin P; end.",
                             "function F: Integer;\nbegin Result := F + 1; end;\nbegin F; end."}) {
        TScript s;
        s.SetText(text);
        ASSERT_TRUE(s.Compile());
        EXPECT_EQ(messageOf<lm::EScriptLimit>([&] { s.Execute(); }), "Слишком глубокая рекурсия в скрипте"_w) << text;
    }

    TScript deep;
    deep.SetText("begin if " + std::string(5000, '(') + "1" + std::string(5000, ')') + " = 1 then ; end.");
    EXPECT_FALSE(deep.Compile());
    EXPECT_NE(deep.ErrorMsg().find("Слишком глубокая вложенность"_w), std::string::npos);

    std::string sum = "1";
    for (int i = 0; i < 20000; ++i)
        sum += "+1";
    EXPECT_NE(messageOf<lm::EScriptError>([&] { deep.Evaluate(sum); }).find("Слишком сложное выражение"_w), std::string::npos);
}

TEST(ScriptCompat, UndeclaredVariablesAndArraysAreListed)
{
    TScript s;
    s.SetCompatV2(true);
    s.SetText("begin\n  Sums[1] := 0;\n  Sums[1] := Sums[1] + 5;\n  Total := Sums[1] * 2;\n  Flag := Total > Limit;\n  Names['a'] := 'x';\nend.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg();
    EXPECT_EQ(s.ImplicitVariables(), (std::vector<std::string>{"Total", "Flag", "Limit"}));
    EXPECT_EQ(s.ArrayNames(), (std::vector<std::string>{"Sums", "Names"}));
    s.Execute();
    EXPECT_EQ(s.GetVariable("Total").AsInteger(), 10);

    // declared arrays created as containers work too, and the normal mode refuses the names
    TScript declared;
    declared.SetCompatV2(true);
    declared.SetText("var Sums: TfrxArray;\nbegin Sums := TfrxArray.Create; Sums[2] := 7; X := Sums[2]; Sums.Free; end.");
    ASSERT_TRUE(declared.Compile()) << declared.ErrorMsg();
    declared.Execute();
    EXPECT_EQ(declared.GetVariable("X").AsInteger(), 7);
    EXPECT_TRUE(declared.ArrayNames().empty());

    TScript strict;
    strict.SetText(s.Text());
    EXPECT_FALSE(strict.Compile());
}

} // namespace
