// The colour rules editor driven with QTest, the formula colouring, and the grid widget painting
// each visible row in the colours CalcColors gives it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include "color/ui/frmcolordlg.h"
#include "filter/ui/formulahighlighter.h"
#include "host/datasource.h"
#include "host/ui/qtcolor.h"
#include "host/ui/qtdbgrid.h"
#include "host/ui/qtgridmodel.h"
#include "util/ui/qcp1251.h"

#include "../../forms/scripteddialogs.h"
#include "../colorfixture.h"

using namespace lm;

namespace {

class FrmColorDlgTest : public ::testing::Test, public lmtest::ColorFixture {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_color_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
        TfrmColorDlg::Install();
    }
    // Runs Customize; `steps` acts on the dialog once it is up.
    bool customize(std::function<void(TfrmColorDlg&)> steps)
    {
        QTimer::singleShot(0, [steps] {
            TfrmColorDlg* dlg = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] { return (dlg = qobject_cast<TfrmColorDlg*>(QApplication::activeModalWidget())); }));
            if (!dlg)
                return;
            EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));
            steps(*dlg);
            if (dlg->isVisible())
                dlg->reject();
        });
        return grid.Customize();
    }
    static QTableWidget* rules(QWidget& dlg) { return dlg.findChild<QTableWidget*>("grItems"); }
    static QComboBox* cell(QWidget& dlg, int row, int column)
    {
        return qobject_cast<QComboBox*>(rules(dlg)->cellWidget(row, column));
    }
    static void choose(QComboBox* combo, const QString& text)
    {
        combo->setCurrentIndex(combo->findText(text));
        emit combo->activated(combo->currentIndex());
    }
    static void trigger(QWidget& dlg, const char* action) { dlg.findChild<QAction*>(action)->trigger(); }
    static void type(QWidget* w, const char* utf8)
    {
        for (const QChar ch : QString::fromUtf8(utf8))
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
    }
};

} // namespace

