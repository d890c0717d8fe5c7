// A benchmark main that also prints, for each (ours, anchor) pair, how many times faster our
// code ran than the anchor in the same run.
//
// With repetitions the benchmarks run interleaved (one repetition of each in turn, in a random
// order), so that both sides of a pair meet the same load from other processes. Two figures are
// printed: the ratio of the best (lowest) CPU times of the two sides, which load from other
// processes can only push up, and the per-round ratios (anchor time / our time of the same
// repetition) as their median and spread (lowest and highest).
//
// RunPaired goes further for work whose speed swings with the load of a shared machine (memory-
// bound work above all): both sides run back to back inside every iteration, and the ratio is
// taken per iteration.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace lmbench {

struct RatioPair {
    const char* label;
    const char* ours;    // benchmark function names as registered
    const char* anchor;
};

// The calling thread's CPU time in milliseconds.
inline double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs ours() and anchor() back to back in every iteration, alternating which goes first; each
// returns the CPU milliseconds of its timed part (set-up and clean-up outside it). Use with
// UseManualTime: the iteration time is ours. The counters hold the per-iteration ratios (anchor
// time / our time) as their median, lowest and highest, and both sides' median times.
template <class Ours, class Anchor>
void RunPaired(benchmark::State& state, Ours ours, Anchor anchor)
{
    std::vector<double> ratios, oursMs, anchorMs;
    bool oursFirst = true;
    for (auto _ : state) {
        double o = 0, a = 0;
        if (oursFirst) {
            o = ours();
            a = anchor();
        } else {
            a = anchor();
            o = ours();
        }
        oursFirst = !oursFirst;
        state.SetIterationTime(o / 1e3);
        oursMs.push_back(o);
        anchorMs.push_back(a);
        ratios.push_back(o > 0 ? a / o : 0);
    }
    state.counters["ours_ms"] = Median(oursMs);
    state.counters["anchor_ms"] = Median(anchorMs);
    state.counters["ratio"] = Median(ratios);
    state.counters["ratio_lo"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["ratio_hi"] = *std::max_element(ratios.begin(), ratios.end());
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<RatioPair> pairs) : m_pairs(std::move(pairs)) {}

    // Records every repetition's CPU time, and shows only the aggregates of repeated runs.
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name].push_back(cpuTime(run));
            if (!run.error_occurred && run.counters.count("ratio"))
                m_paired.push_back(run);
            if (run.repetitions <= 1 || run.run_type == Run::RT_Aggregate)
                shown.push_back(run);
        }
        if (!shown.empty())
            ConsoleReporter::ReportRuns(shown);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios of CPU time (anchor time / our time; above 1 means we are faster):\n");
        for (const RatioPair& p : m_pairs) {
            const std::vector<double> ratios = roundRatios(p);
            if (ratios.empty()) {
                std::printf("  %-28s not measured\n", p.label);
            } else if (ratios.size() == 1) {
                std::printf("  %-28s %6.2fx   (%s vs %s)\n", p.label, ratios[0], p.ours, p.anchor);
            } else {
                std::printf("  %-28s %6.2fx   best of %zu; per round median %.2fx, spread %.2fx to %.2fx   (%s vs %s)\n",
                            p.label, best(p.anchor) / best(p.ours), ratios.size(), Median(ratios), ratios.front(),
                            ratios.back(), p.ours, p.anchor);
            }
        }
        for (const Run& run : m_paired)
            std::printf("  %-28s %6.2fx   median of %lld paired passes, spread %.2fx to %.2fx "
                        "(ours %.1f ms, anchor %.1f ms)\n",
                        run.run_name.function_name.c_str(), run.counters.at("ratio").value,
                        static_cast<long long>(run.iterations), run.counters.at("ratio_lo").value,
                        run.counters.at("ratio_hi").value, run.counters.at("ours_ms").value,
                        run.counters.at("anchor_ms").value);
    }

private:
    // The run's CPU time, plus that of the child processes it waited for when it reports them
    // in the counter "child_cpu_s" (seconds per iteration).
    static double cpuTime(const Run& run)
    {
        double t = run.GetAdjustedCPUTime();
        if (auto it = run.counters.find("child_cpu_s"); it != run.counters.end())
            t += it->second.value * benchmark::GetTimeUnitMultiplier(run.time_unit);
        return t;
    }

    // The sorted per-round ratios of a pair; empty when a side was not measured.
    std::vector<double> roundRatios(const RatioPair& p) const
    {
        const auto ours = m_times.find(p.ours);
        const auto anchor = m_times.find(p.anchor);
        std::vector<double> ratios;
        if (ours == m_times.end() || anchor == m_times.end())
            return ratios;
        const std::size_t rounds = std::min(ours->second.size(), anchor->second.size());
        for (std::size_t i = 0; i < rounds; ++i)
            if (ours->second[i] > 0)
                ratios.push_back(anchor->second[i] / ours->second[i]);
        std::sort(ratios.begin(), ratios.end());
        return ratios;
    }

    double best(const std::string& name) const
    {
        const std::vector<double>& times = m_times.at(name);
        return *std::min_element(times.begin(), times.end());
    }

    std::vector<RatioPair> m_pairs;
    std::map<std::string, std::vector<double>> m_times;
    std::vector<Run> m_paired;
};

inline int RunWithRatios(int argc, char** argv, std::initializer_list<RatioPair> pairs)
{
    // Interleaved repetitions unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(args.begin(), args.end(),
                     [](const char* a) { return std::strstr(a, "random_interleaving") != nullptr; }))
        args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    RatioReporter reporter{std::vector<RatioPair>(pairs)};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace lmbench
