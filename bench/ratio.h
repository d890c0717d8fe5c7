// A benchmark main that also prints, for each (ours, anchor) pair, how many times faster our
// code ran than the anchor in the same run (the median when repetitions are asked for).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
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

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<RatioPair> pairs) : m_pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_medians[name] = cpuTime(run);
            } else if (!m_medians.count(name)) {
                m_times[name] = cpuTime(run);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios of CPU time (anchor time / our time; above 1 means we are faster):\n");
        for (const RatioPair& p : m_pairs) {
            const double ours = time(p.ours);
            const double anchor = time(p.anchor);
            if (ours > 0 && anchor > 0)
                std::printf("  %-28s %6.2fx   (%s vs %s)\n", p.label, anchor / ours, p.ours, p.anchor);
            else
                std::printf("  %-28s not measured\n", p.label);
        }
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

    double time(const std::string& name) const
    {
        if (auto it = m_medians.find(name); it != m_medians.end())
            return it->second;
        if (auto it = m_times.find(name); it != m_times.end())
            return it->second;
        return 0;
    }

    std::vector<RatioPair> m_pairs;
    std::map<std::string, double> m_medians;
    std::map<std::string, double> m_times;
};

inline int RunWithRatios(int argc, char** argv, std::initializer_list<RatioPair> pairs)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter{std::vector<RatioPair>(pairs)};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace lmbench
