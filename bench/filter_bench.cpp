// Compile + print of a typical five-condition user filter (goal: under 20 microseconds), beside
// the anchor: the dataset's local filter parser compiling the printed local statement.
#include <benchmark/benchmark.h>

#include <string>

#include "filter/ufilter.h"
#include "host/field.h"
#include "host/filterexpr.h"
#include "host/memdataset.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

template <typename F>
void addField(TDataSet& ds, const char* name, const std::string& label)
{
    auto* f = new F(&ds);
    f->SetFieldName(name);
    f->SetDisplayLabel(label);
    f->SetOrigin(std::string("G.") + name);
    f->SetDataSet(&ds);
}

struct Goods {
    TMemDataSet ds;
    TUFilter filter;
    Goods()
    {
        addField<TStringField>(ds, "NAME", "Наименование"_w);
        addField<TFloatField>(ds, "PRICE", "Цена"_w);
        addField<TIntegerField>(ds, "QTY", "Количество"_w);
        addField<TDateField>(ds, "DOC_DATE", "Дата"_w);
        addField<TBooleanField>(ds, "IS_ACTIVE", "Активен"_w);
        ds.CreateDataSet();
        filter.SetDataSet(&ds);
        filter.Prepare();
    }
};

const std::string& typical()
{
    static const std::string text =
        "[Наименование] = 'аспирин*' И [Цена] > 1,5 И [Количество] >= 10 И НЕ [Дата] = ПУСТО ИЛИ [Активен]"_w;
    return text;
}

void compile(benchmark::State& state, TUFilterOptions options)
{
    Goods g;
    g.filter.SetOptions(options);
    for (auto _ : state) {
        bool ok = g.filter.Compile(typical());
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(g.filter.FilterSQL().data());
    }
    if (!g.filter.Compile(typical()))
        state.SkipWithError("the typical expression does not compile");
}

void BM_FilterCompileLocal(benchmark::State& state) { compile(state, {}); }
void BM_FilterCompileSQL(benchmark::State& state) { compile(state, {ufoSQLEnabled, ufoSQLPrefer}); }
void BM_FilterCompileSQLIgnoreCase(benchmark::State& state) { compile(state, {ufoSQLEnabled, ufoSQLPrefer, ufoIgnoreCase}); }

// Anchor: the dataset's own parser over the local statement the filter printed.
void BM_AnchorLocalFilterParse(benchmark::State& state)
{
    Goods g;
    g.filter.Compile(typical());
    const std::string local = g.filter.FilterSQL();
    for (auto _ : state) {
        TFilterExpr expr(local, g.ds);
        benchmark::DoNotOptimize(&expr);
    }
}

} // namespace

BENCHMARK(BM_FilterCompileLocal);
BENCHMARK(BM_FilterCompileSQL);
BENCHMARK(BM_FilterCompileSQLIgnoreCase);
BENCHMARK(BM_AnchorLocalFilterParse);
BENCHMARK_MAIN();
