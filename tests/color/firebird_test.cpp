// Colour rules over the demo database: each kind of rule marks exactly the rows the same
// condition selects in SQL; rules survive a process restart in the SQLite store and load from a
// hand-written .reg file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "../db/demofixture.h"
#include "../filter/testfields.h"
#include "color/colorgrid.h"
#include "db/fibdataset.h"
#include "host/regfile.h"
#include "host/sqliteregistrystore.h"
#include "util/cp1251.h"

namespace {

using namespace lm;

const char* const kQuery =
    "select g.ID, g.NAME, g.PRICE, g.QUANTITY, g.REG_DATE, g.RECIPE, g.VENDOR_ID, c.NAME as COUNTRY "
    "from GOODS g left join COUNTRY c on c.ID = g.COUNTRY_ID";
const char* const kRegPath = "\\Software\\Lumora\\Test\\Goods";

class ColorFirebird : public lmtest::DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        vendors.SetDatabase(&db);
        vendors.SetTransaction(&read);
        vendors.SetSelectSQL("select ID, NAME from VENDOR");
        vendors.Open();
        goods.SetDatabase(&db);
        goods.SetTransaction(&read);
        goods.SetSelectSQL(std::string(kQuery) + " order by g.ID");
        goods.Prepare();
        lmtest::makeLookup(lmtest::addField<TStringField>(goods, "VENDOR", "Поставщик"_w, ""), "VENDOR_ID", &vendors,
                           "ID", "NAME");
        goods.Open();
        const std::pair<const char*, const char*> labels[] = {
            {"NAME", "Наименование"}, {"PRICE", "Цена"}, {"QUANTITY", "Кол"}, {"REG_DATE", "Дата"},
            {"RECIPE", "Рецепт"}, {"COUNTRY", "Фирма производитель"}};
        for (const auto& [name, label] : labels)
            goods.FieldByName(name)->SetDisplayLabel(utf8ToCp1251(label));
        grid.SetDataSet(&goods);
        grid.SetRegPath(kRegPath);
    }

    TColorItem* rule(int type, const std::string& id, const std::string& op, const std::string& value, TColor back)
    {
        std::unique_ptr<TColorItem> item;
        if (type == citExpr)
            item = std::make_unique<TExprItem>(&grid, citExpr, "", "");
        else
            item = grid.CreateAllItemList()->FindItem(type, id)->Clone();
        item->SetValues(op, value);
        item->SetBackColor(back);
        return grid.Items().Add(std::move(item));
    }

    // IDs of the rows painted `back`.
    std::set<int> painted(TColor back)
    {
        std::set<int> ids;
        for (goods.First(); !goods.Eof(); goods.Next()) {
            TColor f, b;
            grid.CalcColors(f, b);
            if (b == back)
                ids.insert(goods.FieldByName("ID")->AsInteger());
        }
        return ids;
    }

    std::set<int> selected(const std::string& where)
    {
        std::set<int> ids;
        for (const std::string& id : column("select g.ID from GOODS g left join COUNTRY c on c.ID = g.COUNTRY_ID "
                                            "left join VENDOR v on v.ID = g.VENDOR_ID where " + utf8ToCp1251(where)))
            ids.insert(std::stoi(id));
        return ids;
    }

    TpFIBDataSet vendors;
    TpFIBDataSet goods;
    TColorGrid grid;
};

TEST_F(ColorFirebird, EachRuleKindMarksTheRowsSqlSelects)
{
    struct Case {
        const char* field;
        std::string op, value;
        const char* where;
    };
    const Case cases[] = {
        {"COUNTRY", "=", "Россия"_w, "c.NAME = 'Россия'"},
        {"NAME", ">=", "Но"_w, "g.NAME >= 'Но'"},
        {"PRICE", ">", "1000", "g.PRICE > 1000"},
        {"PRICE", "ПУСТО"_w, "", "g.PRICE is null"},
        {"QUANTITY", "<=", "10", "g.QUANTITY <= 10"},
        {"REG_DATE", "<", "01.03.2021", "g.REG_DATE < '2021-03-01'"},
        {"RECIPE", "=", "Да"_w, "g.RECIPE"},
        {"VENDOR", "=", "Фармстандарт"_w, "v.NAME = 'Фармстандарт'"},
        {"VENDOR", "ПУСТО"_w, "", "g.VENDOR_ID is null"},
    };
    for (const Case& c : cases) {
        grid.Items().Clear();
        rule(citField, c.field, c.op, c.value, clLigthGreen);
        const std::set<int> expected = selected(c.where);
        EXPECT_FALSE(expected.empty()) << c.where;
        EXPECT_EQ(painted(clLigthGreen), expected) << c.where;
    }
}

