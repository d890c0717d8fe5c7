// Spreadsheet export of 100,000 rows x 10 columns (Cyrillic text, numbers, dates) from an
// in-memory dataset: to xlsx through ExcelCopyDataSetDDE against the same cells written
// directly with libxlsxwriter in constant-memory mode (goal: within 2x), and to ods through
// OpExcelOleCopyGrideh against LibreOffice converting the same data as CSV to ods (goal: at
// least 3x faster; LibreOffice's time is the CPU time of its process). Then the peak memory of
// a 1,000,000-row export to each format, each in a child process of its own (goal: under 1 GB).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "export/excelexport.h"
#include "export/opoffice.h"
#include "host/memdataset.h"
#include "ratio.h"
#include "util/cp1251.h"
#include "util/process.h"
#include "util/sysutils.h"

namespace {

namespace fs = std::filesystem;
using namespace lm;

constexpr int kRows = 100000;
constexpr int kPeakRows = 1000000;

const fs::path& workDir()
{
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "lmexportbenchXXXXXX").string();
        return fs::path(::mkdtemp(pattern.data()));
    }();
    return dir;
}

// ID, NAME, VENDOR, COUNTRY, PRICE (BCD), QTY, TOTAL (float), REG_DATE, EXP_DATE, NOTE.
std::unique_ptr<TMemDataSet> makeGoods(int rows)
{
    static const char* const names[] = {"Аспирин таблетки 500 мг №20", "Ингавирин капсулы 90 мг №7", "Йод раствор 5% 10 мл",
                                        "Ёлочный бальзам 50 мл", "Кагоцел таблетки 12 мг №10"};
    static const char* const vendors[] = {"Фармстандарт", "Байер", "Валента Фарм", "Эвалар"};
    static const char* const countries[] = {"Россия", "Германия", "Индия"};
    auto ds = std::make_unique<TMemDataSet>();
    ds->FieldDefs().Add("ID", ftInteger);
    ds->FieldDefs().Add("NAME", ftString, 60);
    ds->FieldDefs().Add("VENDOR", ftString, 40);
    ds->FieldDefs().Add("COUNTRY", ftString, 20);
    ds->FieldDefs().Add("PRICE", ftBCD, 2);
    ds->FieldDefs().Add("QTY", ftInteger);
    ds->FieldDefs().Add("TOTAL", ftFloat);
    ds->FieldDefs().Add("REG_DATE", ftDate);
    ds->FieldDefs().Add("EXP_DATE", ftDate);
    ds->FieldDefs().Add("NOTE", ftString, 40);
    ds->CreateDataSet();
    const double base = EncodeDate(2020, 1, 1);
    for (int i = 0; i < rows; ++i) {
        const double price = (i % 9973) / 7.0 + 10.25;
        ds->AppendRecord({i + 1, utf8ToCp1251(names[i % 5]), utf8ToCp1251(vendors[i % 4]), utf8ToCp1251(countries[i % 3]),
                          Variant(static_cast<double>(static_cast<int64_t>(price * 100)) / 100), i % 500,
                          price * (i % 500), Variant::FromDate(base + i % 1500), Variant::FromDate(base + 700 + i % 900),
                          i % 3 == 0 ? utf8ToCp1251("Отпуск по рецепту") : std::string()});
    }
    return ds;
}

TMemDataSet& goods()
{
    static const std::unique_ptr<TMemDataSet> ds = makeGoods(kRows);
    return *ds;
}

// The dataset's cells prepared for the anchors: texts in UTF-8, numbers and dates as values.
struct PlainCell {
    std::string text;
    double number = 0;
    enum { empty, text_, number_, date_ } kind = empty;
};

std::vector<std::vector<PlainCell>> plainCells(TMemDataSet& ds)
{
    std::vector<std::vector<PlainCell>> rows;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        std::vector<PlainCell>& row = rows.emplace_back(static_cast<size_t>(ds.FieldCount()));
        for (int c = 0; c < ds.FieldCount(); ++c) {
            TField* f = ds.Fields(c);
            PlainCell& cell = row[static_cast<size_t>(c)];
            if (f->IsNull() || (f->DataType() == ftString && f->AsString().empty()))
                continue;
            if (f->DataType() == ftString) {
                cell.kind = PlainCell::text_;
                cell.text = cp1251ToUtf8(f->AsString());
            } else {
                cell.kind = f->DataType() == ftDate ? PlainCell::date_ : PlainCell::number_;
                cell.number = f->AsFloat();
            }
        }
    }
    return rows;
}

void BM_OurXlsx(benchmark::State& state)
{
    TMemDataSet& ds = goods();
    const std::string file = (workDir() / "ours.xlsx").string();
    for (auto _ : state)
        ExcelCopyDataSetDDE(&ds, "Goods", file, "");
    state.counters["rows"] = kRows;
}

