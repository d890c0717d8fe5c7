// TRBTree against std::set<int64_t>: inserting and finding 1,000,000 random currency values.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "ratio.h"
#include "util/rbtree.h"

namespace {

constexpr int kValues = 1'000'000;
constexpr int kBlockSize = 65536;

// Amounts of up to a hundred million roubles with kopecks, as raw four-decimal values.
const std::vector<int64_t>& values()
{
    static const std::vector<int64_t> v = [] {
        std::mt19937_64 rng(42);
        std::uniform_int_distribution<int64_t> amount(-10'000'000'000, 10'000'000'000);
        std::vector<int64_t> out(kValues);
        for (int64_t& x : out)
            x = amount(rng) * 100;
        return out;
    }();
    return v;
}

// The same values in another order for lookups, every other one moved off by 1/10000 so that
// half of the lookups miss.
const std::vector<int64_t>& probes()
{
    static const std::vector<int64_t> v = [] {
        std::vector<int64_t> out = values();
        std::shuffle(out.begin(), out.end(), std::mt19937_64(7));
        for (size_t i = 0; i < out.size(); i += 2)
            ++out[i];
        return out;
    }();
    return v;
}

void RBTree_Insert(benchmark::State& state)
{
    for (auto _ : state) {
        auto tree = std::make_unique<lm::TRBTree>(kBlockSize);
        for (int64_t x : values())
            tree->InsertNode(lm::Currency::FromRaw(x));
        benchmark::DoNotOptimize(tree->Count());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void StdSet_Insert(benchmark::State& state)
{
    for (auto _ : state) {
        auto set = std::make_unique<std::set<int64_t>>();
        for (int64_t x : values())
            set->insert(x);
        benchmark::DoNotOptimize(set->size());
        state.PauseTiming();
        set.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

// Building the same tree again and again: Clear keeps the blocks, the set frees its nodes.
void RBTree_ClearAndRebuild(benchmark::State& state)
{
    lm::TRBTree tree(kBlockSize);
    for (auto _ : state) {
        tree.Clear();
        for (int64_t x : values())
            tree.InsertNode(lm::Currency::FromRaw(x));
        benchmark::DoNotOptimize(tree.Count());
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void StdSet_ClearAndRebuild(benchmark::State& state)
{
    std::set<int64_t> set;
    for (auto _ : state) {
        set.clear();
        for (int64_t x : values())
            set.insert(x);
        benchmark::DoNotOptimize(set.size());
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void RBTree_Find(benchmark::State& state)
{
    lm::TRBTree tree(kBlockSize);
    for (int64_t x : values())
        tree.InsertNode(lm::Currency::FromRaw(x));
    for (auto _ : state) {
        int found = 0;
        for (int64_t x : probes())
            found += tree.Find(lm::Currency::FromRaw(x));
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void StdSet_Find(benchmark::State& state)
{
    std::set<int64_t> set(values().begin(), values().end());
    for (auto _ : state) {
        int found = 0;
        for (int64_t x : probes())
            found += set.count(x) != 0;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

#define LM_BENCH(f) BENCHMARK(f)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
LM_BENCH(RBTree_Insert);
LM_BENCH(StdSet_Insert);
LM_BENCH(RBTree_ClearAndRebuild);
LM_BENCH(StdSet_ClearAndRebuild);
LM_BENCH(RBTree_Find);
LM_BENCH(StdSet_Find);

} // namespace

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv,
                                  {{"insert 1M", "RBTree_Insert", "StdSet_Insert"},
                                   {"clear and rebuild 1M", "RBTree_ClearAndRebuild", "StdSet_ClearAndRebuild"},
                                   {"find 1M", "RBTree_Find", "StdSet_Find"}});
}
