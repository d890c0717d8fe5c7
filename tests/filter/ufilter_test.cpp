// The TUFilter component: entries from a dataset, applying through the host's events, the
// settings of the current filter and the named filters (in-memory settings store).
#include <gtest/gtest.h>

#include "filter/fieldentry.h"
#include "filterfixture.h"
#include "host/field.h"
#include "host/registry.h"
#include "util/exceptions.h"

using namespace lm;
using lmtest::GoodsFixture;

namespace {

class Component : public ::testing::Test, public GoodsFixture {
protected:
    void SetUp() override
    {
        previousStore = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
        filter.SetRegKey("\\Software\\Test\\Goods");
        filter.OnApply = [this](TUFilter*, bool state) {
            applied.push_back(state ? cp1251ToUtf8(filter.FilterSQL()) : "off");
            if (!applyError.empty())
                throw Exception(applyError);
        };
        filter.OnChange = [this](TUFilter*) { ++changes; };
    }
    void TearDown() override { SetDefaultRegistryStore(std::move(previousStore)); }

    std::string stored(const std::string& key, const std::string& name)
    {
        TRegistry reg;
        if (!reg.OpenKey(key, false) || !reg.ValueExists(name))
            return "<none>";
        return cp1251ToUtf8(reg.ReadString(name));
    }

    std::unique_ptr<TRegistryStore> previousStore;
    std::vector<std::string> applied;
    std::string applyError;
    int changes = 0;
};

TEST_F(Component, PrepareMakesOneEntryPerUsableField)
{
    TMemDataSet ds;
    auto add = [&](const char* name, const std::string& label, bool visible) {
        auto* f = new TIntegerField(&ds);
        f->SetFieldName(name);
        f->SetDisplayLabel(label);
        f->SetVisible(visible);
        f->SetDataSet(&ds);
    };
    add("A", "Сумма"_w, true);
    add("B", "Сумма"_w, true);
    add("C", "сумма"_w, true);
    add("Unvisible_D", "D", true);
    add("E", "E", false);
    add("F", "F", true);
    ds.CreateDataSet();

    TUFilter f;
    std::vector<std::string> asked;
    f.OnAddFieldEntry = [&](TUFilter*, const std::string& name, bool& doAdd) {
        asked.push_back(name);
        doAdd = name != "F";
    };
    int prepared = 0;
    f.OnPrepare = [&](TUFilter* sender) {
        ++prepared;
        sender->Entries()->AddEntry(std::make_unique<TExtFieldEntry>(ds.FieldByName("E"), "X.E"), true);
    };
    f.SetDataSet(&ds);
    f.Prepare();

    EXPECT_EQ(asked, (std::vector<std::string>{"A", "B", "C", "F", "E"}));
    EXPECT_EQ(prepared, 1);
    ASSERT_EQ(f.Entries()->Count(), 4);
    EXPECT_EQ(f.Entries()->Strings(0), "Сумма"_w);
    EXPECT_EQ(f.Entries()->Strings(1), "Сумма*"_w);
    EXPECT_EQ(f.Entries()->Strings(2), "сумма**"_w);
    EXPECT_EQ(f.Entries()->GetEntry(0)->GetCategory(), "");
    // The host's own entry goes on the default page; the invisible field is SQL-only there.
    EXPECT_EQ(f.Entries()->Strings(3), "E");
    EXPECT_EQ(f.Entries()->GetEntry(3)->GetCategory(), "Дополнительно"_w);
    EXPECT_EQ(f.Entries()->GetEntry(3)->Kinds, TFilterKinds{fkSQL});
    EXPECT_EQ(f.Entries()->GetEntry(3)->FilterOwner, &f);
}

TEST_F(Component, ApplyFilterCallsTheHostOnlyForANewState)
{
    ASSERT_TRUE(filter.Compile("[Код] = 1"_w));
    EXPECT_TRUE(filter.Changed());
    EXPECT_TRUE(filter.ApplyFilter(true));
    EXPECT_TRUE(filter.ApplyFilter(true));  // same state, nothing changed: no call
    EXPECT_EQ(applied, (std::vector<std::string>{"CODE=1"}));
    EXPECT_TRUE(filter.Active());
    EXPECT_FALSE(filter.Changed());
    filter.SetActive(false);
    filter.SetActive(false);
    EXPECT_EQ(applied, (std::vector<std::string>{"CODE=1", "off"}));
    EXPECT_EQ(changes, 3);  // every ApplyFilter call reports, SetActive's no-op does not
}

TEST_F(Component, FailingHostDropsTheFilterAndSetSourceReportsIt)
{
    applyError = "нет связи"_w;
    try {
        filter.SetSource("[Код] = 1"_w);
        FAIL() << "SetSource succeeded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Ошибка составления фильтра\rнет связи"_w);
    }
    EXPECT_FALSE(filter.Active());
    EXPECT_EQ(filter.FilterSQL(), "");
    EXPECT_EQ(filter.ErrorText(), "\rнет связи"_w);

