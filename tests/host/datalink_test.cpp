// Data sources and data links: active, editing, record-changed and update-data notifications,
// AutoEdit, ReadOnly, and what DisableControls holds back.
#include <gtest/gtest.h>

#include "host/datasource.h"
#include "hostfixture.h"

using namespace lm;
using lm::test::GoodsData;
using lm::test::GoodsSource;

namespace {

// Records every notification; UpdateData writes `pending` into the bound field.
class RecordingLink : public TDataLink {
public:
    std::vector<std::string> log;
    std::string fieldName = "NAME";
    std::string pending;

protected:
    void ActiveChanged() override { log.push_back(Active() ? "active" : "inactive"); }
    void EditingChanged() override { log.push_back(Editing() ? "editing" : "browsing"); }
    void RecordChanged(TField* field) override { log.push_back(field ? "changed " + field->FieldName() : "record"); }
    void DataSetScrolled(int distance) override { log.push_back("scrolled " + std::to_string(distance)); }
    void UpdateData() override
    {
        log.push_back("update");
        DataSet()->FieldByName(fieldName)->SetAsString(pending);
    }
};

// The goods source with a recording link on it.
struct LinkedGoods : GoodsSource {
    RecordingLink link;

    LinkedGoods() { link.SetDataSource(&source); }
};

} // namespace

TEST(DataLink, FollowsActiveAndEditingStates)
{
    GoodsData d;
    d.goods.Close();
    TDataSource source;
    RecordingLink link;
    link.SetDataSource(&source);
    source.SetDataSet(&d.goods);
    EXPECT_FALSE(link.Active());
    d.goods.Open();
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(link.DataSet(), &d.goods);
    d.goods.AppendRecord({1, "x"});
    link.log.clear();

    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(d.goods.State(), dsEdit);
    d.goods.FieldByName("QTY")->SetAsInteger(3);
    d.goods.Post();
    EXPECT_EQ(link.log, (std::vector<std::string>{"editing", "record", "changed QTY", "browsing", "record"}));

    d.goods.Close();
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.log.back(), "inactive");
}

TEST(DataLink, ModifiedValueReachesTheFieldOnPost)
{
    LinkedGoods d;
    ASSERT_TRUE(d.link.Edit());
    d.link.pending = "typed";
    d.link.Modified();
    d.goods.Post();
    EXPECT_EQ(d.goods.FieldByName("NAME")->AsString(), "typed");
    EXPECT_FALSE(d.link.IsModified());

    d.link.Edit();
    d.link.pending = "lost";
    d.link.Modified();
    d.link.Reset();
    EXPECT_FALSE(d.link.IsModified());
    EXPECT_EQ(d.link.log.back(), "record");
    d.goods.Post();
    EXPECT_EQ(d.goods.FieldByName("NAME")->AsString(), "typed");
}

TEST(DataLink, PendingValueIsDeliveredEvenWithControlsDisabled)
{
    LinkedGoods d;
    d.link.Edit();
    d.link.pending = "kept";
    d.link.Modified();
    d.goods.DisableControls();
    d.goods.Next();  // posts the edit
    d.goods.EnableControls();
    d.goods.First();
    EXPECT_EQ(d.goods.FieldByName("NAME")->AsString(), "kept");
}

TEST(DataLink, ReadOnlyLinkAndAutoEditOffDoNotEdit)
{
    LinkedGoods d;
    d.link.SetReadOnly(true);
    EXPECT_FALSE(d.link.Edit());
    EXPECT_EQ(d.goods.State(), dsBrowse);
    d.link.SetReadOnly(false);
    d.source.SetAutoEdit(false);
    EXPECT_FALSE(d.link.Edit());
    d.source.SetAutoEdit(true);
    EXPECT_TRUE(d.link.Edit());
    d.link.SetReadOnly(true);
    EXPECT_FALSE(d.link.Editing()) << "a read-only link is not editing in edit state";
}

TEST(DataLink, DisableControlsHoldsBackEventsAndSendsOneChangeAtTheEnd)
{
    LinkedGoods d;
    int dataChanges = 0;
    d.source.OnDataChange = [&](TDataSource*, TField*) { ++dataChanges; };
    d.link.log.clear();

    d.goods.DisableControls();
    d.goods.DisableControls();
    EXPECT_TRUE(d.goods.ControlsDisabled());
    for (d.goods.First(); !d.goods.Eof(); d.goods.Next()) {
    }
    d.goods.EnableControls();
    EXPECT_TRUE(d.link.log.empty());
    d.goods.EnableControls();
    EXPECT_FALSE(d.goods.ControlsDisabled());
    EXPECT_EQ(d.link.log, (std::vector<std::string>{"record"}));
    EXPECT_EQ(dataChanges, 1);

    d.goods.Prior();
    EXPECT_EQ(d.link.log.back(), "scrolled -1");
}

TEST(DataLink, SourceAndDataSetMayDieInEitherOrder)
{
    RecordingLink link;
    {
        TMemDataSet ds;
        ds.FieldDefs().Add("A", ftInteger);
        ds.Open();
        TDataSource source;
        source.SetDataSet(&ds);
        link.SetDataSource(&source);
        EXPECT_TRUE(link.Active());
    }
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_FALSE(link.Active());

    TDataSource source;
    link.SetDataSource(&source);
    {
        TMemDataSet ds;
        ds.FieldDefs().Add("A", ftInteger);
        ds.Open();
        source.SetDataSet(&ds);
        EXPECT_TRUE(link.Active());
    }
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
}

TEST(DataLink, FocusControlReachesTheLinks)
{
    GoodsData d;
    TDataSource source;
    source.SetDataSet(&d.goods);
    struct FocusLink : TDataLink {
        TField* focused = nullptr;
        void FocusControl(TField* field) override { focused = field; }
    } link;
    link.SetDataSource(&source);
    d.goods.FieldByName("PRICE")->FocusControl();
    EXPECT_EQ(link.focused, d.goods.FieldByName("PRICE"));
}

TEST(DataLink, OpeningWhileControlsAreDisabledActivatesLinksAtOnce)
{
    TMemDataSet ds;
    ds.FieldDefs().Add("A", ftInteger);
    TDataSource source;
    source.SetDataSet(&ds);
    RecordingLink link;
    link.SetDataSource(&source);
    ds.DisableControls();
    ds.Open();
    EXPECT_TRUE(link.Active());
    ds.Append();
    EXPECT_FALSE(link.Editing()) << "edit state waits for EnableControls";
    ds.EnableControls();
    EXPECT_TRUE(link.Editing());
}
