// The filter editor and its name dialog driven with QTest over the demo database: typing,
// buttons, OK, Save and Cancel, the messages, the stored settings, and the records the dialog's
// text selects compared with what lmpack filter selects for the same text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/lmtranslate.h"
#include "db/demodb.h"
#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "filter/ufilter.h"
#include "filter/ufilterdlgmodel.h"
#include "filter/ui/frmsaveopendlg.h"
#include "filter/ui/frmufilter.h"
#include "host/registry.h"
#include "host/sqliteregistrystore.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

#include "../../cli/clirun.h"
#include "../../forms/scripteddialogs.h"

using namespace lm;
namespace fs = std::filesystem;

namespace {

const char* const kQuery = "SELECT G.ID, G.NAME, G.PRICE, G.ACTIVE FROM GOODS G";
const std::string kRegKey = "\\Software\\Lumora\\Test\\Goods";

class FrmUFilterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_filter_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
        dir() = fs::temp_directory_path() / ("lmpack-ufilter-ui-" + std::to_string(getpid()));
        fs::remove_all(dir());
        fs::create_directories(dir());
        CreateDemoDatabase(db(), 400);
        // The command line gets a copy: the embedded engine keeps the test's file locked.
        fs::copy_file(db(), cliDb());
    }
    static void TearDownTestSuite() { fs::remove_all(dir()); }
    static fs::path& dir()
    {
        static fs::path d;
        return d;
    }
    static std::string db() { return (dir() / "demo.fdb").string(); }
    static std::string cliDb() { return (dir() / "demo-cli.fdb").string(); }

    void SetUp() override
    {
        SetTranslateLocale("RU");
        fs::remove(dir() / "registry.db");
        m_previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>((dir() / "registry.db").string()));
        database.SetDatabaseName(db());
        database.Open();
        tr.SetDefaultDatabase(&database);
        goods.SetDatabase(&database);
        goods.SetTransaction(&tr);
        goods.SetSelectSQL(kQuery);
        goods.Open();
        goods.FieldByName("NAME")->SetDisplayLabel("Наименование"_w);
        goods.FieldByName("PRICE")->SetDisplayLabel("Цена"_w);
        goods.FieldByName("ACTIVE")->SetDisplayLabel("Активен"_w);
        filter.SetDataSet(&goods);
        filter.SetRegKey(kRegKey);
        filter.OnApply = [this](TUFilter* sender, bool state) {
            goods.SetFiltered(false);
            goods.SetFilter(state ? sender->FilterSQL() : std::string());
            goods.SetFiltered(state);
        };
        filter.Prepare();
        TfrmUFilter::Install();
    }
    void TearDown() override
    {
        SetUFilterDialog({});
        SetDefaultRegistryStore(std::move(m_previous));
    }

    // Runs Customize; `steps` acts on the dialog once it is up.
    void customize(std::function<void(TfrmUFilter&)> steps)
    {
        QTimer::singleShot(0, [steps] {
            TfrmUFilter* dlg = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] { return (dlg = qobject_cast<TfrmUFilter*>(QApplication::activeModalWidget())); }));
            if (!dlg)
                return;
            EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));
            steps(*dlg);
            if (dlg->isVisible() && QApplication::activeModalWidget() == dlg)
                dlg->reject();
        });
        filter.Customize();
    }
    // Types UTF-8 text into the focused widget one character at a time.
    static void type(QWidget* w, const char* utf8)
    {
        for (const QChar ch : QString::fromUtf8(utf8))
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
    }
    static QPushButton* button(QWidget& dlg, const char* name) { return dlg.findChild<QPushButton*>(name); }
    static QPlainTextEdit* memo(QWidget& dlg) { return dlg.findChild<QPlainTextEdit*>("mmFilter"); }
    // Answers the next modal dialog (the name dialog) with `steps`; a dialog they leave open
    // fails the test and is closed.
    static void whenNameDialog(std::function<void(QWidget&)> steps)
    {
        QTimer::singleShot(0, [steps] {
            TfrmSaveOpenDlg* w = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] { return (w = qobject_cast<TfrmSaveOpenDlg*>(QApplication::activeModalWidget())); }));
            if (!w)
                return;
            EXPECT_TRUE(QTest::qWaitForWindowActive(w));
            steps(*w);
            if (w->isVisible()) {
                ADD_FAILURE() << "the name dialog stayed open";
                w->reject();
            }
        });
    }

    TFIBDatabase database;
    TFIBTransaction tr;
    TpFIBDataSet goods;
    TUFilter filter;
    std::unique_ptr<TRegistryStore> m_previous;
};

