// The print windows driven with QTest offscreen: the report designer (select, move with the
// mouse and the arrow keys, edit text, undo, save, reopen), the print wizard window (lists,
// strip, "Создать отчет"), the preview (pages, zoom, PDF), the menu in a QMenu; screenshots of
// the wizard, the designer and the preview in <build>/screenshots/ for a person to look at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "../../forms/scripteddialogs.h"
#include "../printfixture.h"
#include "report/designdoc.h"
#include "report/fr2print.h"
#include "report/frxreport.h"
#include "report/menuitem.h"
#include "report/printwizard.h"
#include "report/ui/designcanvas.h"
#include "report/ui/frmpreview.h"
#include "report/ui/frmprintwizard.h"
#include "report/ui/frmreportdesigner.h"
#include "report/ui/qtmenuview.h"
#include "report/frxrenderer.h"
#include "report/ui/frxqtpainter.h"
#include "util/strs_files.h"

using namespace lm;
namespace fs = std::filesystem;

namespace {

// Saves the window's picture; no button or label of it may be squeezed below the size it needs.
void shoot(QWidget& w, const std::string& name)
{
    for (QWidget* child : w.findChildren<QWidget*>())
        if (child->isVisible() && (qobject_cast<QAbstractButton*>(child) || qobject_cast<QLabel*>(child)) &&
            child->objectName().left(5) != "pnCol")
            EXPECT_GE(child->width(), child->minimumSizeHint().width()) << name << ": " << child->objectName().toStdString();
    const fs::path dir = fs::path(LMPACK_BINARY_DIR) / "screenshots";
    fs::create_directories(dir);
    const QString suffix = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? "-x2" : "";
    w.grab().save(QString::fromStdString((dir / name).string()) + suffix + ".png");
}

class PrintWindows : public lmtest::PrintForm {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_report_print_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
        QApplication::setFont(QFont("DejaVu Sans", 9));
        QApplication::setCursorFlashTime(0);
    }
    void SetUp() override
    {
        PrintForm::SetUp();
        menu = new TfrPrintMenu(&form);
        menu->SetName("frPrintMenu");
        menu->LinkComponents();
        menu->CreateFieldList();
        fs::create_directories(folder);
    }
    // A wizard report: country grouped, name, price totalled, a total after every group.
    void makeReport()
    {
        TPrintWizard wizard(*menu);
        for (TObjField* e : std::vector<TObjField*>(wizard.AllFields()))
            if (e->FieldName == "COUNTRY" || e->FieldName == "NAME" || e->FieldName == "PRICE") {
                wizard.AddPrint(e);
                wizard.SetColumnWidth(e->Npp, 160);
            }
        wizard.AddGroup(wizard.Print()[1]);
        wizard.AddSumm(wizard.Print()[2]);
        wizard.SetNoSumAfterOne(true);
        ASSERT_TRUE(wizard.CreateReport());
    }
    static QPoint centre(TDesignCanvas& canvas, const TDesignItem& item)
    {
        return canvas.ToWidget(item.Left + item.Width / 2, item.Top + item.Height / 2);
    }
    static int indexOf(TDesignDoc& doc, const std::string& name)
    {
        for (int i = 0; i < doc.Count(0); ++i)
            if (doc.Item(0, i).Name == name)
                return i;
        return -1;
    }
    TfrPrintMenu* menu;
};

