// Saved filters outlive the process that saved them: a child process writes them into an SQLite
// settings file, this process reads them back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "filterfixture.h"
#include "host/registry.h"
#include "host/sqliteregistrystore.h"

using namespace lm;

namespace {

const char* const kKey = "\\Software\\Test\\Restart";

// The writing side; runs only inside the child started below (LMPACK_REGISTRY names its file).
TEST(SavedFiltersChild, WritesTheFilters)
{
    if (!std::getenv("LMPACK_FILTER_RESTART_CHILD"))
        GTEST_SKIP() << "runs only as the child of SavedFilters.SurviveAProcessRestart";
    lmtest::GoodsFixture f;
    f.filter.SetRegKey(kKey);
    f.filter.SetOptions({ufoSwitchOnShow, ufoIgnoreCase});
    f.filter.SetSource("[Наименование] = 'аспирин*'"_w);
    f.filter.SaveFilter();
    f.filter.SaveFilterAs("Дешёвые"_w, "[Цена] < 10"_w);
}

TEST(SavedFilters, SurviveAProcessRestart)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("h8restart_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "registry.db";
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command = "LMPACK_FILTER_RESTART_CHILD=1 LMPACK_REGISTRY='" + file.string() + "' '" + self +
                                "' --gtest_filter=SavedFiltersChild.WritesTheFilters > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(fs::exists(file));

    auto previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>(file.string()));
    {
        lmtest::GoodsFixture f;
        f.filter.SetRegKey(kKey);
        bool appliedOn = false;
        f.filter.OnApply = [&](TUFilter*, bool state) { appliedOn = state; };
        f.filter.ReadFilter();
        EXPECT_TRUE(appliedOn);
        EXPECT_TRUE(f.filter.Options().Contains(ufoIgnoreCase));
        EXPECT_EQ(cp1251ToUtf8(f.filter.FilterSQL()), "UPPER(NAME) LIKE 'АСПИРИН%'");
        EXPECT_EQ(f.filter.FilterList(), std::vector<std::string>{"Дешёвые"_w});
        EXPECT_EQ(f.filter.LoadFilter("Дешёвые"_w), "[Цена] < 10"_w);
    }
    SetDefaultRegistryStore(std::move(previous));
    fs::remove_all(dir);
}

} // namespace
