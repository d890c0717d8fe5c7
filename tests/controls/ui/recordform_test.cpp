// A record form over a goods record of a real demo database: what Enter and Escape do under the
// form settings, the settings dialog, the check box writing its field at once, and the checked
// combo of vendors giving its integer keys.
#include "uifixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QRadioButton>
#include <QSignalSpy>

#include "../../db/demofixture.h"
#include "controls/ui/qtcheckcombo.h"
#include "db/fibdataset.h"
#include "goodsform.h"

using namespace lm;
using namespace lm::test;

namespace {

class RecordFormDb : public lmtest::DemoDbTest {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        DemoDbTest::SetUpTestSuite();
    }
    void SetUp() override
    {
        DemoDbTest::SetUp();
        m_store = std::filesystem::temp_directory_path() / ("lmpack-recform-" + std::to_string(getpid()));
        std::filesystem::remove_all(m_store);
        m_previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>((m_store / "registry.db").string()));
        goods.SetTransaction(&read);
        // a dataset over a read-only transaction writes through a transaction of its own
        goods.SetUpdateTransaction(&write);
        goods.SetSelectSQL("select * from goods where id = 7");
        goods.Open();
        MemGoods::Label(goods);
        source.SetDataSet(&goods);
    }
    void TearDown() override
    {
        SetDefaultRegistryStore(std::move(m_previous));
        std::filesystem::remove_all(m_store);
    }
    std::unique_ptr<GoodsForm> open()
    {
        auto form = std::make_unique<GoodsForm>(&source);
        form->cpanel->ReadFromReg(kGoodsFormKey);
        form->props->ReadFromReg(kGoodsFormKey);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    TpFIBDataSet goods;
    TDataSource source;

private:
    std::filesystem::path m_store;
    std::unique_ptr<TRegistryStore> m_previous;
};

} // namespace

TEST_F(RecordFormDb, ShowsTheRecordAndTheCheckBoxWritesAtOnce)
{
    auto f = open();
    auto* name = f->control<QLineEdit>(f->name);
    EXPECT_EQ(name->text(), ToQString(column("select name from goods where id = 7").at(0)));
    auto* active = f->control<TQtDBCheckBoxLM>(f->active);
    const bool was = goods.FBN("ACTIVE")->AsBoolean();
    EXPECT_EQ(active->isChecked(), was);
    EXPECT_EQ(active->text(), Q("Активен"_w));

    QTest::mouseClick(active, Qt::LeftButton);
    EXPECT_EQ(goods.State(), dsEdit);
    EXPECT_EQ(goods.FBN("ACTIVE")->AsBoolean(), !was);
    EXPECT_EQ(active->isChecked(), !was);
    QTest::keyClick(active, Qt::Key_Space);
    EXPECT_EQ(goods.FBN("ACTIVE")->AsBoolean(), was);
    goods.Cancel();
}

