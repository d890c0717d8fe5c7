// Colour rules over an in-memory dataset: which rule decides each colour, the operators and
// Null, value conversion by field type, formulas, events, host items, checks and storage.
#include <gtest/gtest.h>

#include "colorfixture.h"
#include "util/fastlist.h"
#include "../util/messageof.h"

namespace {

using namespace lm;
using lm::test::messageOf;
using Strings = std::vector<std::string>;

class ColorGridTest : public ::testing::Test, public lmtest::ColorFixture {};

TEST_F(ColorGridTest, FirstMatchingRuleDecidesEachColourSeparately)
{
    rule(citField, "ACTIVE", "=", "Да"_w, clRed, clWindow);          // font only
    rule(citField, "PRICE", ">", "100", clBlue, clYellow);           // font taken already: back only
    rule(citField, "NAME", "НЕ ПУСТО"_w, "", clGreen, clSilver);
    EXPECT_EQ(colours(), (Strings{"clRed/clSilver", "clBlue/clYellow", "clRed/clSilver"}));

    // no rules, or a closed or empty dataset: the default colours
    grid.Items().Clear();
    EXPECT_EQ(colours(), (Strings{"clWindowText/clWindow", "clWindowText/clWindow", "clWindowText/clWindow"}));
    rule(citField, "NAME", "НЕ ПУСТО"_w, "", clGreen, clSilver);
    goods.Close();
    TColor font = clRed, back = clRed;
    grid.CalcColors(font, back);
    EXPECT_EQ(font, clWindowText);
    EXPECT_EQ(back, clWindow);
}

TEST_F(ColorGridTest, OperatorsAndNullValues)
{
    struct Case {
        const char* field;
        std::string op, value;
        Strings expected;  // per record: "1" when the rule holds
    };
    const Case cases[] = {
        {"PRICE", "ПУСТО"_w, "", {"0", "0", "1"}},
        {"PRICE", "НЕ ПУСТО"_w, "", {"1", "1", "0"}},
        {"PRICE", "<>", "12,5", {"0", "1", "0"}},  // Null compares false with every operator
        {"PRICE", "<=", "12,5", {"1", "0", "0"}},
        {"QTY", ">=", "0", {"1", "1", "0"}},
        {"QTY", "=", "", {"0", "0", "0"}},         // no value: only the emptiness operators hold
        {"NAME", "=", "Кардио"_w, {"0", "1", "0"}},
        {"NAME", "не пусто"_w, "", {"1", "1", "1"}},
        {"REG_DATE", "<", "25.11.2026", {"0", "1", "0"}},
        {"ACTIVE", "=", "нет"_w, {"0", "1", "0"}},
        {"VENDOR", "=", "Bayer", {"0", "1", "0"}},
        {"VENDOR", "ПУСТО"_w, "", {"0", "0", "1"}},
        {"NAME", "LIKE", "x", {"0", "0", "0"}},    // an unknown operator never holds
    };
    for (const Case& c : cases) {
        grid.Items().Clear();
        rule(citField, c.field, c.op, c.value, clRed, clWindow);
        Strings got;
        for (const std::string& s : colours())
            got.push_back(s.rfind("clRed", 0) == 0 ? "1" : "0");
        EXPECT_EQ(got, c.expected) << c.field << " " << c.op << " " << c.value;
    }
}

TEST_F(ColorGridTest, ValuesConvertByFieldTypeAndWaitForTheFields)
{
    auto templates = grid.CreateAllItemList();
    auto item = templates->FindItem(citField, "ACTIVE")->Clone();
    item->SetValues("=", "ДА"_w);
    EXPECT_EQ(item->GetValue().VarType(), TVarType::varBoolean);
    EXPECT_TRUE(item->GetValue().AsBoolean());
    EXPECT_EQ(item->GetAsString(), "Да"_w);
    item->SetValues("=", "maybe");
    EXPECT_TRUE(item->GetValue().IsNull());
    item->SetDefValues();
    EXPECT_TRUE(item->GetValue().AsBoolean());

    auto price = templates->FindItem(citField, "PRICE")->Clone();
    price->SetValues(">", "12,5");
    EXPECT_EQ(price->GetValue().VarType(), TVarType::varDouble);
    EXPECT_EQ(price->GetAsString(), "12,5");
    price->SetValues(">", "12.5");  // not a number in the regional conventions
    EXPECT_TRUE(price->GetValue().IsNull());

    // a rule loaded before the grid has a dataset converts once it has one, and keeps its text
    TColorGrid early;
    TFieldItem waiting(&early, citField, "QTY", "");
    waiting.SetValues(">", "5");
    EXPECT_EQ(waiting.GetAsString(), "5");
    early.SetDataSet(&goods);
    EXPECT_EQ(waiting.GetValue().VarType(), TVarType::varInteger);
    EXPECT_EQ(waiting.GetCaption(), "Кол"_w);

    // the host's constructor for default rules takes the caption from the field
    TFieldItem def(&grid, "REG_DATE", Variant::Null(), "ПУСТО"_w);
    EXPECT_EQ(def.GetCaption(), "Дата"_w);
}

TEST_F(ColorGridTest, PickListsOfBooleanAndLookupFields)
{
    auto templates = grid.CreateAllItemList();
    TFastList list;
    templates->FindItem(citField, "ACTIVE")->FillPickList(list);
    EXPECT_EQ(list.Text(), "Да\r\nНет\r\n"_w);
    templates->FindItem(citField, "VENDOR")->FillPickList(list);
    EXPECT_EQ(list.Text(), "Фармстандарт\r\nBayer\r\n"_w);
    templates->FindItem(citField, "NAME")->FillPickList(list);
    EXPECT_EQ(list.Count(), 0);
    // hidden fields are no templates unless the host adds them
    EXPECT_EQ(templates->FindItem(citField, "VENDOR_ID"), nullptr);
    grid.OnAddFieldItem = [](TColorGrid*, const std::string& name, bool& doAdd) { doAdd = name != "NAME"; };
    templates = grid.CreateAllItemList();
    EXPECT_NE(templates->FindItem(citField, "vendor_id"), nullptr);
    EXPECT_EQ(templates->FindItem(citField, "NAME"), nullptr);
}

// A host property rule (type 1): the rows whose quantity is above a threshold the host holds.
class StockItem : public TColorItem {
public:
    StockItem(TColorGrid* grid) : TColorItem(grid, citHost, "STOCK", "Есть на складе"_w) {}
    std::unique_ptr<TColorItem> Clone() override { return std::unique_ptr<TColorItem>(new StockItem(*this)); }
    Variant GetCurrentValue() override
    {
        const Variant q = Grid()->DataSet()->FieldByName("QTY")->Value();
        return q.IsNull() ? Variant::Null() : Variant(q.AsInteger() > 0);
    }

private:
    StockItem(StockItem& source) : TColorItem(source) {}
};

TEST_F(ColorGridTest, FormulasEventsAndHostItems)
{
    grid.OnPopulateAllItems = [](TColorGrid* g, TColorItemList& items) {
        items.Add(std::make_unique<StockItem>(g));
        items.Add(std::make_unique<TEventItem>(g, "CHEAP", "Дешёвый"_w));
    };
    grid.OnEventItem = [](TColorGrid* g, const std::string& id, bool& isTrue) {
        isTrue = id == "CHEAP" && g->DataSet()->FieldByName("PRICE")->AsFloat() < 20;
    };
    rule(citExpr, "", "", "(<Фирма производитель> = 'Россия') or (<Цена> > 100)"_w, clRed, clWindow);
    rule(citExpr, "", "", "<Св-во.Есть на складе> and VarIsNull(<Нет такого поля>)"_w, clWindowText, clLime);
    rule(citEvent, "CHEAP", "=", "", clWindowText, clAqua);
    EXPECT_EQ(colours(), (Strings{"clRed/clLime", "clRed/clWindow", "clWindowText/clAqua"}));
    EXPECT_EQ(grid.FindScriptRef("ДОП.дешёвый"_w)->Type(), citEvent);
    EXPECT_EQ(grid.FindScriptRef("Цена"_w)->ID(), "PRICE");
    EXPECT_EQ(grid.FindScriptRef("Нет такого поля"_w), nullptr);

    // a formula that does not compile or fails at run time is false, and colouring goes on
    grid.Items().Clear();
    rule(citExpr, "", "", "<Цена> >"_w, clRed, clWindow);
    rule(citExpr, "", "", "<Цена> / <Кол> > 1"_w, clBlue, clWindow);
    rule(citExpr, "", "", "True", clGreen, clWindow);
    EXPECT_EQ(colours(), (Strings{"clBlue/clWindow", "clGreen/clWindow", "clGreen/clWindow"}));
}

TEST_F(ColorGridTest, CheckExprMessages)
{
    EXPECT_EQ(messageOf([&] { grid.CheckExpr(" \t\r\n"); }), "Пустая формула!"_w);
    EXPECT_EQ(messageOf([&] { grid.CheckExpr("<Цена> + 1"_w); }),
              "Ошибка в формуле:\r\nНе правильный результат 13,5. Ожидается True или False."_w);
    EXPECT_EQ(messageOf([&] { grid.CheckExpr("<Нет такого поля> = 1"_w); }),
              "Ошибка в формуле:\r\nПоле <Нет такого поля> не найдено"_w);
    EXPECT_EQ(messageOf([&] { grid.CheckExpr("(<Цена> > 1"_w); }),
              "Ошибка в формуле:\r\nСтрока 1, столбец 12: Ожидается ')'"_w);
    EXPECT_EQ(messageOf([&] { grid.CheckExpr("(<Цена> > 1) and <Активен>"_w); }), "(no exception)");
    goods.Last();
    EXPECT_EQ(messageOf([&] { grid.CheckExpr("<Цена> > 1"_w); }), "(no exception)");  // Null is accepted

    // after a failed check, colouring reads an unknown reference as Null again
    rule(citExpr, "", "", "VarIsNull(<Нет такого поля>)"_w, clRed, clWindow);
    EXPECT_EQ(colours(), (Strings{"clRed/clWindow", "clRed/clWindow", "clRed/clWindow"}));
}

TEST_F(ColorGridTest, SaveAndLoadKeepTheRulesInOrder)
{
    rule(citField, "PRICE", ">", "100", clBlue, clYellow);
    rule(citField, "ACTIVE", "=", "Да"_w, clRed, clWindow);
    rule(citExpr, "", "", "<Кол> = 0"_w, clWindowText, clLigthGreen);
    grid.Save(false);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Goods\\ColorGrid\\1", false));
    EXPECT_EQ(reg.ReadString("Value"), "Да"_w);
    EXPECT_EQ(reg.ReadInteger("FontColor"), clRed);
    reg.CloseKey();

    const Strings before = colours();
    grid.Items().Clear();
    grid.Load();
    ASSERT_EQ(grid.Items().Count(), 3);
    EXPECT_EQ(colours(), before);
    EXPECT_EQ(grid.Items().GetItem(2)->GetAsString(), "<Кол> = 0"_w);

    // defaults: saving them deletes the key, and loading without a key takes the defaults
    grid.OnPopulateDefItems = [](TColorGrid* g, TColorItemList& items) {
        auto item = std::make_unique<TFieldItem>(g, "PRICE", Variant::Null(), "ПУСТО"_w);
        item->SetBackColor(clError);
        items.Add(std::move(item));
    };
    grid.Save(true);
    EXPECT_FALSE(reg.KeyExists("\\Software\\Test\\Goods\\ColorGrid"));
    grid.Load();
    EXPECT_EQ(colours(), (Strings{"clWindowText/clWindow", "clWindowText/clWindow", "clWindowText/clError"}));
    EXPECT_TRUE(grid.Items().ListEqual(grid.DefItems()));

    grid.SetRegPath("");
    EXPECT_EQ(messageOf([&] { grid.Save(false); }), "TColorGrid.Save: Не указано св-во RegPath"_w);
}

TEST_F(ColorGridTest, LoadOrdersKeysByNumberAndIgnoresForeignColours)
{
    TRegistry reg;
    auto write = [&](const std::string& key, int type, const std::string& id, const std::string& op,
                     const std::string& value, int font, int back) {
        reg.OpenKey("\\Software\\Test\\Goods\\ColorGrid\\" + key, true);
        reg.WriteInteger("Type", type);
        reg.WriteString("ID", id);
        reg.WriteString("Operator", op);
        reg.WriteString("Value", value);
        reg.WriteInteger("FontColor", font);
        reg.WriteInteger("BackColor", back);
        reg.CloseKey();
    };
    write("x", 0, "NAME", "=", "x", clRed, clWindow);
    write("10", 0, "NAME", "=", "10", clRed, clWindow);
    write("2", 0, "NAME", "=", "2", clRed, clWindow);
    write("0", 0, "NAME", "=", "0", 0x123456, clWindow);      // a colour outside the table
    write("1", 0, "NO_SUCH_FIELD", "=", "1", clRed, clWindow);  // no template: skipped
    write("3", 3, "", "", "<Цена> > 1"_w, clRed, clWindow);
    write("4", 0, "ACTIVE", "=", "maybe", clRed, clWindow);
    grid.Load();
    Strings values;
    for (int i = 0; i < grid.Items().Count(); ++i)
        values.push_back(grid.Items().GetItem(i)->GetAsString());
    EXPECT_EQ(values, (Strings{"0", "2", "<Цена> > 1"_w, "", "10", "x"}));
    EXPECT_EQ(grid.Items().GetItem(0)->FontColor(), clWindowText);
    EXPECT_TRUE(grid.Items().GetItem(3)->GetValue().IsNull());
}

TEST_F(ColorGridTest, DialogWorkingCopy)
{
    EXPECT_EQ(messageOf([&] { grid.CreateCustomItem(nullptr); }),
              "TColorGrid: Данная операция (CreateItem) доступна только в режиме настройки."_w);
    rule(citField, "PRICE", ">", "100", clBlue, clYellow);
    TColorGrid::SetDialogRunner([](TColorGrid& g, TColorItemList& work, TColorItemList& templates, bool& defaults) {
        EXPECT_EQ(&work, g.WorkItems());
        TColorItem* added = g.CreateCustomItem(templates.FindItem(citField, "ACTIVE"));
        EXPECT_EQ(added->Operator(), "=");
        EXPECT_TRUE(added->GetValue().AsBoolean());
        added->SetFontColor(clMaroon);
        g.CreateCustomItem(nullptr)->SetValues("", "True");
        defaults = false;
        return true;
    });
    EXPECT_TRUE(grid.Customize());
    TColorGrid::SetDialogRunner(nullptr);
    EXPECT_EQ(grid.WorkItems(), nullptr);
    ASSERT_EQ(grid.Items().Count(), 3);
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("\\Software\\Test\\Goods\\ColorGrid\\2"));
    EXPECT_EQ(colours(), (Strings{"clMaroon/clWindow", "clBlue/clYellow", "clMaroon/clWindow"}));
}