TEST_F(ColorFirebird, FormulaAndEventRules)
{
    rule(citExpr, "", "", "(<Фирма производитель> = 'Россия') or (<Цена> > 100)"_w, clLightYellow);
    EXPECT_EQ(painted(clLightYellow), selected("c.NAME = 'Россия' or g.PRICE > 100"));

    grid.Items().Clear();
    grid.OnPopulateAllItems = [](TColorGrid* g, TColorItemList& items) {
        items.Add(std::make_unique<TEventItem>(g, "OUT", "Нет на складе"_w));
    };
    grid.OnEventItem = [](TColorGrid* g, const std::string& id, bool& isTrue) {
        isTrue = id == "OUT" && g->DataSet()->FieldByName("QUANTITY")->AsInteger() == 0;
    };
    rule(citExpr, "", "", "<Доп.Нет на складе> and (<Поставщик> <> 'Озон')"_w, clError);
    rule(citEvent, "OUT", "=", "", clSkyBlueLight);
    EXPECT_EQ(painted(clError), selected("coalesce(g.QUANTITY, 0) = 0 and v.NAME <> 'Озон'"));
    EXPECT_EQ(painted(clSkyBlueLight), selected("coalesce(g.QUANTITY, 0) = 0 and (v.NAME is null or v.NAME = 'Озон')"));
}

// The writing side of the restart test; runs only in the child started below.
TEST_F(ColorFirebird, ChildSavesRules)
{
    if (!std::getenv("LMPACK_COLOR_RESTART_CHILD"))
        GTEST_SKIP() << "runs only as the child of ColorFirebird.RulesSurviveAProcessRestart";
    rule(citField, "RECIPE", "=", "Да"_w, clLigthGreen)->SetFontColor(clNavy);
    rule(citExpr, "", "", "<Цена> > 2000"_w, clError);
    rule(citField, "REG_DATE", ">=", "01.01.2025", clLightOrange);
    grid.Save(false);
}

TEST_F(ColorFirebird, RulesSurviveAProcessRestart)
{
    namespace fs = std::filesystem;
    const fs::path file = dir() / "registry.db";
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command = "LMPACK_COLOR_RESTART_CHILD=1 LMPACK_REGISTRY='" + file.string() + "' '" + self +
                                "' --gtest_filter=ColorFirebird.ChildSavesRules > /dev/null 2>&1";
    // the child makes its own demo database in its own folder; only the settings file is shared
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>(file.string()));
    {
        TColorGrid loaded;
        loaded.SetDataSet(&goods);
        loaded.SetRegPath(kRegPath);
        loaded.Load();
        ASSERT_EQ(loaded.Items().Count(), 3);
        EXPECT_EQ(loaded.Items().GetItem(0)->FontColor(), clNavy);
        EXPECT_EQ(loaded.Items().GetItem(1)->GetAsString(), "<Цена> > 2000"_w);
        grid.Items().Assign(loaded.Items());
    }
    SetDefaultRegistryStore(std::move(previous));
    EXPECT_EQ(painted(clLigthGreen), selected("g.RECIPE"));
    // a Null price or recipe makes those rules false, as the rows' SQL conditions say
    EXPECT_EQ(painted(clError), selected("g.RECIPE is not true and g.PRICE > 2000"));
    EXPECT_EQ(painted(clLightOrange),
              selected("g.RECIPE is not true and coalesce(g.PRICE, 0) <= 2000 and g.REG_DATE >= '2025-01-01'"));
}

TEST_F(ColorFirebird, RulesFromAHandWrittenRegFile)
{
    const std::string file =
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Lumora\\Test\\Goods\\ColorGrid\\10]\r\n"
        "\"Type\"=dword:00000000\r\n\"ID\"=\"QUANTITY\"\r\n\"Operator\"=\"ПУСТО\"\r\n\"Value\"=\"\"\r\n"
        "\"FontColor\"=dword:000000ff\r\n\"BackColor\"=dword:ff000005\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Lumora\\Test\\Goods\\ColorGrid\\2]\r\n"
        "\"Type\"=dword:00000003\r\n\"ID\"=\"\"\r\n\"Operator\"=\"\"\r\n"
        "\"Value\"=\"<Кол> = 0\"\r\n\"FontColor\"=dword:00ff0000\r\n\"BackColor\"=dword:00bfffff\r\n";
    auto previous = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
    ApplyRegFile(ParseRegFile(utf8ToCp1251(file)), *DefaultRegistryStore());
    TColorGrid loaded;
    loaded.SetDataSet(&goods);
    loaded.SetRegPath(std::string(kRegPath) + "\\");
    loaded.Load();
    SetDefaultRegistryStore(std::move(previous));
    ASSERT_EQ(loaded.Items().Count(), 2);
    EXPECT_EQ(loaded.Items().GetItem(0)->Type(), citExpr);  // sub-key 2 before 10
    grid.Items().Assign(loaded.Items());
    EXPECT_EQ(painted(clLightYellow), selected("g.QUANTITY = 0"));
    std::set<int> blue;
    for (goods.First(); !goods.Eof(); goods.Next()) {
        TColor f, b;
        grid.CalcColors(f, b);
        if (f == clBlue)
            blue.insert(goods.FieldByName("ID")->AsInteger());
    }
    EXPECT_EQ(blue, selected("g.QUANTITY = 0"));  // the formula decides the font before the empty rule
}

} // namespace