int cliRows(const std::string& db, const std::string& expr)
{
    const auto r = lmtest::runLmpack({"filter", "--db", db, "--query", kQuery, "--label", "NAME=Наименование",
                                      "--label", "PRICE=Цена", "--label", "ACTIVE=Активен", "--run", expr});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto at = r.out.find("rows: ");
    return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + 6));
}

} // namespace

TEST_F(FrmUFilterTest, TypedTextAppliedSelectsWhatTheCommandLineSelects)
{
    customize([](TfrmUFilter& dlg) {
        EXPECT_EQ(dlg.windowTitle(), ToQString("Фильтр"_w));
        QPlainTextEdit* mm = memo(dlg);
        EXPECT_TRUE(mm->hasFocus());
        // A field button, an operator button, then typed text.
        auto* name = dlg.findChild<QToolButton*>(ToQString("btnEntry_Наименование"_w));
        ASSERT_NE(name, nullptr);
        QTest::mouseClick(name, Qt::LeftButton);
        type(mm, " = '*ин*' ");
        for (QToolButton* b : dlg.findChildren<QToolButton*>())
            if (b->text() == ToQString("ИЛИ"_w))
                QTest::mouseClick(b, Qt::LeftButton);
        type(mm, "[Цена] > 300");
        EXPECT_EQ(mm->toPlainText(), QString::fromUtf8("[Наименование] = '*ин*'  ИЛИ [Цена] > 300"));
        QTest::mouseClick(button(dlg, "btnOk"), Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_TRUE(filter.Active());
    const int rows = cliRows(cliDb(), "[Наименование] = '*ин*'  ИЛИ [Цена] > 300");
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 400);
    EXPECT_EQ(goods.RecordCount(), rows);
}

TEST_F(FrmUFilterTest, ATextThatDoesNotCompileKeepsTheDialogOpenWithTheMessage)
{
    lm::test::TScriptedDialogs dialogs;
    dialogs.Answer(IDOK);
    customize([](TfrmUFilter& dlg) {
        type(memo(dlg), "[Цена] = = 5");
        QTest::mouseClick(button(dlg, "btnOk"), Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(button(dlg, "btnCancel"), Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
    });
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text.rfind("Ошибка составления фильтра"_w, 0), 0u) << dialogs.Messages[0].Text;
    EXPECT_FALSE(filter.Active());
    EXPECT_EQ(goods.RecordCount(), 400);
}

TEST_F(FrmUFilterTest, SaveStoresTextAndOptionsAndCancelSwitchesTheFilterOff)
{
    customize([](TfrmUFilter& dlg) {
        type(memo(dlg), "[Активен]");
        dlg.findChild<QCheckBox*>("cbIgnoreCase")->setChecked(true);
        dlg.findChild<QCheckBox*>("cbOnShow")->setChecked(true);
        QTest::mouseClick(button(dlg, "btnSave"), Qt::LeftButton);
    });
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRegKey, false));
        EXPECT_EQ(reg.ReadString("UFilter"), "[Активен]"_w);
        EXPECT_TRUE(reg.ReadBool("UFilterIgnoreCase"));
        EXPECT_TRUE(reg.ReadBool("UFilterOnShow"));
        EXPECT_FALSE(reg.ReadBool("UFilterPreferSQL"));
        EXPECT_TRUE(reg.ReadBool("UFilterOn"));
    }
    EXPECT_TRUE(filter.Active());
    EXPECT_LT(goods.RecordCount(), 400);

    customize([](TfrmUFilter& dlg) {
        EXPECT_EQ(memo(dlg)->toPlainText(), ToQString("[Активен]"_w));
        EXPECT_TRUE(dlg.findChild<QCheckBox*>("cbIgnoreCase")->isChecked());
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    EXPECT_FALSE(filter.Active());
    EXPECT_EQ(goods.RecordCount(), 400);
}

TEST_F(FrmUFilterTest, OperatorButtonsInsertAtTheCursorAndQuotesPutItBetween)
{
    customize([](TfrmUFilter& dlg) {
        QPlainTextEdit* mm = memo(dlg);
        type(mm, "[Наименование] = ");
        for (QToolButton* b : dlg.findChildren<QToolButton*>())
            if (b->text() == "'_'") {
                EXPECT_EQ(b->toolTip(), ToQString("Кавычки одинарные"_w));
                QTest::mouseClick(b, Qt::LeftButton);
            }
        type(mm, "Йод");
        EXPECT_EQ(mm->toPlainText(), QString::fromUtf8("[Наименование] = 'Йод'"));
        // A character outside the code page is not typed at all.
        type(mm, "€😀");
        EXPECT_EQ(mm->toPlainText(), QString::fromUtf8("[Наименование] = 'Йод€'"));
        QTest::mouseClick(button(dlg, "btnClear"), Qt::LeftButton);
        EXPECT_TRUE(mm->toPlainText().isEmpty());
    });
}

TEST_F(FrmUFilterTest, NamedFiltersAreAddedWithConfirmationLoadedAndDeleted)
{
    lm::test::TScriptedDialogs dialogs;
    filter.SaveFilterAs("Дорогие"_w, "[Цена] > 500"_w);
    dialogs.Answer(IDNO);   // first: keep the old one, the dialog stays
    dialogs.Answer(IDYES);  // then: overwrite
    customize([](TfrmUFilter& dlg) {
        type(memo(dlg), "[Цена] > 700");
        whenNameDialog([](QWidget& names) {
            EXPECT_EQ(names.windowTitle(), ToQString("Сохранить фильтр"_w));
            auto* edit = names.findChild<QLineEdit*>("edName");
            EXPECT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
            type(edit, "Дорогие");
            QTest::mouseClick(names.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
            EXPECT_TRUE(names.isVisible());
            QTest::mouseClick(names.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        QTest::mouseClick(button(dlg, "btnAdd"), Qt::LeftButton);
        EXPECT_EQ(dlg.windowTitle(), ToQString("Фильтр: Дорогие"_w));

        QTest::mouseClick(button(dlg, "btnClear"), Qt::LeftButton);
        whenNameDialog([](QWidget& names) {
            auto* list = names.findChild<QListWidget*>("lbList");
            ASSERT_EQ(list->count(), 1);
            EXPECT_TRUE(names.findChild<QLineEdit*>("edName")->isReadOnly());
            const QPoint at = list->visualItemRect(list->item(0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            EXPECT_EQ(names.findChild<QLineEdit*>("edName")->text(), ToQString("Дорогие"_w));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        });
        QTest::mouseClick(button(dlg, "btnLoad"), Qt::LeftButton);
        EXPECT_EQ(memo(dlg)->toPlainText(), "[" + ToQString("Цена"_w) + "] > 700");

        whenNameDialog([](QWidget& names) {
            auto* list = names.findChild<QListWidget*>("lbList");
            list->item(0)->setSelected(true);
            QTest::mouseClick(names.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        QTest::mouseClick(button(dlg, "btnDelete"), Qt::LeftButton);
        EXPECT_EQ(dlg.windowTitle(), ToQString("Фильтр"_w));
    });
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Сохранить под уже существующем именем?"_w,
                                                          "Сохранить под уже существующем именем?"_w}));
    EXPECT_EQ(filter.LoadFilter("Дорогие"_w), "");
}

TEST_F(FrmUFilterTest, TheDefaultLineLoadsTheDefaultFilterAndAnEmptyNameIsRefused)
{
    {
        TRegistry reg;
        reg.OpenKey(kRegKey, true);
        reg.WriteString("UFilter", "[Цена] < 10"_w);
    }
    std::vector<std::string> list;
    filter.ReadFilterList(true, list);
    ASSERT_EQ(list.size(), 1u);
    TUFilterDlgModel model(filter);
    EXPECT_EQ(model.Load(list[0]), "[Цена] < 10"_w);

    lm::test::TScriptedDialogs dialogs;
    dialogs.Answer(IDOK);
    EXPECT_FALSE(TSaveOpenDlgModel({}, TSaveOpenDlgModel::doSave).CanClose("   "));
    EXPECT_TRUE(TSaveOpenDlgModel({}, TSaveOpenDlgModel::doDelete).CanClose(""));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Укажите имя"_w});
    EXPECT_EQ(TSaveOpenDlgModel({}, TSaveOpenDlgModel::doDelete).Caption(), "Удалить фильтр"_w);
}

TEST_F(FrmUFilterTest, EntriesWithoutCategoryGoToTheFieldsPageUnlessItIsOff)
{
    TUFilterDlgModel model(filter);
    ASSERT_EQ(model.Pages().size(), 1u);
    EXPECT_EQ(model.Pages()[0].Caption, "Поля"_w);
    EXPECT_EQ(static_cast<int>(model.Pages()[0].Entries.size()), filter.Entries()->Count());
    filter.Entries()->GetEntry(0)->SetCategory("Цены"_w);
    filter.SetDefaultFieldsPage(false);
    TUFilterDlgModel without(filter);
    ASSERT_EQ(without.Pages().size(), 1u);
    EXPECT_EQ(without.Pages()[0].Caption, "Цены"_w);
    EXPECT_EQ(without.Pages()[0].Entries.size(), 1u);
    filter.SetDefaultFieldsPage(true);
    TUFilterDlgModel both(filter);
    EXPECT_EQ(both.Pages()[0].Caption, "Поля"_w);  // a later category goes in front
    EXPECT_EQ(both.Pages()[1].Caption, "Цены"_w);
}
