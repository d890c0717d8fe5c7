// The context search of two words over 1,000,000 in-memory records (goal: within 1.5x of the
// anchor), beside the anchor: a hand-written loop that upper-cases each name with the
// Windows-1251 table and looks for both words.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "filter/contextfilter.h"
#include "namesdataset.h"
#include "ratio.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

constexpr int kRecords = 1000000;

// Names such as "Кардиомагнил форте таблетки 75 мг №30" from a few lists of parts.
std::vector<std::string> makeGoodsNames()
{
    const char* drugs[] = {"Кардиомагнил", "Аспирин", "Мезим", "Эссенциале", "Кардио-Аспирин", "Нурофен",
                           "Фестал", "Панангин", "Магне B6", "Валидол", "Корвалол", "Цитрамон"};
    const char* grades[] = {"форте", "", "экспресс", "плюс", "", "ретард"};
    const char* forms[] = {"таблетки", "капсулы", "таблетки п/о", "сироп", "порошок"};
    std::mt19937 rng(1206);
    std::vector<std::string> names;
    names.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        std::string name = drugs[rng() % std::size(drugs)];
        const std::string grade = grades[rng() % std::size(grades)];
        if (!grade.empty())
            name += " " + grade;
        name += " " + std::string(forms[rng() % std::size(forms)]) + " " + std::to_string(25 * (1 + rng() % 20)) +
                " мг №" + std::to_string(10 * (1 + rng() % 6));
        names.push_back(rng() % 3 ? utf8ToCp1251(name) : upperCase(utf8ToCp1251(name)));
    }
    return names;
}

const std::vector<std::string>& goodsNames()
{
    static const std::vector<std::string> n = makeGoodsNames();
    return n;
}

TMemDataSet& goods()
{
    static const std::unique_ptr<TMemDataSet> ds = lmbench::NamesDataSet(goodsNames());
    return *ds;
}

const std::string kTyped = "форте кардио"_w;

void BM_TwoWordsHandLoop(benchmark::State& state)
{
    const auto& list = goodsNames();
    const std::vector<std::string> words = {upperCase("форте"_w), upperCase("кардио"_w)};
    int found = 0;
    for (auto _ : state) {
        found = lmbench::CountUpperContaining(list, words);
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = found;
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// Applying the context filter: one pass of the dataset's record filter over every record.
void BM_ContextSearchTwoWords(benchmark::State& state)
{
    TMemDataSet& ds = goods();
    TContextFilter filter;
    filter.SetDataSet(&ds);
    filter.BeginSetFilter();
    filter.SetFilter("NAME", kTyped);
    filter.EndSetFilter();
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ds.SetFiltered(false);
        state.ResumeTiming();
        filter.ApplyFilter();
        count = ds.RecordCount();
    }
    state.counters["matches"] = count;
    state.SetItemsProcessed(state.iterations() * kRecords);
    filter.SetDataSet(nullptr);
}

} // namespace

BENCHMARK(BM_TwoWordsHandLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContextSearchTwoWords)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv, {{"context search, 2 words", "BM_ContextSearchTwoWords", "BM_TwoWordsHandLoop"}});
}
