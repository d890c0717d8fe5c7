// Record form settings over the real settings store: design-time values, what is stored under
// "Options", panels that disappeared, and the buttons that follow the keys.
#include "controlsfixture.h"

#include "controls/anketprops.h"

using namespace lm;
using namespace lm::test;

namespace {

const std::string kForm = "\\Software\\LM\\Forms\\frmGood";

struct FakeForm : IAnketForm {
    int w = 344, h = 253;
    bool okDefault = false, cancelEsc = false;
    TAFPanel* root = nullptr;
    int FormWidth() const override { return w; }
    int FormHeight() const override { return h; }
    void SetFormSize(int width, int height) override { w = width, h = height; }
    TAFPanel* RootPanel() const override { return root; }
    void SetOkDefault(bool d) override { okDefault = d; }
    void SetCancelOnEscape(bool c) override { cancelEsc = c; }
};

struct Form {
    FakeForm form;
    TAFPanel cpanel;
    TAFPanel name{&cpanel};
    TAFPanel price{&cpanel};
    TAnketProps props;

    Form(TRegistryStore* store, TKeyEnterAction design)
    {
        cpanel.SetName("CPanel");
        name.SetName("pnlName");
        price.SetName("pnlPrice");
        form.root = &cpanel;
        props.Options.KeyEnterAction = design;
        props.Options.ControlInsert = &name;
        props.Loaded(&form, store);
        props.ReadFromReg(kForm);
    }
};

} // namespace

using AnketPropsStore = StoreTest;

TEST_F(AnketPropsStore, NothingStoredKeepsTheDesignAndSetsTheButtons)
{
    Form tab(store.get(), eaTab);
    EXPECT_EQ(tab.props.Options, tab.props.DesignOptions());
    EXPECT_FALSE(tab.form.okDefault);
    EXPECT_FALSE(tab.form.cancelEsc);
    Form ok(store.get(), eaOk);
    EXPECT_TRUE(ok.form.okDefault);
    EXPECT_EQ(ok.props.Key(), kForm + "\\Options");
}

TEST_F(AnketPropsStore, DesignValuesLeaveNoOptionsKey)
{
    Form f(store.get(), eaTab);
    f.props.AcceptDialog(f.props.DesignOptions());
    EXPECT_FALSE(keyExists(kForm + "\\Options"));
}

TEST_F(AnketPropsStore, ChangesRoundTripWithTheFormSize)
{
    {
        Form f(store.get(), eaNone);
        TAnketOptions o = f.props.Options;
        o.KeyEnterAction = eaOk;
        o.KeyEscCancel = true;
        o.EditFocusMode = efConst;
        o.ControlEdit = &f.price;
        o.InsertOptions = ioAutoInsert | ioAutoClose;
        f.form.w = 500;
        f.props.AcceptDialog(o);
        EXPECT_TRUE(f.form.okDefault);
        EXPECT_TRUE(f.form.cancelEsc);
    }
    EXPECT_EQ(valueNames(kForm + "\\Options"),
              (std::vector<std::string>{"ControlEdit", "EditFocusMode", "InsertOptions", "KeyEnterAction",
                                        "KeyEscCancel", "Width"}));
    Form again(store.get(), eaNone);
    EXPECT_EQ(again.form.w, 500);
    EXPECT_EQ(again.form.h, 253);
    EXPECT_EQ(again.props.Options.KeyEnterAction, eaOk);
    EXPECT_EQ(again.props.Options.ControlEdit, &again.price);
    EXPECT_EQ(again.props.Options.ControlInsert, &again.name);
    EXPECT_EQ(again.props.Options.InsertOptions, unsigned(ioAutoInsert | ioAutoClose));
    EXPECT_TRUE(again.form.cancelEsc);

    again.props.ResetToDefaults();
    EXPECT_FALSE(keyExists(kForm + "\\Options"));
    EXPECT_EQ(again.props.Options.KeyEnterAction, eaNone);
    EXPECT_FALSE(again.form.okDefault);
}

TEST_F(AnketPropsStore, APanelNameThatNoLongerExistsLeavesThePropertyNull)
{
    TRegistry reg(store.get());
    reg.OpenKey(kForm + "\\Options", true);
    reg.WriteString("ControlInsert", "pnlGone");
    reg.WriteString("KeyEnterAction", "2");  // of another type: ignored, not raised
    reg.WriteInteger("EditFocusMode", 7);    // out of range: ignored
    Form f(store.get(), eaTab);
    EXPECT_EQ(f.props.Options.ControlInsert, nullptr);
    EXPECT_EQ(f.props.Options.KeyEnterAction, eaTab);
    EXPECT_EQ(f.props.Options.EditFocusMode, efLast);
}