TEST_F(RecordFormDb, EnterAndEscapeFollowTheFormSettings)
{
    {
        auto f = open();
        // design: Enter and Escape do nothing
        f->control<QWidget>(f->name)->setFocus();
        QTest::keyClick(f->control<QWidget>(f->name), Qt::Key_Return);
        QTest::keyClick(f->control<QWidget>(f->name), Qt::Key_Escape);
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->control<QWidget>(f->name)->hasFocus());

        WhenModal([](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), Q("Настройка формы"_w));
            dlg->findChild<QRadioButton*>("rgEnter1")->click();
            dlg->findChild<QRadioButton*>("rgEsc1")->click();
            auto* insert = dlg->findChild<QComboBox*>("cbInsert");
            EXPECT_EQ(insert->itemText(2), Q("Цена"_w));
            insert->setCurrentIndex(2);
            dlg->findChild<QCheckBox*>("cbAutoInsert")->click();
            QTest::mouseClick(dlg->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        EXPECT_TRUE(f->props->CustomDlg());
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
        f->control<QWidget>(f->name)->setFocus();
        QTest::keyClick(f->control<QWidget>(f->name), Qt::Key_Return);
        EXPECT_TRUE(f->control<QWidget>(f->price)->hasFocus());
        QSignalSpy rejected(f.get(), &QDialog::rejected);
        QTest::keyClick(f->control<QWidget>(f->price), Qt::Key_Escape);
        EXPECT_EQ(rejected.count(), 1);
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kGoodsFormKey + "\\Options", false));
    EXPECT_EQ(reg.ReadInteger("KeyEnterAction"), eaTab);
    EXPECT_EQ(reg.ReadString("ControlInsert"), "pnlPrice");
    EXPECT_EQ(reg.ReadInteger("InsertOptions"), int(ioAutoInsert));

    auto again = open();
    EXPECT_TRUE(again->props->FocusField(true));
    EXPECT_TRUE(again->control<QWidget>(again->price)->hasFocus());
    // with "Авто список" an insert into a panel marked ClickOnInsert clicks its button
    int lookups = 0;
    again->note->OnAButtonClick = [&](TQtAFPanel*) { ++lookups; };
    again->note->Panel().ClickOnInsert = true;
    TAnketOptions o = again->props->Props().Options;
    o.ControlInsert = &again->note->Panel();
    o.InsertOptions |= ioAutoClick;
    again->props->Props().Options = o;
    EXPECT_TRUE(again->props->FocusField(true));
    EXPECT_EQ(lookups, 1);
    EXPECT_FALSE(again->props->FocusField(false));  // efLast: the form keeps its focus
    WhenModal([](QWidget* dlg) {
        EXPECT_TRUE(dlg->findChild<QRadioButton*>("rgEnter1")->isChecked());
        dlg->findChild<QRadioButton*>("rgEnter2")->click();
        QTest::mouseClick(dlg->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    again->props->CustomDlg();
    EXPECT_TRUE(again->ok->isDefault());
    QSignalSpy accepted(again.get(), &QDialog::accepted);
    QTest::keyClick(again->control<QWidget>(again->price), Qt::Key_Enter);
    EXPECT_EQ(accepted.count(), 1);

    // "По умолчанию" deletes the stored settings
    WhenModal([](QWidget* dlg) { QTest::mouseClick(dlg->findChild<QPushButton*>("btnDefault"), Qt::LeftButton); });
    again->props->CustomDlg();
    EXPECT_FALSE(TRegistry().KeyExists(kGoodsFormKey + "\\Options"));
    EXPECT_FALSE(again->ok->isDefault());
}

TEST_F(RecordFormDb, CheckedComboOfVendorsGivesIntegerKeys)
{
    TpFIBDataSet vendors;
    vendors.SetTransaction(&read);
    vendors.SetSelectSQL("select id, name from vendor order by id");
    TQtCheckedComboDB combo;
    TCheckedComboDB& c = combo.ComboDB();
    c.DataSet = &vendors;
    c.KeyField = "ID";
    c.ResultField = "NAME";
    c.AllKey = "-1";
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    c.SetCheckedKeys("1,3");
    ASSERT_GE(c.Count(), 3);
    EXPECT_EQ(combo.Edit()->text(), ToQString("2: " + c.Item(0) + ", " + c.Item(2)));

    QTest::mouseClick(combo.Button(), Qt::LeftButton);
    ASSERT_TRUE(combo.DropDown()->isVisible());
    QListWidget* list = combo.CheckList();
    QListWidgetItem* second = list->item(1);
    second->setCheckState(Qt::Checked);  // as a click on its box does
    EXPECT_EQ(c.CheckedKeys(), "1,2,3");
    // the key list goes into an IN condition as it is
    EXPECT_EQ(column("select count(*) from vendor where id in (" + c.CheckedKeys() + ")").at(0), "3");
    combo.ListMenu()->actions().at(0)->trigger();
    EXPECT_EQ(c.CheckedKeys(), "-1");
    EXPECT_EQ(combo.Edit()->text(), Q("Все"_w));

    bool closed = false;
    combo.OnCloseUp = [&](QWidget* sender) { closed = sender == combo.DropDown(); };
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(combo.DropDown()->isVisible());
    EXPECT_TRUE(closed);
}

TEST(CheckedComboUi, AClickOnTheButtonWhileOpenOnlyCloses)
{
    EnsureApplication();
    QWidget host;
    auto* combo = new TQtCheckedComboBox(&host);
    combo->Combo().SetItems({"a", "b", "c"});
    combo->setGeometry(10, 10, 160, combo->sizeHint().height());
    host.resize(200, 200);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::mouseClick(combo->Button(), Qt::LeftButton);
    ASSERT_TRUE(combo->DropDown()->isVisible());
    int closes = 0;
    combo->OnCloseUp = [&](QWidget*) { ++closes; };
    // through the window system, so that the open drop-down sees the press first
    const QPoint onButton = combo->Button()->mapTo(&host, combo->Button()->rect().center());
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, onButton);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(combo->DropDown()->isVisible());
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, onButton);
    EXPECT_TRUE(combo->DropDown()->isVisible());
    // a press elsewhere closes it and the next click on the button opens it
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, QPoint(190, 190));
    EXPECT_FALSE(combo->DropDown()->isVisible());
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, onButton);
    EXPECT_TRUE(combo->DropDown()->isVisible());
    combo->DropDown()->hide();
}
