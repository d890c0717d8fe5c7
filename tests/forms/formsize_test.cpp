// Placement persistence of the package's forms, the font index table and the design guard.
#include <gtest/gtest.h>

#include "forms/developinfo.h"
#include "forms/formsize.h"
#include "forms/scaleforms.h"
#include "host/registry.h"
#include "host/registrystore.h"

#include "../util/messageof.h"

using namespace lm;

namespace {

class FormSizeTest : public ::testing::Test {
protected:
    void TearDown() override { SetFontIndex(0); }
    TMemoryRegistryStore store;

    int stored(const std::string& key, const std::string& name)
    {
        TRegistry reg(&store);
        EXPECT_TRUE(reg.OpenKey(key, false)) << key;
        return reg.ReadInteger(name);
    }
};

} // namespace

TEST_F(FormSizeTest, KeyCarriesResolutionAndFontSuffixBeforeTheClassName)
{
    EXPECT_EQ(GetSizeSuffix(96), "");
    SetFontIndex(3);
    EXPECT_EQ(GetSizeSuffix(120), "120L");
    EXPECT_EQ(TFormSize("TfrmUFilter", GetSizeSuffix(120), &store).FormKey(),
              "\\Software\\Lumora\\LMPack\\Forms120L\\TfrmUFilter");
    SetFontIndex(4);
    EXPECT_TRUE(IsBoldFont());
    EXPECT_EQ(GetSizeSuffix(96), "LB");
    SetFontIndex(7);  // out of range falls back to the designed font
    EXPECT_EQ(GetFontIndex(), 0);
    EXPECT_FALSE(IsBoldFont());
}

TEST_F(FormSizeTest, FontTableRows)
{
    EXPECT_EQ(FontChoice(0, true).Size, 0);
    EXPECT_EQ(FontChoice(1, true).Name, "MS Sans Serif");
    EXPECT_EQ(FontChoice(2, true).Name, "Tahoma");
    EXPECT_EQ(FontChoice(2, false).Name, "MS Sans Serif");
    EXPECT_TRUE(FontChoice(4, false).Bold);
    EXPECT_EQ(FontChoice(4, false).Size, 12);
    EXPECT_EQ(FontChoice(3, true).Suffix, "L");
}

TEST_F(FormSizeTest, FirstShowIsCentredAndNeverOffTheTopLeft)
{
    TFormSize size("TfrmSort", "", &store);
    TFormPlacement p;
    p.Width = 401;
    p.Height = 300;
    size.RestoreSize(p, true, 1024, 768);
    EXPECT_EQ(p.Left, 311);  // (1024 - 401) / 2 truncated
    EXPECT_EQ(p.Top, 234);
    p.Width = 2000;
    size.RestoreSize(p, true, 1024, 768);
    EXPECT_EQ(p.Left, 0);
}

TEST_F(FormSizeTest, SavedPlacementComesBackAndFixedFormsKeepTheirSize)
{
    TFormSize size("TfrmSort", "", &store);
    size.SaveSize({10, 20, 300, 400, wsNormal}, true);
    const std::string key = "\\Software\\Lumora\\LMPack\\Forms\\TfrmSort\\Size";
    EXPECT_EQ(stored(key, "Top"), 10);
    EXPECT_EQ(stored(key, "Width"), 400);
    EXPECT_EQ(stored(key, "State"), 0);

    TFormPlacement p{0, 0, 100, 100, wsNormal};
    size.RestoreSize(p, true, 1024, 768);
    EXPECT_EQ(p.Top, 10);
    EXPECT_EQ(p.Left, 20);
    EXPECT_EQ(p.Height, 300);
    EXPECT_EQ(p.Width, 400);

    TFormPlacement fixed{0, 0, 100, 100, wsNormal};
    size.RestoreSize(fixed, false, 1024, 768);
    EXPECT_EQ(fixed.Height, 100);
    EXPECT_EQ(fixed.Top, 10);
}

TEST_F(FormSizeTest, MaximisedSavesOnlyTheStateAndMinimisedNothing)
{
    TFormSize size("TfrmColorDlg", "", &store);
    const std::string key = "\\Software\\Lumora\\LMPack\\Forms\\TfrmColorDlg\\Size";
    size.SaveSize({1, 2, 3, 4, wsMinimized}, true);
    EXPECT_FALSE(TRegistry(&store).KeyExists(key));
    size.SaveSize({5, 6, 300, 400, wsNormal}, true);
    size.SaveSize({0, 0, 900, 900, wsMaximized}, true);
    EXPECT_EQ(stored(key, "State"), 2);
    EXPECT_EQ(stored(key, "Top"), 5);
    EXPECT_EQ(stored(key, "Height"), 300);
    TFormPlacement p{0, 0, 100, 100, wsNormal};
    size.RestoreSize(p, true, 1024, 768);
    EXPECT_EQ(p.State, wsMaximized);
    EXPECT_EQ(p.Width, 400);
}

TEST_F(FormSizeTest, MinimumSizesScaleWithTheTextHeight)
{
    EXPECT_EQ(ScaledMinHeight(0, 16), 0);
    EXPECT_EQ(ScaledMinHeight(130, 16), 160);
    EXPECT_EQ(ScaledMinWidth(130, 16), 172);  // 160 * 14 / 13 truncated
    EXPECT_EQ(MulDiv(-7, 1, 2), -3);
}

TEST(DevelopInfoTest, MetricsOfAnotherFormAreDroppedAndSavingAtAnotherResolutionIsGuarded)
{
    TDevelopInfo info("TfrmSort");
    info.Read({120, 16, "TfrmOther"});
    EXPECT_EQ(info.OldPixeldPerInch(), 96);
    EXPECT_EQ(info.OldTextHeight(), 13);
    info.Read({120, 16, "TfrmSort"});
    EXPECT_EQ(info.OldPixeldPerInch(), 120);

    const TDevelopMetrics written = info.Write(15, 144);
    EXPECT_EQ(written.FormClass, "TfrmSort");
    EXPECT_EQ(written.DevPixelsPerInch, 144);

    EXPECT_EQ(lm::test::messageOf([&] { info.CheckSavePermission(true, false, 96); }),
              "Form TfrmSort . NewPixelsPerInch<>OldPixelsPerInch - Need SavePermission!");
    EXPECT_NO_THROW(info.CheckSavePermission(false, false, 96));  // not in the designer
    EXPECT_NO_THROW(info.CheckSavePermission(true, true, 96));    // while loading
    EXPECT_NO_THROW(info.CheckSavePermission(true, false, 120));
    info.SetSavePermission(true);
    EXPECT_NO_THROW(info.CheckSavePermission(true, false, 96));
}
