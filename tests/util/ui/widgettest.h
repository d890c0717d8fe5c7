// Helpers of the widget tests: the one QApplication a test program shares, answering the modal
// dialog a call is about to open, and typing text as a user would.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace lmtest {

// Starts the application unless one runs already (each suite asks; the first one starts it).
// The platform comes from QT_QPA_PLATFORM, offscreen under ctest. True when it started it.
inline bool startQApplication()
{
    if (QApplication::instance())
        return false;
    static int argc = 1;
    static char name[] = "lmpack-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
}

// What whenModal does with a dialog that `steps` leave open.
enum class LeftOpen { Reject, Fail };

// Runs `steps` on the next modal Dialog once the caller has opened it (call this first, then the
// code that opens it). A dialog the steps leave open is rejected, with LeftOpen::Fail as a
// failure of the test.
template <typename Dialog>
void whenModal(std::function<void(Dialog&)> steps, LeftOpen leftOpen = LeftOpen::Fail)
{
    QTimer::singleShot(0, [steps, leftOpen] {
        Dialog* dlg = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget())); }));
        if (!dlg)
            return;
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));
        steps(*dlg);
        if (dlg->isVisible()) {
            if (leftOpen == LeftOpen::Fail)
                ADD_FAILURE() << dlg->objectName().toStdString() << " stayed open";
            dlg->reject();
        }
    });
}

// Types UTF-8 text into `w` one character at a time.
inline void typeText(QWidget* w, const char* utf8)
{
    for (const QChar ch : QString::fromUtf8(utf8))
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
}

} // namespace lmtest
