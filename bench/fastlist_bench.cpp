// TFastList.Sort against std::sort of a std::vector<std::string>: 1,000,000 random strings.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ratio.h"
#include "util/fastlist.h"

namespace {

constexpr int kStrings = 1'000'000;

// Names of 4 to 24 bytes drawn from Latin and Windows-1251 Cyrillic letters and digits.
const std::vector<std::string>& strings()
{
    static const std::vector<std::string> v = [] {
        std::mt19937 rng(11);
        const std::string alphabet = "abcdefghijklmnopqrstuvwxyz0123456789 "
                                     "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8";
        std::vector<std::string> out(kStrings);
        for (std::string& s : out) {
            s.resize(4 + rng() % 21);
            for (char& c : s)
                c = alphabet[rng() % alphabet.size()];
        }
        return out;
    }();
    return v;
}

void FastList_Sort(benchmark::State& state)
{
    lm::TFastList source;
    source.SetCapacity(kStrings);
    for (const std::string& s : strings())
        source.Add(s);
    for (auto _ : state) {
        state.PauseTiming();
        lm::TFastList list;
        list.Assign(source);
        state.ResumeTiming();
        list.Sort();
        benchmark::DoNotOptimize(list.Get(0).data());
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kStrings);
}

void StdSort_Vector(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> v = strings();
        state.ResumeTiming();
        std::sort(v.begin(), v.end());
        benchmark::DoNotOptimize(v.front().data());
        state.PauseTiming();
        v.clear();
        v.shrink_to_fit();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kStrings);
}

BENCHMARK(FastList_Sort)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(StdSort_Vector)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv, {{"sort 1M strings", "FastList_Sort", "StdSort_Vector"}});
}
