// BuildSQL of a 20-field, 6-table builder (goal: under 50 us per statement), beside the anchor:
// the same statement's text put together from ready pieces, the least any builder must do.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "filter/sqlbuilder.h"
#include "ratio.h"

using namespace lm;
using namespace lm::sqlbuilder;

namespace {

// Tables T0..T5, each joined to the one before; T4 and T5 outer. Fields F0..F19 spread over the
// tables: sums, months, dates and plain columns, some with filters and sort directions.
void fill(TSQLBuilder& b)
{
    for (int t = 0; t < 6; ++t) {
        TTableItem* table = b.Tables().Add();
        table->SetTableName("T" + std::to_string(t));
        table->SetSQLName("TABLE_" + std::to_string(t));
        if (t > 0) {
            table->SetParentTable("T" + std::to_string(t - 1));
            table->SetJoinSQL("T" + std::to_string(t) + ".PARENT_ID = T" + std::to_string(t - 1) + ".ID");
            table->SetJoinKind(t >= 4 ? jkOuter : jkInner);
        }
    }
    b.Tables().Items(0)->SetJoinSQL("T0.DELETED = 0");
    for (int f = 0; f < 20; ++f) {
        TFieldItem* field = b.Fields().Add();
        field->SetFieldName("F" + std::to_string(f));
        field->SetSQLName("T" + std::to_string(f % 6) + ".COL_" + std::to_string(f));
        field->SetTable("T" + std::to_string(f % 6));
        field->DisplayLabel = "Field " + std::to_string(f);
        if (f % 5 == 1) {
            field->Kind = fikSumm;
            field->RoundSumTo = 2;
        } else if (f % 5 == 2) {
            field->Kind = fikDateTime;
            field->DateDetail = f % 2 ? dtMonth : dtDate;
        }
        if (f % 4 == 0)
            field->SetFilters({"1", "2", "'three'"});
        field->SortKind = f % 7 == 0 ? skDesc : (f % 3 == 0 ? skAsc : skNone);
        b.AddToActive(*field);
    }
}

void BM_BuildSQL(benchmark::State& state)
{
    TSQLBuilder builder;
    fill(builder);
    std::size_t size = 0;
    for (auto _ : state) {
        std::string sql = builder.BuildSQL();
        size = sql.size();
        benchmark::DoNotOptimize(sql);
    }
    state.counters["chars"] = static_cast<double>(size);
}

// The anchor: the finished statement cut into its lines, joined again.
void BM_JoinPieces(benchmark::State& state)
{
    TSQLBuilder builder;
    fill(builder);
    const std::string whole = builder.BuildSQL();
    std::vector<std::string> pieces;
    for (std::size_t start = 0; start < whole.size();) {
        std::size_t end = whole.find("\r\n", start);
        end = end == std::string::npos ? whole.size() : end + 2;
        pieces.push_back(whole.substr(start, end - start));
        start = end;
    }
    for (auto _ : state) {
        std::string sql;
        for (const std::string& p : pieces)
            sql += p;
        benchmark::DoNotOptimize(sql);
    }
}

} // namespace

BENCHMARK(BM_JoinPieces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildSQL)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv, {{"BuildSQL, 20 fields 6 tables", "BM_BuildSQL", "BM_JoinPieces"}});
}