TEST_F(PrintWindows, DesignerMovesEditsUndoesSavesAndReopens)
{
    makeReport();
    auto doc = MakeDesignDoc(*report);
    const std::string file = dir() + "designed.frf";
    TDesignRun run;
    run.OnSave = [&](bool) {
        report->SaveToFile(file);
        return true;
    };
    TfrmReportDesigner designer(*doc, run, "prices");
    designer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&designer));
    TDesignCanvas& canvas = *designer.Canvas();
    const int title = indexOf(*doc, "MemoTitle1");
    const TDesignItem before = doc->Item(0, title);

    // Select and drag the title 24 units right and 8 down, then one more with the arrow key.
    const QPoint at = centre(canvas, before);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, at);
    QTest::mouseMove(&canvas, at + QPoint(12, 4));
    QTest::mouseMove(&canvas, at + QPoint(24, 8));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, at + QPoint(24, 8));
    ASSERT_EQ(canvas.Selected(), title);
    QTest::keyClick(&canvas, Qt::Key_Right);
    EXPECT_EQ(doc->Item(0, title).Left, before.Left + 25);
    EXPECT_EQ(doc->Item(0, title).Top, before.Top + 8);
    EXPECT_EQ(designer.findChild<QSpinBox*>("seLeft")->value(), static_cast<int>(before.Left) + 25);

    // New heading text, then undone; the move stays.
    auto* text = designer.findChild<QPlainTextEdit*>("edText");
    text->setPlainText(QString::fromUtf8("Прайс-лист"));
    QTest::mouseClick(designer.findChild<QPushButton*>("btnApplyText"), Qt::LeftButton);
    EXPECT_EQ(cp1251ToUtf8(doc->Text(0, title)), "Прайс-лист");
    shoot(designer, "report_designer");
    QTest::mouseClick(designer.findChild<QToolButton*>("btnUndo"), Qt::LeftButton);
    EXPECT_EQ(cp1251ToUtf8(doc->Text(0, title)), "Заголовок");
    EXPECT_TRUE(designer.CanRedo());
    QTest::mouseClick(designer.findChild<QToolButton*>("btnRedo"), Qt::LeftButton);
    EXPECT_EQ(cp1251ToUtf8(doc->Text(0, title)), "Прайс-лист");

    QTest::mouseClick(designer.findChild<QToolButton*>("btnSave"), Qt::LeftButton);
    EXPECT_FALSE(designer.Modified());
    designer.close();
    TfrReport reopened;
    reopened.LoadFromFile(file);
    const TfrView* memo = reopened.Pages.at(0)->FindObject("MemoTitle1");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->x, before.Left + 25);
    EXPECT_EQ(cp1251ToUtf8(memo->Memo.at(0)), "Прайс-лист");
}

TEST_F(PrintWindows, MovingABandTakesItsMemosAlongAndVersion3MemosChangeBands)
{
    makeReport();
    auto doc = MakeDesignDoc(*report);
    const int data = indexOf(*doc, "MasterData1"), cell = indexOf(*doc, "Memo1");
    const TDesignItem band = doc->Item(0, data), memo = doc->Item(0, cell);
    doc->SetBounds(0, data, band.Left, band.Top + 40, band.Width, band.Height);
    EXPECT_EQ(doc->Item(0, indexOf(*doc, "Memo1")).Top, memo.Top + 40);

    // Converted, the memo is a child of its band; dropped into the summary it moves there.
    TfrxReport converted;
    converted.LoadFromStream(report->SaveToStream());
    auto doc3 = MakeDesignDoc(converted);
    const TDesignItem summary = doc3->Item(0, indexOf(*doc3, "ReportSummary1"));
    doc3->SetBounds(0, indexOf(*doc3, "Memo1"), 300, summary.Top + 2, 80, 14);
    EXPECT_EQ(converted.FindObject("Memo1")->Parent()->Name(), "ReportSummary1");
    const TDesignItem moved = doc3->Item(0, indexOf(*doc3, "Memo1"));
    EXPECT_EQ(moved.Top, summary.Top + 2);
    EXPECT_EQ(moved.Left, 300);
    const std::string before = doc3->Snapshot();
    doc3->SetText(0, indexOf(*doc3, "Memo1"), "x");
    doc3->Restore(before);
    EXPECT_EQ(converted.FindObject("Memo1")->Prop("Text"), "[" + std::string("Страна"_w) + "]");
}

