// The grid model: default and custom columns, titles, widths, pick lists, footers, selected rows.
#include <gtest/gtest.h>

#include "host/datasource.h"
#include "host/gridmodel.h"
#include "hostfixture.h"

using namespace lm;
using lm::test::GoodsSource;

namespace {

struct GridData : GoodsSource {
    TDBGridEh grid;
    GridData() { grid.SetDataSource(&source); }
};

} // namespace

TEST(GridModel, DefaultColumnsFollowTheVisibleFields)
{
    GridData g;
    EXPECT_EQ(g.grid.Columns().State(), csDefault);
    ASSERT_EQ(g.grid.Columns().Count(), 7);
    g.goods.FieldByName("QTY")->SetVisible(false);
    ASSERT_EQ(g.grid.Columns().Count(), 6);
    TColumnEh* name = g.grid.FieldColumns("name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Index(), 1);
    EXPECT_EQ(name->Field(), g.goods.FieldByName("NAME"));
    EXPECT_EQ(name->Title().Caption(), "NAME");
    g.goods.FieldByName("NAME")->SetDisplayLabel("Наименование"_w);
    EXPECT_EQ(name->Title().Caption(), "Наименование"_w);
    EXPECT_EQ(name->Width(), 60 * 7 + 4);
    EXPECT_EQ(g.grid.FieldColumns("QTY"), nullptr);
    EXPECT_EQ(g.grid.FieldColumns("PRICE")->Alignment(), taRightJustify);
}

TEST(GridModel, CustomColumnsKeepTheirOwnSettings)
{
    GridData g;
    TColumnEh* c = g.grid.Columns().Add();
    EXPECT_EQ(g.grid.Columns().State(), csCustomized);
    c->SetFieldName("IS_ACTIVE");
    c->Title().SetCaption("Активен"_w);
    c->SetWidth(40);
    c->SetColor(clYellow);
    c->Font().SetStyle(fsBold);
    c->KeyList() = {"True", "False"};
    c->PickList() = {"Да"_w, "Нет"_w};
    EXPECT_EQ(g.grid.Columns().Count(), 1);
    EXPECT_EQ(c->Title().Caption(), "Активен"_w);
    EXPECT_EQ(c->Width(), 40);
    EXPECT_EQ(c->DisplayText(), "Да"_w);
    g.goods.SetRecNo(4);
    EXPECT_EQ(c->DisplayText(), "") << "null is not in the key list";
    g.grid.Columns().Add()->SetFieldName("MISSING");
    EXPECT_EQ(g.grid.Columns().Items(1)->Field(), nullptr);
    EXPECT_EQ(g.grid.Columns().Items(1)->DisplayText(), "");
    g.grid.Columns().Clear();
    EXPECT_EQ(g.grid.Columns().Count(), 7);
}

TEST(GridModel, FootersSumAverageAndCountTheFilteredRecords)
{
    GridData g;
    g.grid.SetFooterRowCount(2);
    TColumnEh* price = g.grid.FieldColumns("PRICE");
    TColumnFooterEh& sum = price->Footers(0);
    price->Footers(3).SetValueType(fvtCount);  // rows beyond FooterRowCount do not disturb the others
    sum.SetValueType(fvtSum);
    sum.SetDisplayFormat("#,##0.00");
    price->Footers(1).SetValueType(fvtAvg);
    TColumnEh* name = g.grid.FieldColumns("NAME");
    name->Footer().SetValueType(fvtStaticText);
    name->Footer().SetValue("Итого:"_w);
    name->Footers(1).SetValueType(fvtCount);
    g.goods.SetRecNo(2);

    EXPECT_EQ(g.grid.GetFooterValue(0, *price), "194,25");
    EXPECT_EQ(g.grid.GetFooterValue(1, *price), "48,5625") << "nulls are not averaged";
    EXPECT_EQ(g.grid.GetFooterValue(0, *name), "Итого:"_w);
    EXPECT_EQ(g.grid.GetFooterValue(1, *name), "5");
    EXPECT_EQ(g.grid.GetFooterValue(0, *g.grid.FieldColumns("QTY")), "");
    EXPECT_EQ(g.goods.RecNo(), 2) << "summing does not move the current record";

    g.goods.SetFilter("QTY > 5");
    g.goods.SetFiltered(true);
    EXPECT_EQ(g.grid.GetFooterValue(0, *price), "14,00");
    EXPECT_EQ(g.grid.GetFooterValue(1, *name), "2");
}

TEST(GridModel, SelectedRowsAreBookmarks)
{
    GridData g;
    TBookmarkListEh& rows = g.grid.SelectedRows();
    g.goods.SetRecNo(2);
    rows.SetCurrentRowSelected(true);
    g.goods.SetRecNo(4);
    rows.SetCurrentRowSelected(true);
    rows.SetCurrentRowSelected(true);
    EXPECT_EQ(rows.Count(), 2);
    EXPECT_TRUE(rows.CurrentRowSelected());

    std::vector<int> ids;
    for (int i = 0; i < rows.Count(); ++i) {
        g.goods.GotoBookmark(rows.Items(i));
        ids.push_back(g.goods.FieldByName("ID")->AsInteger());
    }
    EXPECT_EQ(ids, (std::vector<int>{2, 4}));

    g.goods.Delete();
    EXPECT_TRUE(rows.Refresh());
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_FALSE(rows.Refresh());

    g.goods.SetRecNo(3);
    rows.SelectAll();
    EXPECT_EQ(rows.Count(), 4);
    EXPECT_EQ(g.goods.RecNo(), 3);
    rows.SetCurrentRowSelected(false);
    EXPECT_EQ(rows.Count(), 3);
    g.grid.SetTag(7);
    EXPECT_EQ(g.grid.Tag(), 7);
}
