// The dataset's local filter UPPER(NAME) LIKE '%...%' over 1,000,000 in-memory records (goal:
// within 1.5x of the anchor), beside the anchor: a hand-written loop that upper-cases each
// name with the Windows-1251 table and searches the fragment.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/filterexpr.h"
#include "namesdataset.h"
#include "ratio.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

constexpr int kRecords = 1000000;

// Drug-like names from Russian syllables, 2 to 5 syllables and a dosage, mixed letter case.
std::vector<std::string> makeNames()
{
    const char* syllables[] = {"ас", "пи", "рин", "ана", "ль", "гин", "пара", "цета", "мол", "ибу",
                               "про", "фен", "но", "шпа", "кар", "дио", "вит", "амин", "ко", "дин",
                               "нур", "офен", "цит", "ра", "мон", "лор", "ата", "дин", "ме", "зим"};
    std::vector<std::string> parts;
    for (const char* s : syllables)
        parts.push_back(utf8ToCp1251(s));
    std::mt19937 rng(2026);
    std::vector<std::string> names;
    names.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        std::string name;
        const int n = 2 + static_cast<int>(rng() % 4);
        for (int k = 0; k < n; ++k)
            name += parts[rng() % parts.size()];
        if (rng() % 2)
            name[0] = static_cast<char>(upCase(static_cast<unsigned char>(name[0])));
        name += ' ';
        name += std::to_string(50 * (1 + rng() % 20));
        name += "\xEC\xE3 \xF2\xE0\xE1. N";  // "мг таб. N"
        name += std::to_string(10 + rng() % 20);
        names.push_back(std::move(name));
    }
    return names;
}

const std::vector<std::string>& names()
{
    static const std::vector<std::string> n = makeNames();
    return n;
}

TMemDataSet& dataSet()
{
    static const std::unique_ptr<TMemDataSet> ds = lmbench::NamesDataSet(names());
    return *ds;
}

const std::string kFragment = "\xCA\xC0\xD0\xC4\xC8\xCE";  // "КАРДИО"
const std::string kFilter = "UPPER(NAME) LIKE '%" + kFragment + "%'";

void BM_HandLoop(benchmark::State& state)
{
    const auto& list = names();
    const std::vector<std::string> fragments = {kFragment};
    for (auto _ : state)
        benchmark::DoNotOptimize(lmbench::CountUpperContaining(list, fragments));
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// Switching the dataset's filter on: compile, one pass over every record, the new view.
void BM_DataSetFiltered(benchmark::State& state)
{
    TMemDataSet& ds = dataSet();
    ds.SetFilter(kFilter);
    int count = 0;
    for (auto _ : state) {
        ds.SetFiltered(true);
        count = ds.RecordCount();
        state.PauseTiming();
        ds.SetFiltered(false);
        state.ResumeTiming();
    }
    state.counters["matches"] = count;
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// The compiled expression alone over every record.
void BM_FilterExprPass(benchmark::State& state)
{
    TMemDataSet& ds = dataSet();
    TFilterExpr expr(kFilter, ds);
    const auto size = ds.Store().Size();
    for (auto _ : state) {
        int found = 0;
        for (TRecordStore::RecId rec = 0; rec < size; ++rec)
            found += expr.Matches(rec);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

} // namespace

BENCHMARK(BM_HandLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataSetFiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterExprPass)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv,
                                  {{"Filtered on, 1M records", "BM_DataSetFiltered", "BM_HandLoop"},
                                   {"expression pass, 1M records", "BM_FilterExprPass", "BM_HandLoop"}});
}
