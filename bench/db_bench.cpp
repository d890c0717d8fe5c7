// Fetching 200,000 demo goods into a TpFIBDataSet against a plain libfbclient fetch loop of the
// same query, in the same run; prints the ratio (goal: the dataset within 1.3x of the loop).
#include <benchmark/benchmark.h>

#include <firebird/Interface.h>
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
    using namespace Firebird;
    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper st(master->getStatus());
    IUtil* util = master->getUtilInterface();
    IXpbBuilder* dpb = util->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1251");
    dpb->insertString(&st, isc_dpb_config, "Providers=Engine12");
    IProvider* prov = master->getDispatcher();
    IAttachment* att = prov->attachDatabase(&st, dbFile().c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    ITransaction* tra = att->startTransaction(&st, 0, nullptr);
    IStatement* stmt = att->prepare(&st, tra, 0, kQuery, 3, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(&st);
    std::vector<unsigned char> row(meta->getMessageLength(&st));
    int64_t rows = 0;
    for (auto _ : state) {
        IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
        while (rs->fetchNext(&st, row.data()) == IStatus::RESULT_OK)
            ++rows;
        rs->close(&st);
        benchmark::DoNotOptimize(row.data());
    }
    state.counters["rows"] = static_cast<double>(rows) / state.iterations();
    meta->release();
    stmt->free(&st);
    tra->commit(&st);
    att->detach(&st);
    prov->release();
    dpb->dispose();
    st.dispose();
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