void BM_LibxlsxwriterConstantMemory(benchmark::State& state)
{
    const auto cells = plainCells(goods());
    const std::string file = (workDir() / "anchor.xlsx").string();
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Goods");
        lxw_format* date = workbook_add_format(wb);
        format_set_num_format(date, "DD.MM.YYYY");
        for (size_t r = 0; r < cells.size(); ++r)
            for (size_t c = 0; c < cells[r].size(); ++c) {
                const PlainCell& cell = cells[r][c];
                const auto row = static_cast<lxw_row_t>(r + 1);
                const auto col = static_cast<lxw_col_t>(c);
                if (cell.kind == PlainCell::text_)
                    worksheet_write_string(ws, row, col, cell.text.c_str(), nullptr);
                else if (cell.kind != PlainCell::empty)
                    worksheet_write_number(ws, row, col, cell.number, cell.kind == PlainCell::date_ ? date : nullptr);
            }
        workbook_close(wb);
    }
    state.counters["rows"] = kRows;
}

void BM_OurOds(benchmark::State& state)
{
    TMemDataSet& ds = goods();
    const std::string file = (workDir() / "ours.ods").string();
    for (auto _ : state)
        OpExcelOleCopyGrideh(nullptr, &ds, "", "Goods", false, "", true, true, false, false, "", file, false, false, 0);
    state.counters["rows"] = kRows;
}

std::string csvNumber(double value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

double childCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_LibreOfficeCsvToOds(benchmark::State& state)
{
    const fs::path csv = workDir() / "goods.csv";
    {
        std::ofstream out(csv);
        for (const auto& row : plainCells(goods())) {
            for (size_t c = 0; c < row.size(); ++c) {
                if (c)
                    out << ',';
                if (row[c].kind == PlainCell::text_)
                    out << '"' << row[c].text << '"';
                else if (row[c].kind == PlainCell::date_)
                    out << cp1251ToUtf8(DateToStr(row[c].number));
                else if (row[c].kind == PlainCell::number_)
                    out << csvNumber(row[c].number);
            }
            out << '\n';
        }
    }
    const std::string cmd = "soffice --headless --norestore -env:UserInstallation=file://" + (workDir() / "profile").string() +
                            " --convert-to ods --outdir '" + (workDir() / "lo").string() + "' '" + csv.string() + "'";
    auto run = [&] { ExecLogOutput(cmd, std::string(), [](const std::string&) {}); };
    run();  // the first start makes the profile
    double child = 0;
    for (auto _ : state) {
        const double before = childCpuSeconds();
        run();
        child += childCpuSeconds() - before;
    }
    state.counters["child_cpu_s"] = benchmark::Counter(child, benchmark::Counter::kAvgIterations);
    state.counters["rows"] = kRows;
}

// Peak resident memory of one export of kPeakRows rows, the dataset included, measured in a
// child process so each format starts from nothing.
void BM_PeakMemory(benchmark::State& state, bool ods)
{
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            auto ds = makeGoods(kPeakRows);
            rusage usage{};
            ::getrusage(RUSAGE_SELF, &usage);
            const long dataSet = usage.ru_maxrss;
            const std::string file = (workDir() / (ods ? "peak.ods" : "peak.xlsx")).string();
            if (ods)
                OpExcelOleCopyGrideh(nullptr, ds.get(), "", "Goods", false, "", true, true, false, false, "", file, false, false, 0);
            else
                ExcelCopyDataSetDDE(ds.get(), "Goods", file, "");
            ::getrusage(RUSAGE_SELF, &usage);
            const long result[2] = {dataSet, usage.ru_maxrss};
            (void)!::write(fds[1], result, sizeof result);
            ::_exit(0);
        }
        ::close(fds[1]);
        long result[2] = {0, 0};
        (void)!::read(fds[0], result, sizeof result);
        ::close(fds[0]);
        ::waitpid(child, nullptr, 0);
        state.counters["peak_MB"] = static_cast<double>(result[1]) / 1024;
        state.counters["dataset_MB"] = static_cast<double>(result[0]) / 1024;
    }
}

} // namespace

BENCHMARK(BM_OurXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibxlsxwriterConstantMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OurOds)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibreOfficeCsvToOds)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_PeakMemory, xlsx, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_PeakMemory, ods, true)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    const int rc = lmbench::RunWithRatios(argc, argv,
                                          {{"xlsx vs libxlsxwriter", "BM_OurXlsx", "BM_LibxlsxwriterConstantMemory"},
                                           {"ods vs LibreOffice CSV", "BM_OurOds", "BM_LibreOfficeCsvToOds"}});
    std::error_code ec;
    fs::remove_all(workDir(), ec);
    return rc;
}
