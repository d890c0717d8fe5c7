// The field panel model over the real settings store: what customisation stores, what reading
// re-applies, the tab order sub-key, state application, and the selection frame's geometry.
#include "controlsfixture.h"

#include "controls/afpanel.h"
#include "controls/selectframe.h"
#include "util/cp1251.h"

using namespace lm;
using namespace lm::test;

namespace {

const std::string kRoot = "\\Software\\LM\\Forms\\frmGood";

// A root panel "CPanel" holding "pnlName" and "pnlPrice", as a form designer left them.
struct PanelTree {
    std::vector<std::string> tabs{"edName", "edPrice", "cbActive"};
    FakePanelView rootView, nameView, priceView;
    TAFPanel root;
    TAFPanel name{&root};
    TAFPanel price{&root};

    explicit PanelTree(TRegistryStore* store)
    {
        root.SetName("CPanel");
        root.RootPanel = true;
        root.SetBounds({0, 0, 400, 200});
        name.SetName("pnlName");
        name.SetBounds({8, 8, 200, 24});
        price.SetName("pnlPrice");
        price.SetBounds({8, 40, 96, 24});
        price.DenyStates = AFPSet(afInvisible);
        FakePanelView* views[] = {&rootView, &nameView, &priceView};
        TAFPanel* panels[] = {&root, &name, &price};
        for (int i = 0; i < 3; ++i) {
            views[i]->tabs = &tabs;
            panels[i]->SetView(views[i]);
            panels[i]->SetRegistryStore(store);
            panels[i]->Loaded();
        }
        root.ReadFromReg(kRoot);
    }
};

} // namespace

using AFPanelStore = StoreTest;

TEST_F(AFPanelStore, OkWithoutChangesLeavesNoKeys)
{
    PanelTree t(store.get());
    t.root.StartCustom();
    EXPECT_TRUE(t.nameView.customizing);
    t.root.EndCustom(true);
    EXPECT_FALSE(t.nameView.customizing);
    EXPECT_FALSE(keyExists(kRoot + "\\CPanel"));
}

TEST_F(AFPanelStore, StoredChangesComeBackWhenTheFormOpensAgain)
{
    {
        PanelTree t(store.get());
        bool after = false;
        t.root.AfterCustom = [&](TAFPanel*, bool ok) { after = ok; };
        t.root.StartCustom();
        t.name.SetBounds({16, 8, 240, 24});
        t.price.SetState(afDisable);
        t.root.SetBounds({0, 8, 500, 300});
        t.root.EndCustom(true);
        EXPECT_TRUE(after);
        EXPECT_FALSE(t.priceView.enabled);
        EXPECT_TRUE(t.priceView.visible);
        EXPECT_FALSE(t.priceView.tabStop);
    }
    // only what differs is stored, and a root panel never stores its size
    EXPECT_EQ(valueNames(kRoot + "\\CPanel\\pnlName"), (std::vector<std::string>{"Left", "Width"}));
    EXPECT_EQ(valueNames(kRoot + "\\CPanel\\pnlPrice"), std::vector<std::string>{"State"});
    EXPECT_EQ(valueNames(kRoot + "\\CPanel"), std::vector<std::string>{"Top"});

    PanelTree again(store.get());
    EXPECT_EQ(again.name.Bounds(), (TAFBounds{16, 8, 240, 24}));
    EXPECT_EQ(again.price.State(), afDisable);
    EXPECT_FALSE(again.priceView.enabled);
    EXPECT_EQ(again.root.Bounds(), (TAFBounds{0, 8, 400, 200}));
}

TEST_F(AFPanelStore, CancelRestoresAndResetDeletes)
{
    PanelTree t(store.get());
    t.root.StartCustom();
    t.name.SetBounds({40, 40, 100, 24});
    t.name.SetState(afInvisible);
    t.root.EndCustom(false);
    EXPECT_EQ(t.name.Bounds(), (TAFBounds{8, 8, 200, 24}));
    EXPECT_EQ(t.name.State(), afTabStop);
    EXPECT_FALSE(keyExists(kRoot + "\\CPanel"));

    t.root.StartCustom();
    t.name.SetState(afEnable);
    t.root.EndCustom(true);
    EXPECT_TRUE(keyExists(kRoot + "\\CPanel\\pnlName"));
    t.root.ResetCustom();
    EXPECT_EQ(t.name.State(), afTabStop);
    EXPECT_FALSE(keyExists(kRoot + "\\CPanel"));
}

TEST_F(AFPanelStore, AStoredStateThePanelDeniesIsIgnored)
{
    TRegistry reg(store.get());
    reg.OpenKey(kRoot + "\\CPanel\\pnlPrice", true);
    reg.WriteInteger("State", afInvisible);
    reg.WriteInteger("Width", 120);
    reg.WriteString("Top", "12");  // of another type: ignored, not raised
    PanelTree t(store.get());
    EXPECT_EQ(t.price.State(), afTabStop);
    EXPECT_EQ(t.price.Bounds().Width, 120);
    EXPECT_EQ(t.price.Bounds().Top, 40);
    EXPECT_TRUE(t.priceView.visible);
    EXPECT_EQ(t.price.StateChoices(), (std::vector<TAFPState>{afTabStop, afEnable, afDisable}));
}

