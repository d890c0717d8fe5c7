// TRBTree against std::set<int64_t>: inserting and finding 1,000,000 random currency values.
//
// The values come from a fixed seed, so every run measures the same work. Each iteration runs
// a pass of the tree and one of the set back to back (lmbench::RunPaired), so that both meet
// the same load from other processes; the ratio printed is the median of the per-iteration
// ratios, with its spread. CPU time of this thread, not the wall clock, is what is compared.

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

// Each pass returns the CPU milliseconds of its timed part; building and freeing outside it.
using lmbench::ThreadCpuMs;

double insertTree()
{
    auto tree = std::make_unique<lm::TRBTree>(kBlockSize);
    const double start = ThreadCpuMs();
    for (int64_t x : values())
        tree->InsertNode(lm::Currency::FromRaw(x));
    benchmark::DoNotOptimize(tree->Count());
    return ThreadCpuMs() - start;
}

double insertSet()
{
    auto set = std::make_unique<std::set<int64_t>>();
    const double start = ThreadCpuMs();
    for (int64_t x : values())
        set->insert(x);
    benchmark::DoNotOptimize(set->size());
    return ThreadCpuMs() - start;
}

// Building the same tree again and again: Clear keeps the blocks, the set frees its nodes.
double rebuildTree()
{
    static lm::TRBTree tree(kBlockSize);
    const double start = ThreadCpuMs();
    tree.Clear();
    for (int64_t x : values())
        tree.InsertNode(lm::Currency::FromRaw(x));
    benchmark::DoNotOptimize(tree.Count());
    return ThreadCpuMs() - start;
}

double rebuildSet()
{
    static std::set<int64_t> set;
    const double start = ThreadCpuMs();
    set.clear();
    for (int64_t x : values())
        set.insert(x);
    benchmark::DoNotOptimize(set.size());
    return ThreadCpuMs() - start;
}

double findTree()
{
    static const auto tree = [] {
        auto t = std::make_unique<lm::TRBTree>(kBlockSize);
        for (int64_t x : values())
            t->InsertNode(lm::Currency::FromRaw(x));
        return t;
    }();
    const double start = ThreadCpuMs();
    int found = 0;
    for (int64_t x : probes())
        found += tree->Find(lm::Currency::FromRaw(x));
    benchmark::DoNotOptimize(found);
    return ThreadCpuMs() - start;
}

double findSet()
{
    static const std::set<int64_t> set(values().begin(), values().end());
    const double start = ThreadCpuMs();
    int found = 0;
    for (int64_t x : probes())
        found += set.count(x) != 0;
    benchmark::DoNotOptimize(found);
    return ThreadCpuMs() - start;
}

template <double (*Ours)(), double (*Anchor)()>
void Paired(benchmark::State& state)
{
    lmbench::RunPaired(state, Ours, Anchor);
    state.SetItemsProcessed(state.iterations() * kValues);
}

// The structures that a pass keeps (the rebuilt and the searched ones) are made before the
// first timed pass of their pair.
void warmUp()
{
    rebuildTree();
    rebuildSet();
    findTree();
    findSet();
}

#define LM_PAIRED(name, ours, anchor) \
    BENCHMARK(Paired<ours, anchor>)->Name(name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(11)
LM_PAIRED("insert 1M", insertTree, insertSet);
LM_PAIRED("clear and rebuild 1M", rebuildTree, rebuildSet);
LM_PAIRED("find 1M", findTree, findSet);

} // namespace

int main(int argc, char** argv)
{
    warmUp();
    return lmbench::RunWithRatios(argc, argv, {});
}
