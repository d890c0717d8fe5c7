// TTourDriver: what the scripted tour needs to drive the real windows offscreen - answers queued
// for the next modal dialog, the file dialogs and message boxes answered from a script,
// screenshots, typing, progress windows counted, and the failure of a check.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QString>

class QWidget;

namespace lm {

// A check of the tour that did not hold.
class ETourFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises ETourFailure with `message` unless `condition` holds.
void Expect(bool condition, const std::string& message);

class TTourDriver {
public:
    // Screenshots go to `outDir` (created when missing).
    explicit TTourDriver(std::string outDir);
    ~TTourDriver();

    const std::string& OutDir() const { return m_outDir; }
    std::string OutPath(const std::string& name) const { return m_outDir + "/" + name; }

    // Runs `answer` on the modal dialog that the next action opens; `answer` must close it. A
    // dialog that does not appear within a few seconds fails the step that waits for it.
    void WhenModal(std::function<void(QWidget* dialog)> answer);
    // After an action that should have opened a dialog: raises when no answer ran, or when
    // one raised (its message is passed on), or when a dialog nobody expected had to be closed.
    void CheckAnswered();

    // The next file dialog chooses `fileName` (UTF-8 path); dialogs without a queued answer
    // are cancelled.
    void AnswerFileDialog(const std::string& fileName);
    // Message boxes are answered Yes/OK and their texts (UTF-8) kept here.
    const std::vector<std::string>& Messages() const { return m_messages; }
    void ClearMessages() { m_messages.clear(); }

    // Saves the widget as OutDir/<name>.png and returns the path.
    std::string Snap(QWidget* widget, const std::string& name);
    const std::vector<std::string>& Screenshots() const { return m_shots; }

    // Types `text` into `widget` key by key, as a user does.
    static void Type(QWidget* widget, const QString& text);
    // Lets queued events and paints run for a moment.
    static void Settle(int ms = 50);

    // Progress windows opened since the last reset.
    int ProgressWindows() const;
    void ResetProgressWindows();

private:
    struct Hooks;
    std::string m_outDir;
    std::vector<std::string> m_shots;
    std::vector<std::string> m_files;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_answerErrors;
    int m_pendingAnswers = 0;
    int m_unansweredTicks = 0;  // seconds a modal dialog has waited without an answer
    std::unique_ptr<Hooks> m_hooks;
};

} // namespace lm