    applyError.clear();
    try {
        filter.SetSource("[Код] = "_w);
        FAIL() << "SetSource succeeded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Ошибка составления фильтра"_w);
    }
}

TEST_F(Component, EmptySourceSwitchesTheFilterOff)
{
    filter.SetSource("[Код] = 1"_w);
    filter.SetSource("  ");
    EXPECT_EQ(applied, (std::vector<std::string>{"CODE=1", "off"}));
    EXPECT_FALSE(filter.Active());
}

TEST_F(Component, ResetDropsEverythingWithoutCallingTheHost)
{
    filter.SetSource("[Код] = 1"_w);
    changes = 0;
    filter.Reset();
    EXPECT_EQ(applied.size(), 1u);
    EXPECT_EQ(filter.Entries()->Count(), 0);
    EXPECT_FALSE(filter.Active());
    EXPECT_EQ(filter.FilterSQL(), "");
    EXPECT_EQ(changes, 1);
}

TEST_F(Component, SaveFilterWritesOnlyAnAppliedStatement)
{
    setOptions({ufoIgnoreCase, ufoSwitchOnShow});
    filter.SetSource("[Код] = 1"_w);
    filter.SaveFilter();
    const std::string key = "\\Software\\Test\\Goods";
    EXPECT_EQ(stored(key, "UFilter"), "[Код] = 1");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, false));
    EXPECT_TRUE(reg.ReadBool("UFilterOn"));
    EXPECT_FALSE(reg.ReadBool("UFilterPreferSQL"));
    EXPECT_TRUE(reg.ReadBool("UFilterIgnoreCase"));
    EXPECT_TRUE(reg.ReadBool("UFilterOnShow"));

    // Compiled but not yet handed to the host: the stored text goes.
    ASSERT_TRUE(filter.Compile("[Код] = 2"_w));
    filter.SaveFilter(true);
    EXPECT_EQ(stored(key, "UFilter"), "[Код] = 1");
    filter.SaveFilter();
    EXPECT_EQ(stored(key, "UFilter"), "<none>");
}

TEST_F(Component, ReadFilterAppliesOnlyWithSwitchOnShow)
{
    setOptions({ufoSwitchOnShow});
    filter.SetSource("[Код] = 1"_w);
    filter.SaveFilter();

    GoodsFixture other;
    other.filter.SetRegKey("\\Software\\Test\\Goods");
    std::vector<bool> states;
    other.filter.OnApply = [&](TUFilter*, bool state) { states.push_back(state); };
    other.filter.ReadFilter();
    EXPECT_EQ(states, std::vector<bool>{true});
    EXPECT_EQ(other.filter.FilterSQL(), "CODE=1");

    // The same stored state with the option switched off: compiled, not applied.
    filter.SetOptions({});
    filter.SaveFilter();
    GoodsFixture third;
    third.filter.SetRegKey("\\Software\\Test\\Goods");
    third.filter.SetOptions({ufoSwitchOnShow});
    states.clear();
    third.filter.OnApply = [&](TUFilter*, bool state) { states.push_back(state); };
    third.filter.ReadFilter();
    EXPECT_FALSE(third.filter.Options().Contains(ufoSwitchOnShow));
    EXPECT_EQ(states, std::vector<bool>{false});  // told to remove, never to apply
    EXPECT_EQ(third.filter.FilterSQL(), "CODE=1");
    EXPECT_FALSE(third.filter.Active());
}

