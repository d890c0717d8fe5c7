// The context search, multi-field list and sort dialogs driven with QTest over the demo
// database: typed values, the buttons and shortcuts, what the dataset shows afterwards and
// what is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/globals.h"
#include "app/lmtranslate.h"
#include "filter/contextfilter.h"
#include "filter/ui/frmcfilter.h"
#include "filter/ui/frmcontextmultidlg.h"
#include "filter/ui/frmsort.h"
#include "filter/ui/gridfilterlinks.h"
#include "app/ui/translatefonts.h"
#include "host/datasource.h"
#include "host/ui/qtdbgrid.h"
#include "host/ui/qtgridmodel.h"
#include "filter/usersort.h"
#include "host/registry.h"
#include "host/sqliteregistrystore.h"
#include "util/ui/qcp1251.h"

#include "../../forms/scripteddialogs.h"
#include "../contextfixture.h"

using namespace lm;
namespace fs = std::filesystem;

namespace {

class SearchDialogsTest : public lmtest::GoodsDbTest {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_filter_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
        GoodsDbTest::SetUpTestSuite();
    }
    void SetUp() override
    {
        GoodsDbTest::SetUp();
        SetTranslateLocale("RU");
        fs::remove(dir() / "registry.db");
        m_previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>((dir() / "registry.db").string()));
        m_globals = std::make_unique<TGlobalVars>();
        m_globals->RegRoot = "\\Software\\Lumora\\Test";
        all = goods.RecordCount();
        TfrmCFilter::Install();
        TfrmSort::Install();
    }
    void TearDown() override
    {
        SetContextSearchDialog({});
        SetSortDialog({});
        m_globals.reset();
        SetDefaultRegistryStore(std::move(m_previous));
    }
    template <typename Dialog>
    static void whenModal(std::function<void(Dialog&)> steps)
    {
        QTimer::singleShot(0, [steps] {
            Dialog* dlg = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] { return (dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget())); }));
            if (!dlg)
                return;
            EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));
            steps(*dlg);
            if (dlg->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                dlg->reject();
            }
        });
    }
    static void type(QWidget* w, const char* utf8)
    {
        for (const QChar ch : QString::fromUtf8(utf8))
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
    }
    std::vector<std::string> names()
    {
        std::vector<std::string> out;
        goods.ScanRecords([&] { out.push_back(upperCase(goods.FieldByName("NAME")->AsString())); });
        return out;
    }
    static int countContaining(const std::vector<std::string>& all, const std::vector<std::string>& words)
    {
        int n = 0;
        for (const std::string& s : all)
            n += std::all_of(words.begin(), words.end(), [&](const std::string& w) { return s.find(w) != std::string::npos; });
        return n;
    }

    int all = 0;
    std::unique_ptr<TRegistryStore> m_previous;
    std::unique_ptr<TGlobalVars> m_globals;
};

} // namespace

