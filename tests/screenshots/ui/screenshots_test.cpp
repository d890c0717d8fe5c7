// Renders every dialog and the grid offscreen over the demo database into PNG files under
// <build>/screenshots/ for a person to look at, at the default font and at font index 4
// (with QT_SCALE_FACTOR=2 the files get "-x2"). It asserts only that no label, button or
// check box is squeezed below the size it needs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

#include "app/lmtranslate.h"
#include "color/colordlgmodel.h"
#include "color/colorgrid.h"
#include "color/ui/frmcolordlg.h"
#include "filter/contextfilter.h"
#include "filter/contextsearchmodel.h"
#include "filter/sortdlgmodel.h"
#include "filter/ufilter.h"
#include "filter/ufilterdlgmodel.h"
#include "filter/ui/frmcfilter.h"
#include "filter/ui/frmcontextmultidlg.h"
#include "filter/ui/frmsaveopendlg.h"
#include "filter/ui/frmsort.h"
#include "filter/ui/frmufilter.h"
#include "filter/ui/gridfilterlinks.h"
#include "filter/usersort.h"
#include "forms/scaleforms.h"
#include "host/datasource.h"
#include "host/registry.h"
#include "host/ui/qtdbgrid.h"
#include "util/ui/qcp1251.h"

#include "../../filter/contextfixture.h"

using namespace lm;
namespace fs = std::filesystem;

namespace {

class Screenshots : public lmtest::GoodsDbTest, public ::testing::WithParamInterface<int> {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_screenshots";
        static char* argv[] = {name, nullptr};
        // A 1280 x 1024 screen at 96 pixels per inch, as the forms are made for, instead of the
        // platform's 800 x 600, which would squeeze the larger dialogs.
        const fs::path screens = fs::path(LMPACK_BINARY_DIR) / "screenshots-screen.json";
        std::ofstream(screens) << R"({"screens": [{"name": "shot", "x": 0, "y": 0, "width": 1280, "height": 1024,)"
                               << R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QByteArray::fromStdString(screens.string()));
        if (!QApplication::instance())
            new QApplication(argc, argv);
        QApplication::setFont(QFont("DejaVu Sans", 9));
        QApplication::setCursorFlashTime(0);
        GoodsDbTest::SetUpTestSuite();
    }
    void SetUp() override
    {
        GoodsDbTest::SetUp();
        m_previous = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
        SetTranslateLocale("RU");
        SetFontIndex(GetParam());
        const std::pair<const char*, const char*> labels[] = {
            {"ID", "Код"}, {"PRICE", "Склад|Цена"}, {"QUANTITY", "Склад|Кол-во"}, {"REG_DATE", "Дата регистрации"},
            {"ACTIVE", "Активен"}, {"RECIPE", "Рецепт"}, {"NOTE", "Примечание"}};
        for (const auto& [field, label] : labels)
            goods.FieldByName(field)->SetDisplayLabel(utf8ToCp1251(label));
        fs::create_directories(folder());
    }
    void TearDown() override
    {
        SetFontIndex(0);
        SetDefaultRegistryStore(std::move(m_previous));
    }
    static fs::path folder() { return fs::path(LMPACK_BINARY_DIR) / "screenshots"; }
    // "<name>-<state>[-lb][-x2].png"
    std::string fileName(const std::string& name, const std::string& state) const
    {
        std::string file = name + "-" + state;
        if (GetParam() == 4)
            file += "-lb";
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            file += "-x2";
        return (folder() / (file + ".png")).string();
    }
    // Shows the window, checks that nothing in it is squeezed and saves it.
    void shoot(QWidget& window, const std::string& name, const std::string& state = "default")
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QApplication::processEvents();
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisible() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)))
                continue;
            const QSize need = w->minimumSizeHint();
            EXPECT_GE(w->width(), need.width()) << name << ": " << w->objectName().toStdString() << " "
                                                << w->metaObject()->className();
            EXPECT_GE(w->height(), need.height()) << name << ": " << w->objectName().toStdString();
        }
        EXPECT_TRUE(window.grab().save(QString::fromStdString(fileName(name, state))));
    }

    std::unique_ptr<TRegistryStore> m_previous;
};

} // namespace

TEST_P(Screenshots, FilterDialogs)
{
    TUFilter filter;
    filter.SetDataSet(&goods);
    filter.SetRegKey("\\Software\\Lumora\\Shots\\Goods");
    filter.Prepare();
    filter.SaveFilterAs("Дорогие"_w, "[Склад|Цена] > 500"_w);
    filter.SetFilterName("Дорогие"_w);
    TUFilterDlgModel model(filter);
    TfrmUFilter dlg(model);
    dlg.findChild<QPlainTextEdit*>("mmFilter")->setPlainText(QString::fromUtf8("[Наименование] = '*аспирин*' И [Активен]"));
    shoot(dlg, "frmufilter");

    std::vector<std::string> names = {"Дорогие"_w, "Без рецепта"_w, "Просроченные"_w};
    TSaveOpenDlgModel saveModel(names, TSaveOpenDlgModel::doSave);
    TfrmSaveOpenDlg save(saveModel);
    save.findChild<QLineEdit*>("edName")->setText(ToQString("Новый фильтр"_w));
    shoot(save, "frmsaveopendlg");
}