TEST_F(Component, NamedFilters)
{
    std::vector<std::vector<std::string>> lists;
    filter.OnChangeFilterList = [&](TUFilter* f) { lists.push_back(f->FilterList()); };
    filter.SaveFilterAs("цена"_w, "  [Цена] > 1  "_w);
    filter.SaveFilterAs("Код"_w, "[Код] = 1"_w);
    filter.SaveFilterAs("", "[Код] = 2"_w);
    EXPECT_EQ(filter.FilterList(), (std::vector<std::string>{"Код"_w, "цена"_w}));
    EXPECT_EQ(lists.size(), 2u);
    EXPECT_EQ(filter.LoadFilter("цена"_w), "[Цена] > 1"_w);
    EXPECT_EQ(filter.LoadFilter("нет"_w), "");

    filter.SaveFilterAs("цена"_w, "   ");
    EXPECT_EQ(filter.FilterList(), (std::vector<std::string>{"Код"_w}));
    EXPECT_EQ(filter.LoadFilter("цена"_w), "");

    // The reserved name in any case and with blanks around it: the load trims, so must the check.
    for (const std::string name : {"по умолчанию"_w, "ПО УМОЛЧАНИЮ "_w, "  По умолчанию"_w, "\tпо умолчанию\t"_w}) {
        try {
            filter.SaveFilterAs(name, "[Код] = 1"_w);
            FAIL() << "reserved name accepted: " << cp1251ToUtf8(name);
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), Format("Указанное имя фильтра \"%s\" зарезервировано"_w, {name}));
        }
    }
    EXPECT_EQ(filter.FilterList(), (std::vector<std::string>{"Код"_w}));
}

TEST_F(Component, UnknownFilterNameIsRefusedAndTheFilterKept)
{
    filter.SaveFilterAs("Код"_w, "[Код] = 1"_w);
    filter.SetFilterByName("Код"_w);
    const std::vector<std::string> before = applied;
    try {
        filter.SetFilterByName("Нет такого"_w);
        FAIL() << "unknown name accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Фильтр \"Нет такого\" не найден"_w);
    }
    EXPECT_EQ(applied, before);
    EXPECT_TRUE(filter.Active());
    EXPECT_EQ(filter.FilterSQL(), "CODE=1");
    EXPECT_EQ(filter.FilterName(), "Код"_w);
    // The default filter is always known, even when empty: it switches the filter off.
    filter.SetFilterByName("  По умолчанию"_w);
    EXPECT_FALSE(filter.Active());
}

TEST_F(Component, ReadFilterOfATextThatNoLongerCompilesLeavesNoFilter)
{
    // Stored while the dataset had a field it no longer has.
    setOptions({ufoSwitchOnShow});
    filter.SetSource("[Код] = 1"_w);
    filter.SaveFilter();
    {
        TRegistry reg;
        reg.OpenKey("\\Software\\Test\\Goods", false);
        reg.WriteString("UFilter", "[Удалённое поле] = 1"_w);
    }
    ASSERT_TRUE(filter.Active());
    filter.ReadFilter();
    EXPECT_EQ(filter.FilterSQL(), "");
    EXPECT_EQ(filter.FilterSource(), "");
    EXPECT_FALSE(filter.Active());
    EXPECT_EQ(applied.back(), "off");
}

TEST_F(Component, TheDefaultFilterIsTheCurrentOne)
{
    std::vector<std::string> list = {"old"};
    filter.ReadFilterList(true, list);
    EXPECT_EQ(list, std::vector<std::string>{"old"});  // nothing saved: the list stays

    filter.SaveFilterAs("Код"_w, "[Код] = 1"_w);
    filter.ReadFilterList(true, list);
    EXPECT_EQ(list, (std::vector<std::string>{"Код"_w}));

    filter.SetSource("[Кол] > 2"_w);
    filter.SaveFilter();
    filter.ReadFilterList(true, list);
    EXPECT_EQ(list, (std::vector<std::string>{"Код"_w, "  По умолчанию"_w}));
    EXPECT_EQ(filter.LoadFilter("  По умолчанию"_w), "[Кол] > 2"_w);
    EXPECT_EQ(filter.LoadFilter("ПО УМОЛЧАНИЮ"_w), "[Кол] > 2"_w);
}

TEST_F(Component, FilterNameSurvivesOnlyWhileTheTextIsTheSavedOne)
{
    filter.SaveFilterAs("Код"_w, "[Код] = 1"_w);
    filter.SetFilterByName("Код"_w);
    EXPECT_EQ(filter.FilterName(), "Код"_w);
    EXPECT_EQ(applied.back(), "CODE=1");
    filter.SetSource("[Код] = 1"_w);
    EXPECT_EQ(filter.FilterName(), "Код"_w);
    filter.SetSource("[Код] = 2"_w);
    EXPECT_EQ(filter.FilterName(), "");
}

} // namespace
