// The global settings object, the registry functions' key resolution, beeps, keyboard
// translation and the document manager.
#include <gtest/gtest.h>

#include "app/docmanager.h"
#include "app/globals.h"
#include "app/hooks.h"
#include "app/lmtranslate.h"
#include "filter/ufilter.h"
#include "host/registry.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

#include "../util/messageof.h"

namespace {

using namespace lm;
using lm::test::messageOf;

class GlobalsTest : public ::testing::Test {
protected:
    TMemoryRegistryStore store;
    TGlobalVars vars{nullptr, &store};
    void SetUp() override { vars.RegRoot = "\\Software\\Lumora\\Apteka"; }
};

TEST_F(GlobalsTest, InitialValues)
{
    EXPECT_EQ(glVars, &vars);
    EXPECT_EQ(vars.UserName, "SYSDBA");
    EXPECT_EQ(vars.Password, "vellumrod");
    EXPECT_EQ(vars.RoleName, "ADMROLE");
    EXPECT_EQ(vars.Count, 200);
    EXPECT_FALSE(vars.UseOpenOffice);
    EXPECT_TRUE(vars.Flag1 && vars.Flag2);
    EXPECT_EQ(vars.InsertShortCut, "Ins");
    EXPECT_FALSE(vars.ExeDir.empty());
    EXPECT_EQ(vars.ExeDir.back(), '/');
    TGlobalVars second(nullptr, &store);  // a second object does not take over glVars
    EXPECT_EQ(glVars, &vars);
}

TEST_F(GlobalsTest, KeysResolveAgainstTheRoot)
{
    EXPECT_EQ(LMResolveRegKey(""), "\\Software\\Lumora\\Apteka");
    EXPECT_EQ(LMResolveRegKey("Filters"), "\\Software\\Lumora\\Apteka\\Filters");
    EXPECT_EQ(LMResolveRegKey("\\Filters"), "\\Software\\Lumora\\Apteka\\Filters");
    EXPECT_EQ(LMResolveRegKey("\\Software\\Lumora\\Apteka\\Filters"), "\\Software\\Lumora\\Apteka\\Filters");
    LMWriteRegStr("Name", "Аптека"_w, "Forms");
    EXPECT_EQ(LMReadRegStr("Name", "", "\\Forms"), "Аптека"_w);
    EXPECT_EQ(LMReadRegStr("Name", "", "\\Software\\Lumora\\Apteka\\Forms"), "Аптека"_w);
    EXPECT_TRUE(store.KeyExists("Software\\Lumora\\Apteka\\Forms"));
    EXPECT_FALSE(store.KeyExists("Software\\Lumora\\Apteka\\Software"));  // not prefixed twice
    LMWriteRegInt("Top", 42, "");
    EXPECT_EQ(store.ReadValue("Software\\Lumora\\Apteka", "Top")->Int, 42);
}

TEST(GlobalsStore, ComponentsWriteToTheStoreOfGlVars)
{
    auto previous = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
    TRegistryStore* processDefault = DefaultRegistryStore();
    TMemoryRegistryStore hostStore;
    {
        TGlobalVars vars(nullptr, &hostStore);
        TUFilter filter;
        filter.SetRegKey("\\Software\\Apteka\\Goods");
        filter.SaveFilter(true);
        filter.SaveFilterAs("Дешёвые"_w, "[Цена] < 10"_w);
        EXPECT_EQ(filter.LoadFilter("Дешёвые"_w), "[Цена] < 10"_w);
        ASSERT_TRUE(hostStore.ReadValue("Software\\Apteka\\Goods", "UFilterOn").has_value());
        EXPECT_EQ(hostStore.ReadValue("Software\\Apteka\\Goods\\FilterList", "Дешёвые"_w)->Str, "[Цена] < 10"_w);
        EXPECT_FALSE(processDefault->KeyExists("Software\\Apteka"));
    }
    // once glVars is gone, registry objects are back on the process default
    EXPECT_EQ(TRegistry().Store(), processDefault);
    SetDefaultRegistryStore(std::move(previous));
}

TEST_F(GlobalsTest, ReadsFallBackToDefaults)
{
    EXPECT_EQ(LMReadRegInt("Nothing", 7, "NoSuchKey"), 7);
    EXPECT_EQ(LMReadRegStr("Nothing", "def", ""), "def");
    LMWriteRegStr("Text", "abc", "K");
    EXPECT_EQ(LMReadRegInt("Text", -1, "K"), -1);  // the other type reads as missing
    EXPECT_FALSE(store.KeyExists("Software\\Lumora\\Apteka\\NoSuchKey"));  // reading creates nothing
}

TEST_F(GlobalsTest, Int64KeepsTheLow32BitsSignExtended)
{
    LMWriteRegInt64("Big", (int64_t(1) << 32) + 5, "K");
    EXPECT_EQ(LMReadRegInt64("Big", 0, "K"), 5);
    LMWriteRegInt64("Neg", 0xFFFFFFFFLL, "K");
    EXPECT_EQ(LMReadRegInt64("Neg", 0, "K"), -1);
    EXPECT_EQ(LMReadRegInt64("Missing", int64_t(1) << 40, "K"), int64_t(1) << 40);
}

TEST(GlobalsStore, UnopenableStoreReadsDefaultsAndRefusesWrites)
{
    // the per-user store file where nothing can be created
    setenv("LMPACK_REGISTRY", "/proc/lmpack-none/registry.db", 1);
    auto previous = SetDefaultRegistryStore(nullptr);
    {
        TGlobalVars vars(nullptr, nullptr);
        vars.RegRoot = "\\Software\\Lumora";
        EXPECT_EQ(LMReadRegInt("Top", 17, "Forms"), 17);
        EXPECT_EQ(LMReadRegStr("Name", "def", ""), "def");
        EXPECT_THROW(LMWriteRegInt("Top", 1, "Forms"), EInOutError);
    }
    unsetenv("LMPACK_REGISTRY");
    SetDefaultRegistryStore(std::move(previous));
}

TEST_F(GlobalsTest, BeepsGoThroughTheHookOnlyWhenEnabled)
{
    std::vector<std::pair<int, int>> beeps;
    SetBeepHook([&](int f, int d) { beeps.emplace_back(f, d); });
    vars.BeepOkFreq = 0;
    vars.BeepOkDuration = 100;
    LMBeep(true);  // frequency 0: silent
    vars.BeepOkFreq = 800;
    LMBeep(true);
    vars.BeepWarnFreq = 300;
    vars.BeepWarnDuration = 50;
    std::string shown;
    int flags = 0;
    SetMessageBoxHook([&](const std::string& text, const std::string&, int f) { shown = text; flags = f; return IDNO; });
    EXPECT_EQ(WarningBeep("Удалить?"_w, MB_YESNO), IDNO);
    SetBeepHook(nullptr);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(beeps, (std::vector<std::pair<int, int>>{{800, 100}, {300, 50}}));
    EXPECT_EQ(shown, "Удалить?"_w);
    EXPECT_EQ(flags, MB_YESNO | MB_ICONWARNING);
}

TEST(Translate, KazakhKeysGivePrivateCodePoints)
{
    SetTranslateLocale("KZ");
    EXPECT_EQ(static_cast<unsigned char>(Translate(50, 0, '?')), 186);
    EXPECT_EQ(static_cast<unsigned char>(Translate(50, ssShift, '?')), 170);
    EXPECT_EQ(static_cast<unsigned char>(Translate(189, 0, '?')), 181);
    EXPECT_EQ(static_cast<unsigned char>(Translate(187, ssShift, '?')), 142);
    EXPECT_EQ(Translate(65, 0, '?'), '\0');        // a key without a Kazakh letter
    EXPECT_EQ(Translate(191, ssShift, '?'), '?');  // the "?" key itself
    EXPECT_EQ(Translate(55, ssShift, '?'), '?');   // Shift+7 of the Russian layout
    EXPECT_EQ(Translate(50, 0, '2'), '2');
    SetTranslateLocale("RU");
    EXPECT_EQ(Translate(50, 0, '?'), '?');
    SetTranslateLocale("");
}

TEST(Translate, WithoutALocaleKeysPassUnchanged)
{
    SetTranslateLocale("");
    ASSERT_EQ(glVars, nullptr);
    EXPECT_EQ(Translate(50, 0, '?'), '?');  // no glVars: nothing to read the locale from
    TGlobalVars vars;
    EXPECT_EQ(Translate(50, ssShift, '?'), '?');  // glVars without a database
    EXPECT_EQ(Translate(50, 0, 'a'), 'a');
}

TEST(Translate, ReTranslateMapsPrivateCodePointsOnlyForKazakh)
{
    const std::string text = std::string("\xAA\xF1\xEB\xEC ") + "\x8D\x9D" + " 12";  // Ә с л м  Қ қ
    EXPECT_EQ(ReTranslate(Variant(text), "KZ"), u"\u04D8\u0441\u043B\u043C \u049A\u049B 12");
    EXPECT_EQ(ReTranslateUtf8(Variant(text), "KZ"), "Әслм Ққ 12");
    // other locales convert plainly rather than losing the text
    EXPECT_EQ(ReTranslate(Variant("Мир"_w), "RU"), u"\u041C\u0438\u0440");
    EXPECT_EQ(ReTranslate(Variant(text), "RU")[0], u'\u0404');  // 0xAA is Є in Windows-1251
    EXPECT_EQ(ReTranslate(Variant::Null(), "KZ"), u"");
}

// --- document manager ---------------------------------------------------------------------

class InvoiceModule : public TDocModule {
public:
    using TDocModule::TDocModule;
    std::vector<std::string>* log = nullptr;
    int EditDoc(Currency id, int mode) override { return static_cast<int>(id.Raw() / Currency::Scale) + mode; }
    void UpdateDocList(int type, Currency, TUpdateKind, TDataSet*) override { log->push_back("module " + std::to_string(type)); }
};

class ListScreen : public TComponent, public IDocListsener {
public:
    using TComponent::TComponent;
    std::vector<std::string>* log = nullptr;
    std::string tag;
    void UpdateDocList(int type, Currency, TUpdateKind kind, TDataSet*) override
    {
        log->push_back(tag + " " + std::to_string(type) + " " + std::to_string(kind));
    }
};

TEST(DocManager, RoutesByTypeAndBroadcastsChanges)
{
    std::vector<std::string> log;
    std::string shown;
    SetMessageBoxHook([&](const std::string& text, const std::string&, int) { shown = text; return IDOK; });
    InvoiceModule invoices;
    invoices.SetDocType(101);
    invoices.log = &log;
    RegistryDocModule(&invoices);
    ASSERT_NE(DocManager(), nullptr);
    EXPECT_EQ(DocManager()->EditDoc(101, Currency::FromInt(40), 2), 42);

    // the duplicate is reported and the first module stays
    InvoiceModule duplicate;
    duplicate.SetDocType(101);
    RegistryDocModule(&duplicate);
    EXPECT_EQ(shown, "RegistryDocModule: Попытка повторной  регистрации DocType=101"_w);
    EXPECT_EQ(DocManager()->FindDocModule(101), &invoices);

    // unregistered type and unimplemented operation
    EXPECT_EQ(messageOf([&] { DocManager()->ShowDocList(7); }),
              "TDocManager.GetDocModule: Тип документа 7 не зарегистрирован!"_w);
    EXPECT_EQ(messageOf([&] { DocManager()->ShowDocList(101); }),
              "TDocModule: Метод ShowDocList не реализован в классе InvoiceModule (DocType=101)"_w);

    // listeners hear changes after the modules; a destroyed one no longer does
    auto first = std::make_unique<ListScreen>();
    first->log = &log;
    first->tag = "first";
    ListScreen second;
    second.log = &log;
    second.tag = "second";
    DocManager()->AddListener(first.get());
    DocManager()->AddListener(&second);
    TComponent plain;
    EXPECT_EQ(messageOf([&] { DocManager()->AddListener(&plain); }),
              "TDocManager.AddListener: Component TComponent is not implement IDocListsener");
    DocManager()->UpdateDocList(101, Currency::FromInt(1), ukInsert, nullptr);
    first.reset();
    DocManager()->UpdateDocList(101, Currency::FromInt(1), ukDelete, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"module 101", "first 101 1", "second 101 1", "module 101", "second 101 2"}));
    EXPECT_EQ(DocManager()->ListenerCount(), 1);
    SetMessageBoxHook(nullptr);
}

namespace stock {
struct TGoods {};
template <typename T>
class TListModule : public TDocModule {
public:
    using TDocModule::TDocModule;
};
} // namespace stock

TEST(DocManager, NullModulesAreRefusedAndTemplateClassesNamedWhole)
{
    std::string shown;
    SetMessageBoxHook([&](const std::string& text, const std::string&, int) { shown = text; return IDOK; });
    RegistryDocModule(nullptr);
    EXPECT_EQ(shown, "RegistryDocModule: Не указан модуль документа"_w);
    SetMessageBoxHook(nullptr);

    stock::TListModule<stock::TGoods> goods;
    goods.SetDocType(7);
    EXPECT_EQ(messageOf([&] { goods.ShowDocList(); }),
              "TDocModule: Метод ShowDocList не реализован в классе TListModule<TGoods> (DocType=7)"_w);
}

TEST(DocManager, DestroyedModuleIsUnregistered)
{
    {
        InvoiceModule temp;
        temp.SetDocType(555);
        RegistryDocModule(&temp);
        EXPECT_EQ(DocManager()->FindDocModule(555), &temp);
    }
    EXPECT_EQ(DocManager()->FindDocModule(555), nullptr);
}

} // namespace