TEST_F(PrintWindows, WizardWindowBuildsTheListsAndCreatesTheReport)
{
    lm::test::TScriptedDialogs dialogs;
    TfrmPrintWizard wizard(*menu);
    wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    auto* all = wizard.findChild<QListWidget*>("lbAllFields");
    auto* print = wizard.findChild<QListWidget*>("lbPrint");
    ASSERT_EQ(all->count(), 6);
    for (const char* caption : {"Страна", "Наименование товара", "Цена"}) {
        const auto found = all->findItems(QString::fromUtf8(caption), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << caption;
        all->setCurrentItem(found[0]);
        QTest::mouseClick(wizard.findChild<QToolButton*>("bbAddPrint"), Qt::LeftButton);
    }
    EXPECT_EQ(print->count(), 3);
    print->setCurrentRow(1);
    QTest::mouseClick(wizard.findChild<QToolButton*>("bbAddGroup"), Qt::LeftButton);
    EXPECT_EQ(print->item(0)->text(), QString::fromUtf8("Наименование товара"));
    print->setCurrentRow(2);
    QTest::mouseClick(wizard.findChild<QToolButton*>("bbAddSumm"), Qt::LeftButton);
    ASSERT_EQ(wizard.findChild<QListWidget*>("lbSummReport")->count(), 1);

    // Bold for the price column chosen on the strip.
    const int priceNpp = wizard.Wizard().Print()[2]->Npp;
    auto* panel = wizard.findChild<QLabel*>(QString("pnCol%1").arg(priceNpp));
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel, Qt::LeftButton);
    QTest::mouseClick(wizard.findChild<QToolButton*>("FnB1"), Qt::LeftButton);
    EXPECT_EQ(wizard.Wizard().Print()[2]->Font.Style(), fsBold);
    EXPECT_TRUE(wizard.findChild<QLabel*>("sbStatus")->text().startsWith("FieldName PRICE"));
    shoot(wizard, "print_wizard");

    dialogs.ChooseFile(dir() + "wizard.frf");
    QTest::mouseClick(wizard.findChild<QPushButton*>("bbCreate"), Qt::LeftButton);
    EXPECT_TRUE(fs::exists(folder / "wizard.frf"));
    EXPECT_TRUE(fs::exists(folder / "wizard.wzd.xml"));
    EXPECT_EQ(cp1251ToUtf8(dialogs.FileRequests.at(0).Filter), "Файлы отчета|*.frf|Все файлы |*.*");
    EXPECT_FALSE(wizard.isVisible());
}

TEST_F(PrintWindows, PreviewTurnsPagesZoomsAndExportsPdf)
{
    makeReport();
    for (int i = 6; i <= 120; ++i)
        goods->AppendRecord({i, std::string("Товар "_w) + std::to_string(i), std::string("Россия"_w), i * 1.5, i,
                             Variant::FromDate(EncodeDate(2026, 1, 1 + i % 28))});
    auto printable = frConvertForPrint(*report, &form, {goods}, grid);
    printable->Variables.push_back({"PredName", "''"});
    TfrxQtPainter measure;
    TfrxPreparedPages pages;
    TfrxRenderer(*printable, measure).Prepare(pages);
    ASSERT_GT(pages.Count(), 1);
    TfrmPreview preview(pages, "prices");
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    shoot(preview, "report_preview");
    QTest::mouseClick(preview.findChild<QToolButton*>("btnNext"), Qt::LeftButton);
    EXPECT_EQ(preview.PageIndex(), 1);
    QTest::mouseClick(preview.findChild<QToolButton*>("btnLast"), Qt::LeftButton);
    EXPECT_EQ(preview.PageIndex(), pages.Count() - 1);
    QTest::mouseClick(preview.findChild<QToolButton*>("btnNext"), Qt::LeftButton);
    EXPECT_EQ(preview.PageIndex(), pages.Count() - 1);
    auto* zoom = preview.findChild<QComboBox*>("cbZoom");
    const int width = preview.findChild<QLabel*>("lblPage")->pixmap().width();
    zoom->setCurrentIndex(0);
    emit zoom->activated(0);
    EXPECT_EQ(preview.Zoom(), 50);
    EXPECT_NEAR(preview.findChild<QLabel*>("lblPage")->pixmap().width(), width / 2, 2);

    lm::test::TScriptedDialogs dialogs;
    dialogs.ChooseFile(dir() + "preview");
    EXPECT_TRUE(preview.ExportPdf());
    EXPECT_TRUE(fs::exists(folder / "preview.pdf"));
}

TEST_F(PrintWindows, MenuViewListsTheEntriesAndRunsThemAfterTheMenuCloses)
{
    TMenuItem root;
    int clicked = -1;
    NewMenuItem(&form, &root, "Первый"_w, 0, [&](TMenuItem* s) { clicked = s->Tag(); });
    NewMenuItem(&form, &root, "-");
    QMenu qmenu;
    TQtMenuView view(root, &qmenu);
    NewMenuItem(&form, &root, "Второй"_w, 2, [&](TMenuItem* s) { clicked = s->Tag(); });
    ASSERT_EQ(qmenu.actions().size(), 3);
    EXPECT_TRUE(qmenu.actions()[1]->isSeparator());
    EXPECT_EQ(qmenu.actions()[2]->text(), QString::fromUtf8("Второй"));
    qmenu.actions()[2]->trigger();
    EXPECT_EQ(clicked, -1);
    QApplication::processEvents();
    EXPECT_EQ(clicked, 2);
}

} // namespace