TEST_F(AFPanelStore, TabOrderIsStoredOnlyWhenItDiffersFromTheDesign)
{
    const std::string tabKey = kRoot + "\\CPanel\\TabOrder";
    {
        PanelTree t(store.get());
        t.rootView.dialogResult = t.tabs;  // OK on the same order
        t.root.CustomTabOrder();
        EXPECT_FALSE(keyExists(tabKey));

        t.rootView.dialogResult = {"cbActive", "edName", "edPrice"};
        t.root.CustomTabOrder();
        EXPECT_EQ(valueNames(tabKey), (std::vector<std::string>{"000", "001", "002"}));
        TRegistry reg(store.get());
        reg.OpenKey(tabKey, false);
        EXPECT_EQ(reg.ReadString("000"), "cbActive");
    }
    PanelTree again(store.get());
    EXPECT_EQ(again.tabs, (std::vector<std::string>{"cbActive", "edName", "edPrice"}));

    // putting the design order back removes the key
    again.rootView.dialogResult = {"edName", "edPrice", "cbActive"};
    again.root.CustomTabOrder();
    EXPECT_FALSE(keyExists(tabKey));
}

TEST(AFPanel, StatesApplyDownTheTree)
{
    FakePanelView rv, cv;
    TAFPanel root, child(&root);
    root.SetView(&rv);
    child.SetView(&cv);
    root.SetState(afDisable);
    root.UpdateState(true);
    EXPECT_FALSE(rv.enabled);
    EXPECT_FALSE(cv.enabled);  // a closed parent closes its panels
    root.SetState(afEnable);
    child.SetState(afInvisible);
    root.UpdateState(true);
    EXPECT_TRUE(rv.enabled);
    EXPECT_FALSE(rv.tabStop);
    EXPECT_FALSE(cv.visible);

    child.SetName("pnlDeep");
    cv.caption = "Цена"_w;
    EXPECT_EQ(root.FindPanel("PNLDEEP"), &child);
    std::vector<std::pair<std::string, TAFPanel*>> list;
    root.PanelList(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].first, "Цена"_w);
}

TEST(SelectFrame, GripsSitOnTheCornersAndEdgeMiddles)
{
    // a 100 x 40 panel: the frame is 106 x 46, inner 100 x 40
    const TAFBounds f = FrameAround({10, 10, 100, 40});
    EXPECT_EQ(f, (TAFBounds{7, 7, 106, 46}));
    EXPECT_EQ(GripRect(1, f.Width, f.Height), (TAFBounds{0, 0, 5, 5}));
    EXPECT_EQ(GripRect(5, f.Width, f.Height), (TAFBounds{100, 20, 5, 5}));
    EXPECT_EQ(GripRect(7, f.Width, f.Height), (TAFBounds{50, 40, 5, 5}));
    EXPECT_EQ(GripAt(52, 42, f.Width, f.Height), 7);
    EXPECT_EQ(GripAt(30, 20, f.Width, f.Height), 0);
    EXPECT_EQ(GripCursor(3), gcSizeNESW);
    EXPECT_FALSE(DragThresholdPassed(4, -4));
    EXPECT_TRUE(DragThresholdPassed(0, -5));
}

TEST(SelectFrame, MovesInStepsOfEight)
{
    const TAFBounds p{40, 40, 100, 24};
    TFrameDrag drag(p, 10, 10, 0);
    drag.Over(40 + 10 + 7, 40 + 10);
    EXPECT_EQ(drag.Result(p, true), p);
    drag.Over(40 + 10 + 13, 40 + 10 - 9);
    EXPECT_EQ(drag.Result(p, true), (TAFBounds{48, 32, 100, 24}));
}

TEST(SelectFrame, ResizingNeverReachesEightPixels)
{
    TAFBounds p{40, 40, 16, 24};
    TFrameDrag right(p, 0, 0, 5);
    right.Over(40 + 15 - 8, 50);
    EXPECT_EQ(right.Result(p, true).Width, 16);

    p.Width = 24;
    TFrameDrag left(p, 0, 0, 4);
    left.Over(40 + 8, 50);
    EXPECT_EQ(left.Result(p, true), (TAFBounds{48, 40, 16, 24}));
    left.Over(48 + 8, 50);
    EXPECT_EQ(left.Result(p, true).Width, 16);

    // a top-left grip on a panel that may not be resized only moves it
    TFrameDrag corner(p, 0, 0, 1);
    corner.Over(40 - 16, 40 - 8);
    EXPECT_EQ(corner.Result(p, false), (TAFBounds{24, 32, 24, 24}));
    EXPECT_EQ(corner.Result(p, true), (TAFBounds{24, 32, 40, 32}));
}