TEST_P(Screenshots, SearchAndSortDialogs)
{
    TContextFilter search;
    search.SetDataSet(&goods);
    search.SetMultiFields("NAME;NOTE;");
    search.SetFilter("NAME", "аспирин"_w);
    TContextSearchModel model(search, goods.FieldByName("NAME"));
    model.SetItemIndex(1);
    TfrmCFilter dlg(model);
    dlg.findChild<QComboBox*>("lcValue")->setEditText(QString::fromUtf8("кардио"));
    shoot(dlg, "frmcfilter");

    TContextMultiModel multi(search);
    TfrmContextMultiDlg multiDlg(multi);
    shoot(multiDlg, "frmcontextmultidlg");

    TUserSort sort;
    sort.SetDS(&goods);
    TSortDlgModel sortModel(sort, "", true);
    sortModel.AddToSort(1);
    sortModel.AddToSort(2);
    sortModel.SetDescending(1, true);
    TfrmSort sortDlg(sortModel);
    shoot(sortDlg, "frmsort");
    search.Clear();
}

TEST_P(Screenshots, ColourRulesDialogAndGrid)
{
    TColorGrid colors;
    colors.SetDataSet(&goods);
    colors.SetRegPath("\\Software\\Lumora\\Shots\\Goods");
    colors.OnPopulateAllItems = [](TColorGrid* g, TColorItemList& items) {
        items.Add(std::make_unique<TColorItem>(g, citHost, "COLOR", "Цвет"_w));
        items.Add(std::make_unique<TEventItem>(g, "LATE", "Просрочен"_w));
    };
    auto templates = colors.CreateAllItemList();
    auto add = [&](TColorItem* templ, const std::string& op, const std::string& value, TColor font, TColor back) {
        std::unique_ptr<TColorItem> item = templ ? templ->Clone() : std::make_unique<TExprItem>(&colors, citExpr, "", "");
        item->SetValues(op, value);
        item->SetFontColor(font);
        item->SetBackColor(back);
        colors.Items().Add(std::move(item));
    };
    add(templates->FindItem(citField, "QUANTITY"), "=", "0", clRed, clWindow);
    add(templates->FindItem(citField, "ACTIVE"), "=", "Нет"_w, clGray, clWindow);
    add(nullptr, "", "(<Склад|Цена> > 900) and <Рецепт>"_w, clWindowText, 0xCAFFCA);
    add(nullptr, "", "<Склад|Кол-во> < 5 { мало }"_w, clWindowText, 0xBFFFFF);
    add(templates->FindItem(citField, "PRICE"), ">", "950", clWindowText, 0xFFF8E0);

    {
        TColorItemList work;
        work.Assign(colors.Items());
        TColorDlgModel model(colors, work, *templates);
        TfrmColorDlg dlg(model);
        dlg.findChild<QTableWidget*>("grItems")->setCurrentCell(2, 1);
        shoot(dlg, "frmcolordlg");
    }

    TDataSource source;
    source.SetDataSet(&goods);
    TDBGridEh model;
    model.SetDataSource(&source);
    model.SetFooterRowCount(1);
    model.FieldColumns("NAME")->Footer().SetValueType(fvtStaticText);
    model.FieldColumns("NAME")->Footer().SetValue("Итого:"_w);
    model.FieldColumns("QUANTITY")->Footer().SetValueType(fvtSum);
    model.FieldColumns("ID")->Footer().SetValueType(fvtCount);
    TUserSort sort;
    sort.SetDS(&goods);
    sort.DoSort("NAME", true);
    model.FieldColumns("NAME")->SetWidth(260);
    model.FieldColumns("NOTE")->SetWidth(170);
    model.FieldColumns("VENDOR")->SetWidth(110);
    TQtDBGrid grid(&model);
    grid.SetOnGetRowColors([&](TColor& font, TColor& back) { colors.CalcColors(font, back); });
    LinkGridSort(grid, sort);
    grid.resize(grid.Header()->length() + 40, 24 * grid.verticalHeader()->defaultSectionSize());
    grid.Grid()->SelectedRows().Clear();
    goods.SetRecNo(3);
    model.SelectedRows().SetCurrentRowSelected(true);
    goods.SetRecNo(5);
    model.SelectedRows().SetCurrentRowSelected(true);
    grid.Refresh();
    shoot(grid, "grid");
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setFocus();
    shoot(grid, "grid", "focused");
}

INSTANTIATE_TEST_SUITE_P(FontIndex, Screenshots, ::testing::Values(0, 4));
