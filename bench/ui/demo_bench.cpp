// Start-up of the demo's goods screen on a 200,000-goods database - connect, open the goods,
// build the window and paint it - against a plain libfbclient loop that attaches and fetches
// just the first screen of rows of the same query, in the same run. Prints the ratio (goal:
// within 3x, which the screen meets only if it does not wait for every row).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QFont>
#include <QImage>

#include "app/globals.h"
#include "db/demodb.h"
#include "democonnection.h"
#include "demosettings.h"
#include "host/registrystore.h"
#include "mainwindow.h"
#include "../plainfirebird.h"
#include "../ratio.h"

namespace {

constexpr int kRows = 200000;
constexpr int kScreenRows = 40;

std::string& dbFile()
{
    static std::string file;
    return file;
}

// The goods select of the screen, as it runs with no filter.
std::string goodsQuery()
{
    lm::TDemoConnection connection;
    connection.Open(dbFile(), 0);
    lm::TGoodsData data(connection);
    return data.SelectSQL();
}

// The anchor: attach, prepare the screen's query and fetch one screen of rows.
double plainFirstScreen(const std::string& query)
{
    const double start = lmbench::ThreadCpuMs();
    {
        lmbench::PlainFirebird fb(dbFile(), query);
        benchmark::DoNotOptimize(fb.Fetch(kScreenRows));
        benchmark::DoNotOptimize(fb.row.data());
    }
    return lmbench::ThreadCpuMs() - start;
}

// Ours: connect, build the goods window (which opens the goods) and paint it once.
double demoStartup()
{
    const double start = lmbench::ThreadCpuMs();
    lm::TDemoConnection connection;
    connection.Open(dbFile(), 0);
    lm::TfrmGoods window(connection);
    window.resize(1280, 720);
    QImage image(window.size(), QImage::Format_ARGB32);
    window.render(&image);
    benchmark::DoNotOptimize(image.bits());
    return lmbench::ThreadCpuMs() - start;
}

void BM_StartupVsFirstScreen(benchmark::State& state)
{
    const std::string query = goodsQuery();
    lmbench::RunPaired(state, demoStartup, [&] { return plainFirstScreen(query); });
}

BENCHMARK(BM_StartupVsFirstScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setFont(QFont("DejaVu Sans", 9));
    lm::TMemoryRegistryStore store;
    lm::TGlobalVars globals(nullptr, &store);
    lm::glVars->RegRoot = lm::kDemoRegRoot;
    const auto dir = std::filesystem::temp_directory_path() / ("lmpack-demobench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    dbFile() = (dir / "demo.fdb").string();
    std::printf("creating the demo database with %d goods...\n", kRows);
    lm::CreateDemoDatabase(dbFile(), kRows);

    benchmark::Initialize(&argc, argv);
    lmbench::RatioReporter reporter({});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("(a ratio of 0.33x or more means the start-up is within 3x of fetching the first screen)\n");
    std::filesystem::remove_all(dir);
    benchmark::Shutdown();
    return 0;
}
