// The root form's placement in a real settings store, its font choice, the Qt message boxes and
// the QString crossing of Windows-1251 text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/hooks.h"
#include "forms/scaleforms.h"
#include "forms/ui/frmpackroot.h"
#include "forms/ui/qtdialoghost.h"
#include "host/registry.h"
#include "host/sqliteregistrystore.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

using namespace lm;
namespace fs = std::filesystem;

namespace lm {
// A small descendant, as every package dialog is one.
class TfrmProbe : public TfrmPackRoot {
    Q_OBJECT
public:
    TfrmProbe()
    {
        auto* layout = new QFormLayout(this);
        layout->addRow("&Name", new QLineEdit(this));
    }
};
} // namespace lm

namespace {

class FrmPackRootTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_forms_ui";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("lmpack-root-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        m_previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>((m_dir / "registry.db").string()));
    }
    void TearDown() override
    {
        SetDefaultRegistryStore(std::move(m_previous));
        SetFontIndex(0);
        fs::remove_all(m_dir);
    }
    int stored(const std::string& key, const std::string& name)
    {
        TRegistry reg;
        EXPECT_TRUE(reg.OpenKey(key, false)) << key;
        return reg.ReadInteger(name);
    }
    fs::path m_dir;
    std::unique_ptr<TRegistryStore> m_previous;
};

// Runs `answer` on the next modal widget once it is active.
void whenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (modal = QApplication::activeModalWidget()) != nullptr; }));
        if (modal) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
            answer(modal);
        }
    });
}

} // namespace

TEST_F(FrmPackRootTest, PlacementIsStoredUnderTheClassKeyAndRestoredNextTime)
{
    const std::string key = "\\Software\\Lumora\\LMPack\\Forms\\TfrmProbe\\Size";
    {
        TfrmProbe form;
        EXPECT_EQ(form.FormKey(), "\\Software\\Lumora\\LMPack\\Forms\\TfrmProbe");
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QRect screen = form.screen()->geometry();
        EXPECT_EQ(form.x(), std::max(0, (screen.width() - form.width()) / 2));
        EXPECT_EQ(form.y(), std::max(0, (screen.height() - form.height()) / 2));
        form.move(40, 30);
        form.resize(form.width() + 50, form.height() + 20);
        form.accept();
        EXPECT_EQ(stored(key, "Left"), 40);
        EXPECT_EQ(stored(key, "Top"), 30);
        EXPECT_EQ(stored(key, "Width"), form.width());
        EXPECT_EQ(stored(key, "State"), 0);
    }
    TfrmProbe again;
    const int width = stored(key, "Width");
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.pos(), QPoint(40, 30));
    EXPECT_EQ(again.width(), width);
    again.reject();
}

TEST_F(FrmPackRootTest, AStoredSizeBelowWhatTheLayoutNeedsIsIgnoredAndPersistenceCanBeOff)
{
    {
        TRegistry reg;
        reg.OpenKey("\\Software\\Lumora\\LMPack\\Forms\\TfrmProbe\\Size", true);
        reg.WriteInteger("Width", 5);
        reg.WriteInteger("Height", 5);
    }
    TfrmProbe form;
    form.show();
    EXPECT_GE(form.width(), form.sizeHint().width());
    EXPECT_GE(form.height(), form.sizeHint().height());
    form.SetSizePersistence(false);
    form.move(1, 1);
    form.close();
    TRegistry reg;
    reg.OpenKey("\\Software\\Lumora\\LMPack\\Forms\\TfrmProbe\\Size", false);
    EXPECT_FALSE(reg.ValueExists("Left"));
}

TEST_F(FrmPackRootTest, FontIndexMakesTheFormLargerAndBoldAndKeysItsSizeApart)
{
    TfrmProbe plain;
    SetFontIndex(4);
    TfrmProbe large;
    EXPECT_TRUE(large.font().bold());
    EXPECT_EQ(large.font().pointSize(), 12);
    EXPECT_GT(large.sizeHint().height(), plain.sizeHint().height());
    EXPECT_EQ(large.FormKey(), "\\Software\\Lumora\\LMPack\\FormsLB\\TfrmProbe");
    // The line edit inherits the form's font.
    EXPECT_TRUE(large.findChild<QLineEdit*>()->font().bold());
}

TEST_F(FrmPackRootTest, QtMessageBoxesHaveRussianButtonsDefaultAndEscape)
{
    InstallQtDialogHost();
    whenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), ToQString("Удалить запись?"_w));
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->defaultButton()->text(), ToQString("Нет"_w));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(ShowMessageBox("Удалить запись?"_w, "Фильтр"_w, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);

    whenModal([](QWidget* modal) {
        auto* yes = modal->findChild<QPushButton*>(QString("btn%1").arg(IDYES));
        ASSERT_NE(yes, nullptr);
        EXPECT_EQ(yes->text(), ToQString("Да"_w));
        QTest::mouseClick(yes, Qt::LeftButton);
    });
    EXPECT_EQ(ShowMessageBox("?", "", MB_YESNOCANCEL), IDYES);

    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessageBox("?", "", MB_YESNOCANCEL), IDCANCEL);
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessageBox("!", "", MB_OK), IDOK);
    SetMessageBoxHook({});
    SetFileDialogHook({});
}

TEST(QCp1251Test, CyrillicRoundTripsAndCharactersOutsideTheCodePageAreRefused)
{
    const std::string text = "Ёлка №5 «ёж» – €"_w;
    EXPECT_EQ(ToQString(text), QString::fromUtf8("Ёлка №5 «ёж» – €"));
    EXPECT_EQ(FromQString(ToQString(text)), text);
    EXPECT_EQ(FromQString(QString::fromUtf8("Қазақ")), std::nullopt);
    EXPECT_EQ(FromQString(QString::fromUtf8("😀")), std::nullopt);
    EXPECT_EQ(FromQString(QString()), std::string());
    // Every byte but the unassigned 0x98 survives the trip.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x98)
            all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromQString(ToQString(all)), all);
}

#include "frmpackroot_test.moc"
