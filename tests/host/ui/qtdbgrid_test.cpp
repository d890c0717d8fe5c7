// The grid widget over an in-memory dataset: texts, painted row colours, titles, footers, the
// bookmark selection across a re-sort and the keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "host/ui/gridfooter.h"
#include "host/ui/qtdbgrid.h"
#include "host/ui/qtgridmodel.h"
#include "util/ui/qcp1251.h"

#include "../hostfixture.h"

using namespace lm;

namespace {

class QtDBGridTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_host_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    QtDBGridTest()
    {
        grid.SetDataSource(&data.source);
        data.goods.FieldByName("NAME")->SetDisplayWidth(20);
        view = std::make_unique<TQtDBGrid>(&grid);
        view->resize(700, 300);
    }
    void showFocused()
    {
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        view->setFocus();
    }
    QString cell(int row, int column) const { return view->Model()->index(row, column).data().toString(); }
    bool selected(int row) const { return view->Model()->index(row, 0).data(TQtGridModel::SelectedRole).toBool(); }

    lm::test::GoodsSource data;
    TDBGridEh grid;
    std::unique_ptr<TQtDBGrid> view;
};

} // namespace

TEST_F(QtDBGridTest, ModelShowsTheDisplayTextOfEveryRowAndPassesTheModelChecks)
{
    QAbstractItemModelTester tester(view->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(view->Model()->rowCount(), 5);
    ASSERT_EQ(view->Model()->columnCount(), 7);
    int row = 0;
    data.goods.ScanRecords([&] {
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(cell(row, c), ToQString(grid.Columns().Items(c)->DisplayText())) << row << "," << c;
        ++row;
    });
    data.goods.SetFiltered(false);
    data.goods.SetFilter("QTY > 1");
    data.goods.SetFiltered(true);
    EXPECT_EQ(view->Model()->rowCount(), 3);
    EXPECT_EQ(cell(2, 1), ToQString("Йод"_w));
    data.goods.FieldByName("QTY")->SetVisible(false);
    grid.Columns().Clear();
    view->Refresh();
    EXPECT_EQ(view->Model()->columnCount(), 6);
}

TEST_F(QtDBGridTest, PaintedBackgroundsAreTheRowColoursOfEveryVisibleRow)
{
    // Rows without stock red, inactive ones in a light green, the rest the column's colour.
    auto colours = [&](TColor& font, TColor& back) {
        if (data.goods.FieldByName("QTY")->AsInteger() == 0)
            back = clRed;
        else if (!data.goods.FieldByName("IS_ACTIVE")->AsBoolean())
            back = 0xCAFFCA;
        (void)font;
    };
    view->SetOnGetRowColors(colours);
    grid.FieldColumns("NAME")->SetColor(clYellow);
    view->Refresh();
    showFocused();
    view->clearFocus();
    const QImage image = view->viewport()->grab().toImage();
    int row = 0;
    data.goods.ScanRecords([&] {
        TColor font = clWindowText, back = clWindow;
        colours(font, back);
        for (int c : {0, 1}) {
            const QRect rect = view->visualRect(view->Model()->index(row, c));
            const QColor painted = image.pixelColor(rect.right() - 3, rect.top() + 2);
            const TColor columnColour = grid.Columns().Items(c)->Color();
            const QColor expected = back != clWindow ? QColor(back & 0xFF, (back >> 8) & 0xFF, (back >> 16) & 0xFF)
                                   : columnColour == clYellow ? QColor(Qt::yellow)
                                                              : view->palette().color(QPalette::Base);
            if (row != view->currentIndex().row() || c != view->currentIndex().column())
                EXPECT_EQ(painted.name(), expected.name()) << "row " << row << " column " << c;
        }
        ++row;
    });
}

TEST_F(QtDBGridTest, TwoLevelTitlesShareOneCellOverTheirColumns)
{
    grid.FieldColumns("PRICE")->Title().SetCaption("Товар|Цена"_w);
    grid.FieldColumns("QTY")->Title().SetCaption("Товар|Кол-во"_w);
    view->Refresh();
    showFocused();
    TGridHeaderView* header = view->Header();
    EXPECT_EQ(header->Layout().LevelCount(), 2);
    const TTitleCell top = header->Layout().CellAt(2, 0);
    EXPECT_EQ(top.Text, "Товар"_w);
    EXPECT_EQ(top.Columns, 2);
    const QRect merged = header->CellRect(top);
    EXPECT_EQ(merged.width(), header->sectionSize(2) + header->sectionSize(3));
    EXPECT_EQ(header->CellRect(header->Layout().CellAt(0, 0)).height(), header->height());
    EXPECT_GT(header->height(), 2 * header->fontMetrics().height());
}

TEST_F(QtDBGridTest, FootersShowSumsAndFollowTheData)
{
    grid.SetFooterRowCount(1);
    grid.FieldColumns("QTY")->Footer().SetValueType(fvtSum);
    grid.FieldColumns("NAME")->Footer().SetValueType(fvtStaticText);
    grid.FieldColumns("NAME")->Footer().SetValue("Итого"_w);
    view->Refresh();
    showFocused();
    TGridFooter* footer = view->Footer();
    EXPECT_TRUE(footer->isVisible());
    EXPECT_EQ(footer->Text(0, 3), "115");
    EXPECT_EQ(footer->Text(0, 1), ToQString("Итого"_w));
    EXPECT_EQ(footer->geometry().top(), view->viewport()->geometry().bottom() + 1);
    data.goods.First();
    data.goods.Edit();
    data.goods.FieldByName("QTY")->SetAsInteger(20);
    data.goods.Post();
    EXPECT_EQ(footer->Text(0, 3), "125");
}

TEST_F(QtDBGridTest, SelectionIsKeptAsBookmarksAndSurvivesAReSort)
{
    showFocused();
    view->setCurrentIndex(view->Model()->index(0, 1));
    QTest::keyClick(view.get(), Qt::Key_Insert);  // Аспирин, then on to the next row
    EXPECT_EQ(data.goods.RecNo(), 2);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QTest::keyClick(view.get(), Qt::Key_Insert);  // Bepanthen
    EXPECT_EQ(grid.SelectedRows().Count(), 2);
    EXPECT_TRUE(selected(0));
    EXPECT_TRUE(selected(3));

    data.goods.SortOnFields("NAME", true);  // Йод, аспирин кардио, Аспирин, Анальгин, Bepanthen
    for (int row = 0; row < 5; ++row) {
        const std::string name = FromQString(cell(row, 1)).value();
        EXPECT_EQ(selected(row), name == "Аспирин"_w || name == "Bepanthen") << name;
    }
    QTest::keyClick(view.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(grid.SelectedRows().Count(), 0);
    QTest::keyClick(view.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.SelectedRows().Count(), 5);
}

TEST_F(QtDBGridTest, KeyboardMovesTheDataSetAndTheDataSetMovesTheView)
{
    showFocused();
    view->setCurrentIndex(view->Model()->index(0, 0));
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(data.goods.RecNo(), 2);
    QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(data.goods.RecNo(), 5);
    QTest::keyClick(view.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(data.goods.RecNo(), 1);
    QTest::keyClick(view.get(), Qt::Key_PageDown);
    EXPECT_EQ(data.goods.RecNo(), 5);
    data.goods.SetRecNo(3);
    EXPECT_EQ(view->currentIndex().row(), 2);
    QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.SelectedRows().Count(), 2);
    EXPECT_TRUE(selected(2));
    EXPECT_TRUE(selected(3));
}

TEST_F(QtDBGridTest, TypingStartsASearchWithTheTypedCharacters)
{
    std::vector<std::string> typed;
    view->OnSearchKey = [&](const std::string& text) { typed.push_back(text); };
    showFocused();
    QTest::sendKeyEvent(QTest::Click, view.get(), Qt::Key_unknown, QString::fromUtf8("а"), {});
    QTest::keyClick(view.get(), Qt::Key_7);
    QTest::keyClick(view.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(typed, (std::vector<std::string>{"а"_w, "7"}));
}

TEST_F(QtDBGridTest, PostingARowRefreshesThatRowOnly)
{
    showFocused();
    QSignalSpy resets(view->Model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(view->Model(), &QAbstractItemModel::dataChanged);
    data.goods.SetRecNo(2);
    data.goods.Edit();
    data.goods.FieldByName("NAME")->SetAsString("Кардиомагнил"_w);
    data.goods.Post();
    EXPECT_EQ(resets.count(), 0);
    ASSERT_GE(changes.count(), 1);
    EXPECT_EQ(changes.last().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changes.last().at(1).toModelIndex().row(), 1);
    EXPECT_EQ(cell(1, 1), ToQString("Кардиомагнил"_w));
}
