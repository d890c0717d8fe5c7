// The data-aware check box over an in-memory dataset: state from text, boolean and null
// fields, writing at once or on leaving, and read-only links.
#include <gtest/gtest.h>

#include "controls/dbcheckboxlm.h"
#include "host/datasource.h"
#include "host/memdataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

using namespace lm;

namespace {

struct Goods {
    TMemDataSet ds;
    TDataSource src;
    TDBCheckBoxLM box;

    Goods()
    {
        ds.FieldDefs().Add("ID", ftInteger);
        ds.FieldDefs().Add("RX", ftString, 10);
        ds.FieldDefs().Add("ACTIVE", ftBoolean);
        ds.CreateDataSet();
        ds.AppendRecord({1, "yes", true});
        ds.AppendRecord({2, "Нет"_w, Variant::Null()});
        ds.AppendRecord({3, "может"_w, false});
        ds.First();
        src.SetDataSet(&ds);
        box.SetDataSource(&src);
    }
};

} // namespace

TEST(DBCheckBoxLM, StateComesFromTheField)
{
    Goods g;
    g.box.ValueChecked = "Да;Yes"_w;
    g.box.ValueUnchecked = "Нет;No"_w;
    EXPECT_EQ(g.box.State(), cbUnchecked);  // no field yet
    g.box.SetDataField("RX");
    EXPECT_EQ(g.box.State(), cbChecked);
    g.ds.Next();
    EXPECT_EQ(g.box.State(), cbUnchecked);
    g.ds.Next();
    EXPECT_EQ(g.box.State(), cbGrayed);  // matches neither list

    g.box.SetDataField("ACTIVE");
    EXPECT_EQ(g.box.State(), cbUnchecked);
    g.ds.Prior();
    EXPECT_EQ(g.box.State(), cbGrayed);  // null
    g.ds.First();
    EXPECT_EQ(g.box.State(), cbChecked);
}

TEST(DBCheckBoxLM, AClickWritesTheFieldAtOnce)
{
    Goods g;
    g.box.ValueChecked = "Да;Yes"_w;
    g.box.ValueUnchecked = "Нет;No"_w;
    g.box.SetDataField("RX");
    g.ds.Next();
    g.box.Toggle();
    EXPECT_EQ(g.ds.State(), dsEdit);
    EXPECT_EQ(g.ds.FieldByName("RX")->AsString(), "Да"_w);
    EXPECT_EQ(g.box.State(), cbChecked);
    g.box.Toggle();
    EXPECT_EQ(g.ds.FieldByName("RX")->AsString(), "Нет"_w);

    g.box.SetDataField("ACTIVE");
    g.box.AllowGrayed = true;
    EXPECT_EQ(g.box.State(), cbGrayed);  // the record's flag is null
    g.box.Toggle();
    EXPECT_TRUE(g.ds.FieldByName("ACTIVE")->AsBoolean());
    g.box.Toggle();
    EXPECT_FALSE(g.ds.FieldByName("ACTIVE")->AsBoolean());
    g.box.Toggle();  // unchecked -> grayed clears the field
    EXPECT_TRUE(g.ds.FieldByName("ACTIVE")->IsNull());
}

TEST(DBCheckBoxLM, UpdateOnExitWaitsAndEscapeDrops)
{
    Goods g;
    g.box.SetDataField("ACTIVE");
    g.box.UpdateOnExit = true;
    g.box.Toggle();
    EXPECT_EQ(g.box.State(), cbUnchecked);
    EXPECT_TRUE(g.ds.FieldByName("ACTIVE")->AsBoolean());
    g.box.Escape();
    EXPECT_EQ(g.box.State(), cbChecked);
    g.box.Toggle();
    g.box.Exit();
    EXPECT_FALSE(g.ds.FieldByName("ACTIVE")->AsBoolean());
}

TEST(DBCheckBoxLM, ReadOnlyBoxDoesNotToggleAndReadOnlyDataSetSaysWhy)
{
    Goods g;
    g.box.SetDataField("ACTIVE");
    g.box.SetReadOnly(true);
    g.box.Toggle();
    EXPECT_EQ(g.box.State(), cbChecked);
    EXPECT_EQ(g.ds.State(), dsBrowse);
    g.box.SetReadOnly(false);
    g.ds.SetReadOnly(true);
    EXPECT_THROW(g.box.Toggle(), Exception);
    EXPECT_EQ(g.box.State(), cbChecked);
}
