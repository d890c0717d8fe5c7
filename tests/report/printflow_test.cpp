// End to end over the demo database through the command line: the wizard builds a report with
// two groups and two sums from its settings file, the print menu lists it, and printing it with
// three selected grid rows prints exactly those records (read back with pdftotext).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "../cli/clirun.h"
#include "../db/demofixture.h"
#include "report/frmodel.h"
#include "util/cp1251.h"
#include "util/strs_files.h"
#include "util/sysutils.h"

using namespace lm;

namespace {

const std::string kQuery =
    "select g.ID, g.NAME, c.NAME as COUNTRY, v.NAME as VENDOR, g.PRICE, g.QUANTITY from GOODS g "
    "join COUNTRY c on c.ID = g.COUNTRY_ID join VENDOR v on v.ID = g.VENDOR_ID order by g.ID";

std::string pdfText(const std::string& pdf)
{
    std::string out;
    if (FILE* p = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// One column entry of the settings file.
std::string entry(const std::string& field, int width, bool numeric, int alignment, const std::string& label)
{
    return "    <TObjField\r\n      FieldName=\"" + field + "\"\r\n      FieldWidth=\"" + std::to_string(width) +
           "\"\r\n      IsNumeric=\"" + (numeric ? "1" : "0") + "\"\r\n      Alignment=\"" + std::to_string(alignment) +
           "\"\r\n      PrintLabel=\"" + label +
           "\">\r\n      <TFont\r\n        Name=\"Arial\"\r\n        Size=\"8\"\r\n        Style=\"[]\" />\r\n"
           "    </TObjField>\r\n";
}

std::string checkBox(const std::string& name, bool on, const std::string& caption)
{
    return "  <TCheckBox Name=\"" + name + "\">\r\n    <Value \r\n    Checked=\"" + (on ? "1" : "0") +
           "\" \r\n    Caption=\"" + caption + "\" />\r\n  </TCheckBox>\r\n";
}

// Country and vendor printed and grouped, name, price and quantity printed, price and quantity
// totalled; a total after every group, repeated totals suppressed.
std::string settings()
{
    const std::string country = entry("COUNTRY", 100, false, 8, "Страна"), vendor = entry("VENDOR", 140, false, 8, "Поставщик");
    const std::string price = entry("PRICE", 80, true, 9, "Цена"), qty = entry("QUANTITY", 60, true, 9, "Кол-во");
    return "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
           "<TfrmPrintWizardRoot Name=\"frmPrintWizardRoot\">\r\n<LeftPos Left=\"16\"/>\r\n" +
           checkBox("cbSumOnlyGroup", false, "Считать только итоги по группам") +
           checkBox("cbRS", true, "Подавлять итоги снизу") +
           checkBox("cbNoSumAfterOne", true, "Ставить итог после одной записи") +
           "  <TListBox Name=\"lbPrint\">\r\n" + country + vendor + entry("NAME", 340, false, 8, "Наименование") + price +
           qty + "  </TListBox >\r\n  <TListBox Name=\"lbGroupFields\">\r\n" + country + vendor +
           "  </TListBox >\r\n  <TListBox Name=\"lbSummReport\">\r\n" + price + qty +
           "  </TListBox >\r\n</TfrmPrintWizardRoot>\r\n";
}

// The command line opens the database itself; the test connects only afterwards, since the
// embedded engine allows one process at a time.
class PrintFlow : public lmtest::DemoDbTest {
protected:
    void SetUp() override {}
    void connect() { DemoDbTest::SetUp(); }
    std::vector<std::string> common(const std::string& command)
    {
        return {command, "--db", file(), "--query", kQuery, "--label", "NAME=Наименование", "--label", "COUNTRY=Страна",
                "--label", "VENDOR=Поставщик", "--label", "PRICE=Цена", "--label", "QUANTITY=Количество"};
    }
    lmtest::CliResult run(std::vector<std::string> args, std::initializer_list<std::string> more)
    {
        args.insert(args.end(), more);
        return lmtest::runLmpack(args);
    }
};

TEST_F(PrintFlow, WizardReportIsListedAndPrintsExactlyTheSelectedRows)
{
    const std::string forms = (dir() / "forms").string(), wzd = (dir() / "in.wzd.xml").string();
    std::filesystem::create_directories(forms);
    StrtoFile(utf8ToCp1251(settings()), wzd);

    auto made = run(common("wizard"), {"--settings", wzd, "--out", forms + "/prices.frf"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // The settings were restored from the file and written again byte for byte.
    EXPECT_EQ(FileToStr(forms + "/prices.wzd.xml"), FileToStr(wzd));
    EXPECT_EQ(FileToStr(forms + "/prices.srt").rfind("COUNTRY;VENDOR;", 0), 0u);
    TfrReport report;
    report.LoadFromFile(forms + "/prices.frf");
    int groups = 0, sums = 0;
    for (const auto& v : report.Pages.at(0)->Objects) {
        groups += v->Name.rfind("GroupHeader", 0) == 0;
        sums += v->Name.rfind("MemoSum", 0) == 0;
    }
    EXPECT_EQ(groups, 2);
    EXPECT_EQ(sums, 6);

    auto list = run(common("print"), {"--forms", forms, "--list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "prices\tprices.frf\n");

    const std::string pdf = (dir() / "prices.pdf").string();
    auto printed = run(common("print"), {"--forms", forms, "--report", "prices", "--pdf", pdf, "--rows", "5,17,42"});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    const std::string text = pdfText(pdf);
    connect();
    const auto chosen = column("select NAME from GOODS where ID in (5, 17, 42)");
    ASSERT_EQ(chosen.size(), 3u);
    for (const std::string& name : chosen)
        EXPECT_NE(text.find(cp1251ToUtf8(name)), std::string::npos) << cp1251ToUtf8(name);
    for (const std::string& other : column("select NAME from GOODS where ID <= 80 and ID not in (5, 17, 42)")) {
        bool part = false;
        for (const std::string& name : chosen)
            part = part || name.find(other) != std::string::npos;
        if (!part)
            EXPECT_EQ(text.find(cp1251ToUtf8(other)), std::string::npos) << cp1251ToUtf8(other);
    }
    const auto total = column("select cast(sum(PRICE) as double precision) from GOODS where ID in (5, 17, 42)");
    const std::string sum = cp1251ToUtf8(FormatFloat("0.00", StrToFloat(total.at(0))));
    EXPECT_NE(text.find("Итого:"), std::string::npos);
    EXPECT_NE(text.find(sum), std::string::npos) << sum;
}

TEST_F(PrintFlow, UnknownEntryAndBadRowsAreRefused)
{
    const std::string forms = (dir() / "empty").string();
    auto noFolder = run(common("print"), {"--forms", forms, "--list"});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_EQ(noFolder.err, "Папка " + forms + " не найдена\n");
    std::filesystem::create_directories(forms);
    auto missing = run(common("print"), {"--forms", forms, "--report", "Нет такой", "--pdf", forms + "/x.pdf"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Нет печатной формы \"Нет такой\"\n");
    auto bad = run(common("print"), {"--forms", forms, "--report", "x", "--pdf", "x.pdf", "--rows", "1,,2"});
    EXPECT_EQ(bad.exitCode, 2);
}

} // namespace