TEST_F(FrmColorDlgTest, AFieldRuleMadeInTheDialogColoursTheRowsAndIsStored)
{
    const bool ok = customize([](TfrmColorDlg& dlg) {
        auto* pages = dlg.findChild<QTabWidget*>("pcAllItems");
        EXPECT_TRUE(pages->isTabVisible(0));
        EXPECT_FALSE(pages->isTabVisible(1));  // no host properties
        EXPECT_FALSE(pages->isTabVisible(2));
        auto* fields = dlg.findChild<QListWidget*>("lbFields");
        const auto price = fields->findItems(ToQString("Цена"_w), Qt::MatchExactly);
        ASSERT_EQ(price.size(), 1);
        fields->setCurrentItem(price[0]);
        trigger(dlg, "actAddField");
        ASSERT_EQ(rules(dlg)->rowCount(), 1);
        EXPECT_EQ(rules(dlg)->item(0, 0)->text(), ToQString("Поле"_w));
        choose(cell(dlg, 0, 2), ">");
        QLineEdit* value = cell(dlg, 0, 3)->lineEdit();
        value->selectAll();
        type(value, "100");
        emit value->editingFinished();
        choose(cell(dlg, 0, 5), "clRed");
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    ASSERT_TRUE(ok);
    ASSERT_EQ(grid.Items().Count(), 1);
    EXPECT_EQ(grid.Items().GetItem(0)->Operator(), ">");
    EXPECT_EQ(colours(), (std::vector<std::string>{"clWindowText/clWindow", "clWindowText/clRed", "clWindowText/clWindow"}));
    TColorGrid reloaded;
    reloaded.SetDataSet(&goods);
    reloaded.SetRegPath(grid.RegPath());
    reloaded.Load();
    EXPECT_TRUE(reloaded.Items().ListEqual(grid.Items()));
}

TEST_F(FrmColorDlgTest, ABadFormulaKeepsTheDialogOpenAndAGoodOneIsTaken)
{
    lm::test::TScriptedDialogs dialogs;
    dialogs.Answer(IDOK);  // the formula's error
    dialogs.Answer(IDOK);  // adding without a template
    const bool ok = customize([](TfrmColorDlg& dlg) {
        trigger(dlg, "actAddExpr");
        auto* editor = dlg.findChild<QPlainTextEdit*>("Editor");
        EXPECT_TRUE(editor->isEnabled());
        type(editor, "<Цена> > ");
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        type(editor, "100 and <Активен>");
        EXPECT_EQ(cell(dlg, 0, 3)->currentText(), QString::fromUtf8("<Цена> > 100 and <Активен>"));
        dlg.findChild<QListWidget*>("lbFields")->setCurrentRow(-1);
        trigger(dlg, "actAddField");
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
    });
    ASSERT_TRUE(ok);
    ASSERT_EQ(dialogs.Messages.size(), 2u);
    EXPECT_EQ(dialogs.Messages[0].Text.rfind("Ошибка в формуле"_w, 0), 0u) << dialogs.Messages[0].Text;
    EXPECT_EQ(dialogs.Messages[1].Text, "Предварительно надо выбрать поле."_w);
    ASSERT_EQ(grid.Items().Count(), 1);
    EXPECT_EQ(grid.Items().GetItem(0)->GetAsString(), "<Цена> > 100 and <Активен>"_w);
}

TEST_F(FrmColorDlgTest, RowsMoveWithinTheEndsAndDefaultsNeedConfirmation)
{
    rule(citField, "NAME", "=", "Аспирин"_w, clWindowText, clRed);
    rule(citField, "QTY", "=", "0", clBlue, clWindow);
    lm::test::TScriptedDialogs dialogs;
    dialogs.Answer(IDNO);
    dialogs.Answer(IDYES);
    const bool ok = customize([](TfrmColorDlg& dlg) {
        QTableWidget* table = rules(dlg);
        table->setCurrentCell(0, 1);
        trigger(dlg, "actUp");
        EXPECT_EQ(table->item(0, 1)->text(), ToQString("Наименование"_w));
        trigger(dlg, "actDown");
        EXPECT_EQ(table->item(1, 1)->text(), ToQString("Наименование"_w));
        EXPECT_EQ(table->currentRow(), 1);
        trigger(dlg, "actDown");
        EXPECT_EQ(table->currentRow(), 1);
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnDefault"), Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnDefault"), Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(grid.Items().Count(), 0);  // the defaults: none were given
}

TEST_F(FrmColorDlgTest, FormulaColouringFollowsTheTokenizer)
{
    QTextDocument document;
    TFormulaHighlighter highlighter(&document);
    highlighter.Tokenizer().SetKeyList({"and", "not", "or", "null"});
    highlighter.Tokenizer().SetFieldList({"Цена"_w});
    document.setPlainText(QString::fromUtf8("<Цена> > 1 and 'x' { note\nstill } or"));
    highlighter.rehighlight();
    auto formatAt = [&](int block, int pos) {
        for (const QTextLayout::FormatRange& r : document.findBlockByNumber(block).layout()->formats())
            if (pos >= r.start && pos < r.start + r.length)
                return r.format;
        return QTextCharFormat();
    };
    const TSynAnyFieldHighlighter& tok = highlighter.Tokenizer();
    EXPECT_EQ(formatAt(0, 1).foreground().color(), ToQColor(tok.FieldAttri.Foreground, QPalette()));
    EXPECT_EQ(formatAt(0, 11).fontWeight(), QFont::Bold);  // and
    EXPECT_EQ(formatAt(0, 16).foreground().color(), ToQColor(tok.StringAttri.Foreground, QPalette()));
    EXPECT_TRUE(formatAt(1, 0).fontItalic());  // the comment goes on in the next line
    EXPECT_EQ(formatAt(1, 8).fontWeight(), QFont::Bold);  // or, after the comment closed
}

TEST_F(FrmColorDlgTest, TheGridPaintsEveryVisibleRowInItsCalcColors)
{
    rule(citField, "PRICE", ">", "100", clWindowText, clYellow);
    rule(citExpr, "", "", "<Наименование> = 'Бинт'", clWindowText, 0xCAFFCA);
    rule(citField, "QTY", "=", "0", clRed, clWindow);
    rule(citExpr, "", "", "<Активен> and <Кол> > 5", clWindowText, clAqua);
    rule(citField, "ACTIVE", "=", "Нет"_w, clWindowText, clSilver);
    TDataSource source;
    source.SetDataSet(&goods);
    TDBGridEh model;
    model.SetDataSource(&source);
    TQtDBGrid view(&model);
    view.SetOnGetRowColors([this](TColor& font, TColor& back) { grid.CalcColors(font, back); });
    view.resize(700, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setCurrentIndex(QModelIndex());
    const QImage image = view.viewport()->grab().toImage();
    int row = 0;
    goods.ScanRecords([&] {
        TColor font = clWindowText, back = clWindow;
        grid.CalcColors(font, back);
        const QRect rect = view.visualRect(view.Model()->index(row, 0));
        const QColor expected = ToQColor(back, view.palette());
        EXPECT_EQ(image.pixelColor(rect.right() - 2, rect.top() + 2).name(), expected.name()) << "row " << row;
        EXPECT_EQ(view.Model()->index(row, 0).data(Qt::ForegroundRole).value<QColor>().name(),
                  ToQColor(font, view.palette()).name());
        ++row;
    });
    EXPECT_EQ(row, 3);
}
