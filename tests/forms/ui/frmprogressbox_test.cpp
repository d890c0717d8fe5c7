// The Qt progress window driven by a real progress box, headless.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "forms/progressbox.h"
#include "forms/ui/frmprogressbox.h"
#include "forms/ui/qtprogressui.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/process.h"

#include "../../util/ui/widgettest.h"

using namespace lm;

namespace {

class FrmProgressBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        lmtest::startQApplication();
        InstallQtProgressUi();
    }
    void SetUp() override
    {
        main.resize(600, 400);
        main.show();
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    }
    TfrmProgressBox* window() const { return dynamic_cast<TfrmProgressBox*>(box.Window()); }
    // Returns control to the event loop, where closed windows are deleted.
    static void flushDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QWidget main;
    TProgressBox box;
};

QString qt(const char* cp1251) { return QString::fromStdU16String(cp1251ToUtf16(cp1251)); }

} // namespace

TEST_F(FrmProgressBoxTest, ShowsTitleBarNoteAndAbortButtonOverADisabledWindow)
{
    box.SetCaption("Экспорт в Excel"_w);
    box.Show(1000);
    TfrmProgressBox* w = window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), qt("Экспорт в Excel"_w));
    EXPECT_EQ(w->width(), 370);
    EXPECT_EQ(w->btnAbort()->text(), qt("Прервать"_w));
    EXPECT_TRUE(w->btnAbort()->isVisible());
    EXPECT_EQ(w->Bar()->maximum(), 100);
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(w->isEnabled());

    box.SetNote("Лист 1"_w);
    EXPECT_EQ(w->lbNote()->text(), qt("Лист 1"_w));
    for (int i = 0; i < 25; ++i)
        box.Step();
    EXPECT_EQ(w->Bar()->value(), 2);

    box.Close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(main.isEnabled());
    flushDeferredDeletes();
    EXPECT_EQ(box.Window(), nullptr);
    EXPECT_TRUE(box.Step());
}

TEST_F(FrmProgressBoxTest, AClickOnAbortIsSeenAtTheNextVisibleStep)
{
    box.SetAbortBtn(true);
    box.Show(100);
    TfrmProgressBox* w = window();
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w->btnAbort(), Qt::LeftButton);
    EXPECT_TRUE(w->Aborted());
    EXPECT_THROW(box.Step(), EAbort);
    EXPECT_TRUE(main.isEnabled());
    flushDeferredDeletes();
    EXPECT_EQ(box.Window(), nullptr);

    box.SetExceptOnAbort(false);
    box.Show(0);
    w = window();
    EXPECT_EQ(w->Bar()->value(), 0);
    EXPECT_FALSE(main.isEnabled());
    // A click arriving as an event is handled while a visible step processes messages.
    QMetaObject::invokeMethod(w->btnAbort(), "click", Qt::QueuedConnection);
    EXPECT_FALSE(w->Aborted());
    EXPECT_TRUE(box.Step());
    EXPECT_TRUE(w->Aborted());
    EXPECT_FALSE(box.Step());
    EXPECT_TRUE(main.isEnabled());
    flushDeferredDeletes();
    EXPECT_TRUE(box.Step());
}

TEST_F(FrmProgressBoxTest, ClosingByTheUserEnablesTheWindowAndAHiddenAbortButton)
{
    box.SetAbortBtn(false);
    box.Show(10);
    TfrmProgressBox* w = window();
    EXPECT_FALSE(w->btnAbort()->isVisible());
    w->close();  // as the window manager would
    EXPECT_TRUE(main.isEnabled());
    flushDeferredDeletes();
    EXPECT_EQ(box.Window(), nullptr);
}

TEST_F(FrmProgressBoxTest, DestroyingTheBoxWhileShownLeavesNothingDisabled)
{
    {
        TProgressBox local;
        local.Show(5);
        EXPECT_FALSE(main.isEnabled());
    }
    EXPECT_TRUE(main.isEnabled());
    flushDeferredDeletes();
}

TEST_F(FrmProgressBoxTest, AnActiveWindowDestroyedMeanwhileIsForgotten)
{
    auto* other = new QWidget;
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    box.Show(5);
    EXPECT_FALSE(other->isEnabled());
    delete other;
    box.Step();
    box.Close();
    flushDeferredDeletes();
    EXPECT_EQ(box.Window(), nullptr);
    EXPECT_TRUE(main.isEnabled());
}

TEST_F(FrmProgressBoxTest, ProcessPaintRepaintsWithoutHandlingInput)
{
    struct Counter : QWidget {
        int paints = 0;
        void paintEvent(QPaintEvent*) override { ++paints; }
    } counter;
    counter.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&counter));
    QCoreApplication::processEvents();
    const int before = counter.paints;
    int input = 0;
    QTimer::singleShot(0, [&] { ++input; });
    counter.update();
    ProcessPaint();
    EXPECT_GT(counter.paints, before);
    EXPECT_EQ(input, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(input, 1);
}

TEST_F(FrmProgressBoxTest, ExecAndWaitKeepsProcessingEvents)
{
    int fired = 0;
    QTimer::singleShot(0, [&] { ++fired; });
    EXPECT_TRUE(ExecAndWait("sleep", "0.1"));
    EXPECT_EQ(fired, 1);
}
