// Driving the real windows from the tour script.
#include "tourdriver.h"

#include <filesystem>
#include <memory>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "app/hooks.h"
#include "forms/progressbox.h"
#include "util/cp1251.h"

namespace lm {

void Expect(bool condition, const std::string& message)
{
    if (!condition)
        throw ETourFailure(message);
}

// Counts the windows of the installed progress toolkit, passing everything on to it.
struct TTourDriver::Hooks : IProgressUi {
    IProgressUi* inner = nullptr;
    int windows = 0;
    IProgressWindow* CreateWindow(TProgressBox* box) override
    {
        ++windows;
        return inner->CreateWindow(box);
    }
    std::unique_ptr<IDisabledForm> DisableActiveForm(std::function<void()> formGone) override
    {
        return inner->DisableActiveForm(std::move(formGone));
    }
    void ProcessMessages() override { inner->ProcessMessages(); }
    void ProcessPaint() override { inner->ProcessPaint(); }
};

TTourDriver::TTourDriver(std::string outDir)
    : m_outDir(std::move(outDir))
    , m_hooks(std::make_unique<Hooks>())
{
    std::filesystem::create_directories(m_outDir);
    SetFileDialogHook([this](TFileDialogRequest& request) {
        if (m_files.empty())
            return false;
        request.FileName = m_files.front();
        m_files.erase(m_files.begin());
        return true;
    });
    SetMessageBoxHook([this](const std::string& text, const std::string&, int flags) {
        m_messages.push_back(cp1251ToUtf8(text));
        const int buttons = flags & 0xF;
        return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
    });
    m_hooks->inner = ProgressUi();
    if (m_hooks->inner)
        SetProgressUi(m_hooks.get());
    // A dialog nobody answers would stop the tour: after a few seconds it is closed and the
    // step that opened it fails.
    auto* watchdog = new QTimer(QApplication::instance());
    watchdog->setObjectName("tourWatchdog");
    QObject::connect(watchdog, &QTimer::timeout, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || m_pendingAnswers > 0) {
            m_unansweredTicks = 0;
            return;
        }
        if (++m_unansweredTicks < 8)
            return;
        m_unansweredTicks = 0;
        m_answerErrors.push_back("an unexpected dialog \"" + dialog->windowTitle().toStdString() + "\" (" +
                                 dialog->objectName().toStdString() + ") was closed");
        dialog->close();
    });
    watchdog->start(1000);
}

TTourDriver::~TTourDriver()
{
    delete QApplication::instance()->findChild<QTimer*>("tourWatchdog");
    if (ProgressUi() == m_hooks.get())
        SetProgressUi(m_hooks->inner);
    SetFileDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
}

void TTourDriver::WhenModal(std::function<void(QWidget* dialog)> answer)
{
    // Polled from the event loop rather than waited for, so that a dialog opened by a queued
    // call (a menu entry) finds its answer from inside its own modal loop.
    ++m_pendingAnswers;
    auto* poll = new QTimer(QApplication::instance());
    auto waited = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [this, poll, waited, answer = std::move(answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && ++*waited < 100)
            return;
        poll->stop();
        poll->deleteLater();
        --m_pendingAnswers;
        if (!dialog) {
            m_answerErrors.push_back("no dialog appeared");
            return;
        }
        QTest::qWaitForWindowExposed(dialog, 2000);
        Settle();
        try {
            answer(dialog);
        } catch (const std::exception& e) {
            m_answerErrors.push_back(e.what());
            dialog->close();
        }
    });
    poll->start(50);
}

void TTourDriver::CheckAnswered()
{
    QTest::qWaitFor([this] { return m_pendingAnswers == 0; }, 6000);
    std::vector<std::string> errors;
    errors.swap(m_answerErrors);
    Expect(m_pendingAnswers == 0, "a dialog answer is still waiting");
    if (!errors.empty())
        throw ETourFailure(errors.front());
}

void TTourDriver::AnswerFileDialog(const std::string& fileName)
{
    m_files.push_back(fileName);
}

std::string TTourDriver::Snap(QWidget* widget, const std::string& name)
{
    Settle();
    const std::string path = OutPath(name + ".png");
    Expect(widget->grab().save(QString::fromStdString(path)), "cannot write " + path);
    m_shots.push_back(path);
    return path;
}

void TTourDriver::Type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void TTourDriver::Settle(int ms)
{
    QApplication::processEvents();
    QTest::qWait(ms);
}

int TTourDriver::ProgressWindows() const
{
    return m_hooks->windows;
}

void TTourDriver::ResetProgressWindows()
{
    m_hooks->windows = 0;
}

} // namespace lm
