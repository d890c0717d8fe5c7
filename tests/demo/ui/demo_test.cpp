// The demo application's own parts over a database made by the test: where databases live,
// the goods query's conditions, the settings' stored values, and the goods report form.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <QApplication>

#include "app/globals.h"
#include "db/demodb.h"
#include "democonnection.h"
#include "demosettings.h"
#include "goodsdata.h"
#include "goodsreport.h"
#include "host/registrystore.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"

using namespace lm;

namespace {

class DemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_demo";
        static char* argv[] = {name, nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (!QApplication::instance())
            new QApplication(argc, argv);
        dir() = std::filesystem::temp_directory_path() / ("lmpack-demo-test-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir());
        std::filesystem::create_directories(dir());
        CreateDemoDatabase((dir() / "demo.fdb").string(), 2000);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir()); }
    static std::filesystem::path& dir()
    {
        static std::filesystem::path d;
        return d;
    }
    void SetUp() override
    {
        globals = std::make_unique<TGlobalVars>(nullptr, &store);
        glVars->RegRoot = kDemoRegRoot;
    }
    void TearDown() override { globals.reset(); }

    TMemoryRegistryStore store;
    std::unique_ptr<TGlobalVars> globals;
};

int count(TDemoConnection& c, const std::string& where)
{
    return SelectValue("select count(*) from GOODS G where " + where, {}, &c.Read()).AsInteger();
}

} // namespace

TEST(DemoConnectionNames, ServerNamesAreHostColonPathAndFilesAreTheRest)
{
    EXPECT_TRUE(TDemoConnection::IsServerName("localhost:/var/db/demo.fdb"));
    EXPECT_TRUE(TDemoConnection::IsServerName("db-host/3051:/data/demo.fdb"));
    EXPECT_TRUE(TDemoConnection::IsServerName("server:employee"));
    EXPECT_FALSE(TDemoConnection::IsServerName("/home/user/demo.fdb"));
    EXPECT_FALSE(TDemoConnection::IsServerName("./odd:name.fdb"));
    EXPECT_FALSE(TDemoConnection::IsServerName("dir/odd:name.fdb"));
    EXPECT_FALSE(TDemoConnection::IsServerName("host/port:x"));
    EXPECT_FALSE(TDemoConnection::IsServerName(":x"));
}

TEST_F(DemoTest, FirstStartCreatesTheDatabaseOnceAndAMissingFolderWithIt)
{
    const std::string name = (dir() / "sub" / "first.fdb").string();
    {
        TDemoConnection c;
        c.Open(name, 50);
        EXPECT_TRUE(c.Created());
        EXPECT_EQ(count(c, "1 = 1"), 50);
    }
    TDemoConnection again;
    again.Open(name, 80);
    EXPECT_FALSE(again.Created());
    EXPECT_EQ(count(again, "1 = 1"), 50);
}

TEST_F(DemoTest, GoodsFollowTheVendorChoiceAndTheUserFilterAndRefuseAnythingButKeys)
{
    TDemoConnection c;
    c.Open((dir() / "demo.fdb").string(), 0);
    TGoodsData data(c);
    data.Open();
    EXPECT_EQ(data.Goods().RecordCount(), count(c, "1 = 1"));
    data.SetVendorKeys("1,3");
    data.Reopen();
    EXPECT_EQ(data.Goods().RecordCount(), count(c, "G.VENDOR_ID in (1, 3)"));
    data.Filter().SetSource(utf8ToCp1251("[Цена] > 500"));
    EXPECT_TRUE(data.Filter().UseSQL());
    EXPECT_EQ(data.Goods().RecordCount(), count(c, "G.VENDOR_ID in (1, 3) and G.PRICE > 500"));
    EXPECT_THROW(data.SetVendorKeys("1) or (1 = 1"), Exception);
    EXPECT_EQ(data.VendorKeys(), "1,3");
    data.Filter().SetSource("");
    data.SetVendorKeys("");
    data.Reopen();
    EXPECT_EQ(data.Goods().RecordCount(), count(c, "1 = 1"));
}

TEST_F(DemoTest, TheDefaultColourRulesPaintOutOfStockGoodsThatHaveNotExpired)
{
    TDemoConnection c;
    c.Open((dir() / "demo.fdb").string(), 0);
    TGoodsData data(c);
    data.Open();
    int orange = 0;
    for (data.Goods().First(); !data.Goods().Eof(); data.Goods().Next()) {
        TColor font = clWindowText, back = clWindow;
        data.Colors().CalcColors(font, back);
        orange += back == clLightOrange;
    }
    EXPECT_GT(orange, 0);
    EXPECT_EQ(orange, count(c, "G.QUANTITY = 0 and (G.EXPIRY_DATE is null or G.EXPIRY_DATE >= current_date)"));
}

TEST_F(DemoTest, SettingsOutOfRangeKeepTheirDefaults)
{
    TDemoSettings s;
    s.GridFontSize = 12;
    s.ExpensivePrice = 700;
    s.ShowFooters = false;
    s.Save();
    TDemoSettings read;
    read.Load();
    EXPECT_EQ(read.GridFontSize, 12);
    EXPECT_EQ(read.ExpensivePrice, 700);
    EXPECT_FALSE(read.ShowFooters);
    LMWriteRegInt("GridFontSize", 400, "Settings");
    LMWriteRegInt("ExpensivePrice", -5, "Settings");
    read.Load();
    EXPECT_EQ(read.GridFontSize, TDemoSettings().GridFontSize);
    EXPECT_EQ(read.ExpensivePrice, TDemoSettings().ExpensivePrice);
}

TEST_F(DemoTest, TheGoodsReportIsWrittenOnceAndPrintsTheGoodsTheListShows)
{
    const std::string forms = (dir() / "PrintForms").string() + "/";
    const std::string file = GoodsReportFile(forms);
    EnsureGoodsReport(forms);
    ASSERT_TRUE(std::filesystem::exists(ToSysPath(file)));
    EXPECT_EQ(std::filesystem::path(ToSysPath(file)).filename().string(), "Список товаров.fr3");
    // a user's own copy is kept
    { std::ofstream(ToSysPath(file), std::ios::app) << "\n"; }
    const auto size = std::filesystem::file_size(ToSysPath(file));
    EnsureGoodsReport(forms);
    EXPECT_EQ(std::filesystem::file_size(ToSysPath(file)), size);

    TDemoConnection c;
    c.Open((dir() / "demo.fdb").string(), 0);
    TGoodsData data(c);
    data.Open();
    data.Filter().SetSource(utf8ToCp1251("[Цена] > 2500"));
    const int listed = data.Goods().RecordCount();
    int calls = 0;
    const std::string pdf = (dir() / "goods.pdf").string();
    const int pages = PrintReportToPdf(file, data.Goods(), pdf, [&](int) { ++calls; });
    EXPECT_GT(pages, 0);
    EXPECT_EQ(calls, pages);
    std::string text;
    if (FILE* p = popen(("pdftotext '" + pdf + "' -").c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = fread(buf, 1, sizeof buf, p))
            text.append(buf, n);
        pclose(p);
    }
    EXPECT_NE(text.find("Наименований: " + std::to_string(listed)), std::string::npos) << text.substr(0, 400);
}