TEST(ColorTable, NamesValuesAndThePalette)
{
    EXPECT_EQ(GetColorCount(), 58);
    EXPECT_EQ(GetColorName(0), "clBlack");
    EXPECT_EQ(GetColorName(21), "clSkyBlueLight");
    EXPECT_EQ(GetColor(22), 0x00CAFFCA);
    EXPECT_EQ(GetColorName(57), "clWindowText");
    EXPECT_EQ(ColorIndex(clWindow), 55);
    EXPECT_EQ(ColorIndex(0x123456), -1);
    EXPECT_EQ(messageOf([] { GetColor(58); }), "TColorGrid: Индекс цвета (58) выходит за границы [0,57]"_w);
    EXPECT_EQ(messageOf([] { GetColorName(-1); }), "TColorGrid: Индекс цвета (-1) выходит за границы [0,57]"_w);
    TColorGrid grid;
    TColorItem item(&grid, citHost, "X", "X");
    EXPECT_EQ(messageOf([&] { item.SetBackColor(0x010203); }),
              "TColorItem.SetBackColor: Значение цвета отсутствует в списке."_w);

    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
    EXPECT_EQ(ColorToRGB(clLightYellow), clLightYellow);
    SetSystemPalette([](TColor c) { return c == clWindow ? TColor(0x202020) : ClassicSystemColor(c); });
    EXPECT_EQ(ColorToRGB(clWindow), 0x202020);
    SetSystemPalette(nullptr);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
}

TEST(ColorTable, BooleanTexts)
{
    EXPECT_TRUE(StrToBoolean("да"_w));
    EXPECT_TRUE(StrToBoolean("True"));
    EXPECT_FALSE(StrToBoolean("НЕТ"_w));
    EXPECT_FALSE(StrToBoolean("0"));
    EXPECT_EQ(messageOf([] { StrToBoolean("maybe"); }), "Ошибка преобразования строки maybe к типу boolean"_w);
    EXPECT_EQ(BooleanToStr(false), "Нет"_w);
}

} // namespace
