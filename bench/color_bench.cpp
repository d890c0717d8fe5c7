// CalcColors with five rules (two of them formulas) over 100,000 in-memory records (goal: at
// least 500,000 records per second and within 5x of the anchor), beside the anchor: the same
// five conditions written by hand in C++ over the same fields and the same record walk.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "color/colorgrid.h"
#include "host/field.h"
#include "host/memdataset.h"
#include "ratio.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

using namespace lm;

namespace {

constexpr int kRecords = 100000;

TMemDataSet& dataSet()
{
    static std::unique_ptr<TMemDataSet> ds = [] {
        auto d = std::make_unique<TMemDataSet>();
        d->FieldDefs().Add("NAME", ftString, 60);
        d->FieldDefs().Add("COUNTRY", ftString, 40);
        d->FieldDefs().Add("PRICE", ftFloat);
        d->FieldDefs().Add("QTY", ftInteger);
        d->FieldDefs().Add("ACTIVE", ftBoolean);
        d->Open();
        const char* countries[] = {"Россия"_w, "Германия"_w, "Индия"_w, "Венгрия"_w};
        std::mt19937 rng(2026);
        d->DisableControls();
        for (int i = 0; i < kRecords; ++i) {
            const Variant qty = rng() % 10 == 0 ? Variant::Null() : Variant(static_cast<int>(rng() % 500));
            d->AppendRecord({Variant("Товар "_w + std::to_string(i)), Variant(countries[rng() % 4]),
                             Variant(static_cast<double>(rng() % 300000) / 100), qty, Variant(rng() % 7 != 0)});
        }
        d->EnableControls();
        const char* labels[][2] = {{"NAME", "Наименование"_w}, {"COUNTRY", "Фирма производитель"_w},
                                   {"PRICE", "Цена"_w}, {"QTY", "Кол"_w}, {"ACTIVE", "Активен"_w}};
        for (const auto& l : labels)
            d->FieldByName(l[0])->SetDisplayLabel(l[1]);
        return d;
    }();
    return *ds;
}

// The five rules: two field rules and a formula for the background, a field rule and a
// formula for the font.
void addRules(TColorGrid& grid)
{
    auto templates = grid.CreateAllItemList();
    auto field = [&](const char* id, const std::string& op, const std::string& value, TColor font, TColor back) {
        auto item = templates->FindItem(citField, id)->Clone();
        item->SetValues(op, value);
        item->SetFontColor(font);
        item->SetBackColor(back);
        grid.Items().Add(std::move(item));
    };
    auto formula = [&](const std::string& text, TColor font, TColor back) {
        auto item = std::make_unique<TExprItem>(&grid, citExpr, "", "");
        item->SetValues("", text);
        item->SetFontColor(font);
        item->SetBackColor(back);
        grid.Items().Add(std::move(item));
    };
    field("QTY", "ПУСТО"_w, "", clWindowText, clYellow);
    field("PRICE", ">", "2500", clRed, clWindow);
    formula("(<Фирма производитель> = 'Россия') or (<Цена> > 100)"_w, clWindowText, clLigthGreen);
    field("ACTIVE", "=", "Нет"_w, clGray, clWindow);
    formula("<Кол> * <Цена> > 50000"_w, clBlue, clWindow);
}

void BM_CalcColors(benchmark::State& state)
{
    TMemDataSet& ds = dataSet();
    TColorGrid grid;
    grid.SetDataSet(&ds);
    addRules(grid);
    int64_t checksum = 0;
    for (auto _ : state) {
        for (ds.First(); !ds.Eof(); ds.Next()) {
            TColor font, back;
            grid.CalcColors(font, back);
            checksum += font ^ back;
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// The anchor: the same rules in the same order, first match per colour, as plain C++.
void BM_HandWritten(benchmark::State& state)
{
    TMemDataSet& ds = dataSet();
    TField* country = ds.FieldByName("COUNTRY");
    TField* price = ds.FieldByName("PRICE");
    TField* qty = ds.FieldByName("QTY");
    TField* active = ds.FieldByName("ACTIVE");
    const std::string russia = "Россия"_w;
    int64_t checksum = 0;
    for (auto _ : state) {
        for (ds.First(); !ds.Eof(); ds.Next()) {
            TColor font = clWindowText, back = clWindow;
            const Variant q = qty->Value(), p = price->Value();
            if (q.IsNull())
                back = clYellow;
            if (!p.IsNull() && p.AsFloat() > 2500)
                font = clRed;
            if (back == clWindow && ((country->Value().AsString() == russia) || (!p.IsNull() && p.AsFloat() > 100)))
                back = clLigthGreen;
            const Variant a = active->Value();
            if (font == clWindowText && !a.IsNull() && !a.AsBoolean())
                font = clGray;
            if (font == clWindowText && !q.IsNull() && !p.IsNull() && q.AsInteger() * p.AsFloat() > 50000)
                font = clBlue;
            checksum += font ^ back;
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(BM_CalcColors)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandWritten)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv, {{"CalcColors, 5 rules", "BM_CalcColors", "BM_HandWritten"}});
}
