// Shared by the control widget tests: the application (DejaVu Sans, offscreen), the real SQLite
// settings store in a temporary folder as the default store, a modal-dialog helper, checks that
// nothing is clipped, and screenshots into <build>/screenshots.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "host/registry.h"
#include "host/sqliteregistrystore.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm::test {

inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "test_controls_ui";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
        QApplication::setFont(QFont("DejaVu Sans", 9));
        QApplication::setCursorFlashTime(0);
    }
}

inline QString Q(const char* cp1251) { return ToQString(cp1251); }

// Runs `answer` on the modal dialog once the caller has opened one; `answer` must close it.
inline void WhenModal(const std::function<void(QWidget*)>& answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* dlg = nullptr;
        QTest::qWaitFor([&] { return (dlg = QApplication::activeModalWidget()) != nullptr; }, 3000);
        if (dlg)
            answer(dlg);
        else
            ADD_FAILURE() << "no modal dialog appeared";
    });
}

class UiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("lmpack-ctlui-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        m_previous = SetDefaultRegistryStore(std::make_unique<TSqliteRegistryStore>((m_dir / "registry.db").string()));
    }
    void TearDown() override
    {
        SetDefaultRegistryStore(std::move(m_previous));
        std::filesystem::remove_all(m_dir);
    }
    static bool keyExists(const std::string& key) { return TRegistry().KeyExists(key); }

private:
    std::filesystem::path m_dir;
    std::unique_ptr<TRegistryStore> m_previous;
};

// Every visible child lies inside its parent and is at least as large as its minimum hint.
inline void ExpectNothingClipped(QWidget* w)
{
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisible() || c->isWindow())
            continue;
        const QRect inside = c->parentWidget()->rect();
        EXPECT_TRUE(inside.contains(c->geometry())) << c->objectName().toStdString() << " lies outside "
                                                    << c->parentWidget()->objectName().toStdString();
        const QSize min = c->minimumSizeHint();
        if (min.isValid() && !c->inherits("QScrollBar") && !c->inherits("QSizeGrip")) {
            EXPECT_GE(c->width(), min.width()) << c->objectName().toStdString();
            EXPECT_GE(c->height(), min.height()) << c->objectName().toStdString();
        }
    }
}

// Saves the widget as <build>/screenshots/<name>-<state>.png (with "@2x" at scale factor 2).
inline void Snap(QWidget* w, const QString& name, const QString& state)
{
    const QString dir = QStringLiteral(LMPACK_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    const QString scale = qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2 ? "@2x" : "";
    if (state == "default" && QApplication::focusWidget())
        QApplication::focusWidget()->clearFocus();
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(dir + "/" + name + "-" + state + scale + ".png"));
}

} // namespace lm::test
