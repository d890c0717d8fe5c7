// A grouped report of 10,000 rows rendered to PDF (layout, expressions, aggregates and the PDF
// writer) against drawing the same texts at the same positions directly with QPainter on a
// QPdfWriter, in the same run. Reports pages per second.
#include <QFont>
#include <QHash>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <filesystem>

#include "../../tests/report/grouped_report.h"
#include "host/memdataset.h"
#include "../ratio.h"
#include "report/frdbdataset.h"
#include "report/frxpainter.h"
#include "report/frxrenderer.h"
#include "report/ui/frxqtpainter.h"
#include "util/cp1251.h"

using namespace lm;

namespace {

constexpr int kRows = 10000;

// The goods of the report: 25 countries in order, names and prices.
struct Data {
    TComponent form;
    TMemDataSet* goods;
    TfrxDBDataset* ds;
    std::unique_ptr<TfrxReport> report;

    Data()
    {
        goods = new TMemDataSet(&form);
        goods->SetName("Goods");
        goods->FieldDefs().Add("COUNTRY", ftString, 60);
        goods->FieldDefs().Add("NAME", ftString, 150);
        goods->FieldDefs().Add("PRICE", ftFloat);
        goods->CreateDataSet();
        for (int i = 0; i < kRows; ++i)
            goods->AppendRecord({Variant("Страна "_w + std::to_string(100 + i * 25 / kRows)),
                                 Variant("Товар номер "_w + std::to_string(i + 1)), Variant(10.0 + (i * 37 % 1000) / 4.0)});
        ds = new TfrxDBDataset(&form);
        ds->SetUserName("Товары"_w);
        ds->SetDataSet(goods);
        report = lmtest::groupedReport(&form);
    }
};

Data& data()
{
    static Data d;
    return d;
}

std::string tempPdf(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string(name) + ".pdf")).string();
}

void BM_ReportToPdf(benchmark::State& state)
{
    frxEnsureGuiApplication();
    Data& d = data();
    int pages = 0;
    for (auto _ : state) {
        TfrxQtPainter measure;
        TfrxRenderer renderer(*d.report, measure);
        TfrxPreparedPages prepared;
        renderer.Prepare(prepared);
        frxExportPdf(prepared, tempPdf("lmpack_bench_report"));
        pages = prepared.Count();
    }
    state.counters["pages"] = pages;
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}

// The anchor: the texts of the same report at the same places, drawn by hand.
void BM_QPainterDirect(benchmark::State& state)
{
    frxEnsureGuiApplication();
    Data& d = data();
    TfrxQtPainter measure;
    TfrxRenderer renderer(*d.report, measure);
    TfrxPreparedPages prepared;
    renderer.Prepare(prepared);
    struct Text {
        QPointF at;
        QString text;
        int font;
    };
    std::vector<QFont> fonts;
    std::vector<std::vector<Text>> pages;
    for (const TfrxPreparedPage& page : prepared.Pages) {
        pages.emplace_back();
        for (const TfrxDrawItem& item : page.Items) {
            if (item.Kind != TfrxDrawItem::dkText)
                continue;
            QFont f(QString::fromUtf8(item.Font.Name.c_str()));
            f.setPointSizeF(item.Font.Size * 96.0 / 1200);
            f.setBold(item.Font.Style & fsBold);
            auto it = std::find(fonts.begin(), fonts.end(), f);
            const int index = it == fonts.end() ? (fonts.push_back(f), static_cast<int>(fonts.size() - 1))
                                                : static_cast<int>(it - fonts.begin());
            pages.back().push_back({QPointF(item.X, item.Y + item.H * 0.75),
                                    QString::fromStdString(cp1251ToUtf8(item.Text)), index});
        }
    }
    for (auto _ : state) {
        QPdfWriter writer(QString::fromStdString(tempPdf("lmpack_bench_direct")));
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        painter.scale(1200 / 96.0, 1200 / 96.0);
        for (std::size_t p = 0; p < pages.size(); ++p) {
            if (p)
                writer.newPage();
            for (const Text& t : pages[p]) {
                painter.setFont(fonts[t.font]);
                painter.drawText(t.at, t.text);
            }
        }
    }
    state.counters["pages"] = static_cast<double>(pages.size());
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages.size()) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainterDirect)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return lmbench::RunWithRatios(argc, argv, {{"report to PDF", "BM_ReportToPdf", "BM_QPainterDirect"}});
}
