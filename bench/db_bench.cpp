// Fetching 200,000 demo goods into a TpFIBDataSet against a plain libfbclient fetch loop of the
// same query, in the same run; prints the ratio (goal: the dataset within 1.3x of the loop).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "db/demodb.h"
#include "db/fibdataset.h"
#include "db/fibdatabase.h"
#include "db/fibtransaction.h"
#include "plainfirebird.h"

namespace {

constexpr int kRows = 200000;
const char* const kQuery = "select * from goods";

std::string& dbFile()
{
    static std::string file;
    return file;
}

// The anchor: the OO API's own loop, fetching each row into the message buffer.
void BM_PlainFetch(benchmark::State& state)
{
    lmbench::PlainFirebird fb(dbFile(), kQuery);
    int64_t rows = 0;
    for (auto _ : state) {
        rows += fb.Fetch();
        benchmark::DoNotOptimize(fb.row.data());
    }
    state.counters["rows"] = static_cast<double>(rows) / state.iterations();
}

// Ours: Open fetches every row into the dataset's record store; Close drops them.
void BM_DataSetFetch(benchmark::State& state)
{
    lm::TFIBDatabase db;
    db.SetDatabaseName(dbFile());
    db.Open();
    lm::TFIBTransaction tr;
    tr.SetDefaultDatabase(&db);
    lm::TpFIBDataSet ds;
    ds.SetTransaction(&tr);
    ds.SetSelectSQL(kQuery);
    ds.Prepare();
    int64_t rows = 0;
    for (auto _ : state) {
        ds.Open();
        rows += ds.RecordCount();
        ds.Close();
    }
    state.counters["rows"] = static_cast<double>(rows) / state.iterations();
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_DataSetFetch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
                cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times, cpu;
};

} // namespace

int main(int argc, char** argv)
{
    const auto dir = std::filesystem::temp_directory_path() / ("lmpack-dbbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    dbFile() = (dir / "demo.fdb").string();
    std::printf("creating the demo database with %d goods...\n", kRows);
    lm::CreateDemoDatabase(dbFile(), kRows);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double plain = reporter.times["BM_PlainFetch"], ours = reporter.times["BM_DataSetFetch"];
    if (plain > 0 && ours > 0)
        std::printf("TpFIBDataSet fetch / plain fetch loop: %.2fx wall, %.2fx CPU (goal <= 1.3x)\n", ours / plain,
                    reporter.cpu["BM_DataSetFetch"] / reporter.cpu["BM_PlainFetch"]);
    std::filesystem::remove_all(dir);
    benchmark::Shutdown();
    return 0;
}
