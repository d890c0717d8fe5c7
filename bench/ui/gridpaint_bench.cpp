// One screen of the grid widget (40 rows x 10 columns, five colour rules, two of them formulas)
// painted offscreen into an image, against QTableView over a QStandardItemModel holding the
// same texts and colours, in the same run.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>

#include <memory>

#include "color/colorgrid.h"
#include "color/coloritem.h"
#include "host/datasource.h"
#include "host/gridmodel.h"
#include "host/memdataset.h"
#include "host/registry.h"
#include "host/ui/qtcolor.h"
#include "host/ui/qtdbgrid.h"
#include "host/ui/qtgridmodel.h"
#include "../ratio.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace {

using namespace lm;

constexpr int kRecords = 100000;
constexpr int kColumns = 10;
constexpr int kVisibleRows = 40;

// The dataset, the colour rules and both views, made once.
struct Scene {
    std::unique_ptr<TRegistryStore> previousStore = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
    TMemDataSet goods;
    TDataSource source;
    TDBGridEh grid;
    TColorGrid colors;
    std::unique_ptr<TQtDBGrid> ours;
    QStandardItemModel plain;
    std::unique_ptr<QTableView> anchor;
    QImage image;

    Scene()
    {
        goods.FieldDefs().Add("ID", ftInteger);
        goods.FieldDefs().Add("NAME", ftString, 40);
        goods.FieldDefs().Add("PRICE", ftFloat);
        goods.FieldDefs().Add("QTY", ftInteger);
        for (int c = 4; c < kColumns; ++c)
            goods.FieldDefs().Add("C" + std::to_string(c), ftString, 12);
        goods.CreateDataSet();
        for (int i = 0; i < kRecords; ++i) {
            std::vector<Variant> row = {i, "Препарат "_w + std::to_string(i), (i % 977) * 1.25, i % 50};
            for (int c = 4; c < kColumns; ++c)
                row.push_back(Variant("к"_w + std::to_string(c * i % 1000)));
            goods.AppendRecord(row);
        }
        goods.First();
        goods.FieldByName("PRICE")->SetDisplayLabel("Цена"_w);
        goods.FieldByName("QTY")->SetDisplayLabel("Кол"_w);
        goods.FieldByName("NAME")->SetDisplayLabel("Наименование"_w);
        source.SetDataSet(&goods);
        grid.SetDataSource(&source);
        colors.SetDataSet(&goods);
        addRules();

        ours = std::make_unique<TQtDBGrid>(&grid);
        ours->SetOnGetRowColors([this](TColor& font, TColor& back) { colors.CalcColors(font, back); });
        ours->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int rowHeight = ours->verticalHeader()->defaultSectionSize();
        ours->resize(kColumns * 90, ours->Header()->sizeHint().height() + kVisibleRows * rowHeight + 4);
        for (int s = 0; s < kColumns; ++s)
            ours->Header()->resizeSection(s, 88);

        fillAnchor(rowHeight);
        image = QImage(ours->size(), QImage::Format_ARGB32_Premultiplied);
    }

    void addRules()
    {
        auto templates = colors.CreateAllItemList();
        auto field = [&](const char* id, const char* op, const std::string& value, TColor font, TColor back) {
            auto item = templates->FindItem(citField, id)->Clone();
            item->SetValues(op, value);
            item->SetFontColor(font);
            item->SetBackColor(back);
            colors.Items().Add(std::move(item));
        };
        auto formula = [&](const std::string& text, TColor back) {
            auto item = std::make_unique<TExprItem>(&colors, citExpr, "", "");
            item->SetValues("", text);
            item->SetBackColor(back);
            colors.Items().Add(std::move(item));
        };
        field("QTY", "=", "0", clRed, clWindow);
        field("PRICE", ">", "1000", clWindowText, clYellow);
        formula("<Кол> > 45 and <Цена> < 100", clAqua);
        field("QTY", "<", "3", clBlue, clWindow);
        formula("<Цена> > 500", clSilver);
    }

    // The same texts and colours, as a plain model holds them.
    void fillAnchor(int rowHeight)
    {
        plain.setColumnCount(kColumns);
        plain.setRowCount(kVisibleRows);
        const QPalette palette = ours->palette();
        goods.ScanRecords(0, kVisibleRows, [&](int row) {
            TColor font = clWindowText, back = clWindow;
            colors.CalcColors(font, back);
            for (int c = 0; c < kColumns; ++c) {
                auto* item = new QStandardItem(ToQString(grid.Columns().Items(c)->DisplayText()));
                if (back != clWindow)
                    item->setBackground(ToQColor(back, palette));
                if (font != clWindowText)
                    item->setForeground(ToQColor(font, palette));
                plain.setItem(row, c, item);
            }
        });
        anchor = std::make_unique<QTableView>();
        anchor->setModel(&plain);
        anchor->verticalHeader()->hide();
        anchor->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        anchor->verticalHeader()->setDefaultSectionSize(rowHeight);
        anchor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        anchor->resize(ours->size());
        for (int s = 0; s < kColumns; ++s)
            anchor->horizontalHeader()->resizeSection(s, 88);
    }
};

// Made on first use and dropped before the application object goes.
std::unique_ptr<Scene> g_scene;

Scene& scene()
{
    if (!g_scene)
        g_scene = std::make_unique<Scene>();
    return *g_scene;
}

void paint(QWidget* view, QImage& image)
{
    QPainter painter(&image);
    view->render(&painter);
}

// Repaints with the rows already read: what scrolling back or an expose costs.
void BM_GridPaint(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state)
        paint(s.ours.get(), s.image);
}

// Repaints after the data changed: the rows are read again and every rule evaluated.
void BM_GridPaintReread(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.ours->Model()->RowChanged(0);
        paint(s.ours.get(), s.image);
    }
}

void BM_QTableViewPaint(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state)
        paint(s.anchor.get(), s.image);
}

BENCHMARK(BM_GridPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridPaintReread)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QTableViewPaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int result = lmbench::RunWithRatios(argc, argv,
                                              {{"grid screen", "BM_GridPaint", "BM_QTableViewPaint"},
                                               {"grid screen, rows re-read", "BM_GridPaintReread", "BM_QTableViewPaint"}});
    g_scene.reset();
    return result;
}