TEST_F(SearchDialogsTest, SearchThenSearchWithinDeleteTheLastAndCancelClearsAll)
{
    TContextFilter search;
    search.SetDataSet(&goods);
    const std::vector<std::string> before = names();
    const int withA = countContaining(before, {"А"_w});
    const int withAO = countContaining(before, {"А"_w, "О"_w});
    ASSERT_GT(withA, withAO);

    whenModal<TfrmCFilter>([](TfrmCFilter& dlg) {
        EXPECT_EQ(dlg.windowTitle(), ToQString("Поиск по контексту"_w));
        EXPECT_EQ(dlg.findChild<QComboBox*>("cbField")->currentText(), ToQString("Наименование"_w));
        QLineEdit* value = dlg.findChild<QComboBox*>("lcValue")->lineEdit();
        type(value, "а");
        QTest::keyClick(value, Qt::Key_Return);
    });
    search.ExecDlg(goods.FieldByName("NAME"));
    EXPECT_EQ(goods.RecordCount(), withA);

    whenModal<TfrmCFilter>([](TfrmCFilter& dlg) {
        auto* memo = dlg.findChild<QPlainTextEdit*>("mmConditions");
        EXPECT_EQ(memo->toPlainText(), ToQString("[Наименование]=а"_w));
        QLineEdit* value = dlg.findChild<QComboBox*>("lcValue")->lineEdit();
        type(value, "о");
        QTest::keyClick(value, Qt::Key_Return, Qt::ControlModifier);  // within what was found
    });
    search.ExecDlg(goods.FieldByName("NAME"));
    EXPECT_EQ(goods.RecordCount(), withAO);

    whenModal<TfrmCFilter>([](TfrmCFilter& dlg) {
        auto* memo = dlg.findChild<QPlainTextEdit*>("mmConditions");
        EXPECT_EQ(memo->toPlainText(), ToQString("[Наименование]=а И [Наименование]=о"_w));
        QLineEdit* value = dlg.findChild<QComboBox*>("lcValue")->lineEdit();
        QTest::keyClick(value, Qt::Key_Backspace, Qt::ControlModifier);
        EXPECT_EQ(memo->toPlainText(), ToQString("[Наименование]=а"_w));
        QTest::keyClick(value, Qt::Key_Return);  // empty: within what was found, nothing added
    });
    search.ExecDlg(goods.FieldByName("NAME"));
    EXPECT_EQ(goods.RecordCount(), withA);

    whenModal<TfrmCFilter>([](TfrmCFilter& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    search.ExecDlg(goods.FieldByName("NAME"));
    EXPECT_EQ(goods.RecordCount(), all);
}

TEST_F(SearchDialogsTest, MultiFieldListTicksUnticksAndStoresTheChoice)
{
    TContextFilter search;
    search.SetName("cfGoods");
    search.SetRegKey("Goods");
    search.SetDataSet(&goods);
    search.SetMultiFields("NAME;NOTE;");
    TContextMultiModel model(search);
    whenModal<TfrmContextMultiDlg>([](TfrmContextMultiDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), ToQString("Список полей мульти поиска"_w));
        auto* list = dlg.findChild<QListWidget*>("lbFields");
        int ticked = 0;
        for (int i = 0; i < list->count(); ++i)
            ticked += list->item(i)->checkState() == Qt::Checked;
        EXPECT_EQ(ticked, 2);
        dlg.findChild<QAction*>("actUncheckAll")->trigger();
        for (int i = 0; i < list->count(); ++i) {
            EXPECT_EQ(list->item(i)->checkState(), Qt::Unchecked);
            if (list->item(i)->text() == ToQString("Наименование"_w))
                list->item(i)->setCheckState(Qt::Checked);
        }
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(TfrmContextMultiDlg::Execute(model));
    EXPECT_EQ(search.MultiFields(), "NAME;");
    EXPECT_EQ(LMReadRegStr("MultiFields", "", search.MultiFieldsKey()), "NAME;");
}

TEST_F(SearchDialogsTest, SortDialogAppliesTheChosenOrderAndSavesItToAFile)
{
    TUserSort sort;
    sort.SetDS(&goods);
    sort.SetRegKey("\\Software\\Lumora\\Test\\Sort");
    lm::test::TScriptedDialogs dialogs;
    const fs::path file = dir() / "goods.srt";
    dialogs.Answer(IDOK);                     // "Не задано ни одного поля"
    dialogs.ChooseFile((dir() / "goods").string());  // the extension is added
    whenModal<TfrmSort>([](TfrmSort& dlg) {
        EXPECT_EQ(dlg.windowTitle(), ToQString("Сортировка"_w));
        auto* saveFile = dlg.findChild<QPushButton*>("btnSaveToFile");
        EXPECT_TRUE(saveFile->isVisible());
        QTest::mouseClick(saveFile, Qt::LeftButton);  // nothing chosen yet
        auto* fields = dlg.findChild<QListWidget*>("lbFields");
        auto* sortList = dlg.findChild<QListWidget*>("lbSort");
        const auto found = fields->findItems(ToQString("Наименование"_w), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        fields->setCurrentItem(found[0]);
        QTest::mouseClick(dlg.findChild<QToolButton*>("btnAdd"), Qt::LeftButton);
        ASSERT_EQ(sortList->count(), 1);
        EXPECT_TRUE(fields->findItems(ToQString("Наименование"_w), Qt::MatchExactly).isEmpty());
        sortList->item(0)->setCheckState(Qt::Checked);  // descending
        QTest::mouseClick(saveFile, Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton*>("btnSave"), Qt::LeftButton);
    });
    sort.ExecDlg("", true);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Не задано ни одного поля"_w});
    ASSERT_EQ(dialogs.FileRequests.size(), 1u);
    EXPECT_EQ(dialogs.FileRequests[0].Caption, "Сохранить сортировку в файл"_w);
    std::ifstream in(file, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "NAME;\r\n0\r\n");

    const std::vector<std::string> shown = names();
    EXPECT_TRUE(std::is_sorted(shown.rbegin(), shown.rend())) << "descending by name";
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Lumora\\Test\\Sort", false));
    EXPECT_EQ(reg.ReadString("Fields"), "NAME;");
    EXPECT_EQ(reg.ReadString("Direct"), "0");
}

TEST_F(SearchDialogsTest, TypingInTheGridSearchesItsColumnAndTheTitleShowsTheSort)
{
    TContextFilter search;
    search.SetDataSet(&goods);
    TUserSort sort;
    sort.SetDS(&goods);
    TDataSource source;
    source.SetDataSet(&goods);
    TDBGridEh model;
    model.SetDataSource(&source);
    TQtDBGrid grid(&model);
    LinkGridSearch(grid, search);
    LinkGridSort(grid, sort);
    grid.resize(600, 300);
    grid.show();
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    const int nameColumn = grid.Model()->SectionOf(model.FieldColumns("NAME"));
    grid.setCurrentIndex(grid.Model()->index(0, nameColumn));
    const int withA = countContaining(names(), {"А"_w});

    whenModal<TfrmCFilter>([](TfrmCFilter& dlg) {
        EXPECT_EQ(dlg.findChild<QComboBox*>("cbField")->currentText(), ToQString("Наименование"_w));
        QLineEdit* value = dlg.findChild<QComboBox*>("lcValue")->lineEdit();
        EXPECT_EQ(value->text(), QString::fromUtf8("а"));
        QTest::keyClick(value, Qt::Key_Return);
    });
    QTest::sendKeyEvent(QTest::Click, &grid, Qt::Key_unknown, QString::fromUtf8("а"), {});
    EXPECT_EQ(goods.RecordCount(), withA);
    EXPECT_EQ(grid.Model()->rowCount(), withA);

    EXPECT_EQ(grid.Header()->SortMark(nameColumn), smNone);
    sort.DoSort("NAME", false);
    EXPECT_EQ(grid.Header()->SortMark(nameColumn), smDown);
    EXPECT_EQ(grid.Header()->SortMark(0), smNone);
    search.Clear();
}

TEST_F(SearchDialogsTest, KazakhFieldsGetTheLocaleFontOnlyUnderTheKazakhLocale)
{
    TDataSource source;
    source.SetDataSet(&goods);
    TDBGridEh model;
    model.SetDataSource(&source);
    QWidget form;
    auto* grid = new TQtDBGrid(&model, &form);
    auto* editor = new QLineEdit(&form);
    editor->setProperty(kFieldNameProperty, "name");
    const std::string font = "LM Microsoft Sans Serif KZ";
    SetTranslateFonts(&form, "RU", "NAME;NOTE", font);
    EXPECT_NE(model.FieldColumns("NAME")->Font().Name(), font);
    SetTranslateFonts(&form, "KZ", "NAME;NOTE", font);
    EXPECT_EQ(model.FieldColumns("NAME")->Font().Name(), font);
    EXPECT_EQ(model.FieldColumns("NOTE")->Font().Name(), font);
    EXPECT_NE(model.FieldColumns("ID")->Font().Name(), font);
    EXPECT_EQ(editor->font().family(), ToQString(font));
    const int nameColumn = grid->Model()->SectionOf(model.FieldColumns("NAME"));
    EXPECT_EQ(grid->Model()->index(0, nameColumn).data(Qt::FontRole).value<QFont>().family(), ToQString(font));
}
