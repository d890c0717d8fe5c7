// lmpack report convert and fixup as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../cli/clirun.h"
#include "report/frxreport.h"
#include "samplereports.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

TEST(ReportCli, ConvertWritesTheVersion3ReportAndFixupRewritesIt)
{
    const std::string dir = testing::TempDir();
    const std::string frf = dir + "/cli.frf", fr3 = dir + "/cli.fr3", fixed = dir + "/cli_fixed.fr3";
    lmtest::sampleReport(25)->SaveToFile(frf);
    auto r = lmtest::runLmpack({"report", "convert", frf, fr3});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    TfrxReport converted;
    converted.LoadFromFile(fr3);
    EXPECT_EQ(converted.FindObject("Memo2")->Prop("Text"), "[Report.ReportOptions.Name] [Date]\r\nline two");

    r = lmtest::runLmpack({"report", "fixup", fr3, fixed, "--dataset", "Товары"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    TfrxReport fixedReport;
    fixedReport.LoadFromFile(fixed);
    EXPECT_EQ(fixedReport.FindObject("Memo2")->Prop("Text"), "[Report.ReportOptions.Name] [<Date>]\r\nline two");
    EXPECT_EQ(fixedReport.FindObject("Band6")->Prop("DataSet"), "Товары"_w);
}

TEST(ReportCli, UsageAndMissingFiles)
{
    EXPECT_EQ(lmtest::runLmpack({"report", "convert", "only-one"}).exitCode, 2);
    EXPECT_EQ(lmtest::runLmpack({"report", "render", "x.fr3", "--db", "d"}).exitCode, 2);
    const auto r = lmtest::runLmpack({"report", "convert", testing::TempDir() + "/missing.frf",
                                      testing::TempDir() + "/missing.fr3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.frf"), std::string::npos);
}

} // namespace
