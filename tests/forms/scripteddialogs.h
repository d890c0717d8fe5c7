// TScriptedDialogs: answers the package's message boxes and file dialogs from a script and
// records what was asked, for tests of code that asks the user.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/hooks.h"

namespace lm::test {

class TScriptedDialogs {
public:
    struct Message {
        std::string Text;
        std::string Caption;
        int Flags = 0;
    };

    // Installs itself as the message box and file dialog hooks until destroyed.
    TScriptedDialogs()
    {
        SetMessageBoxHook([this](const std::string& text, const std::string& caption, int flags) {
            Messages.push_back({text, caption, flags});
            if (m_answers.empty()) {
                ADD_FAILURE() << "unexpected message box: " << text;
                return static_cast<int>(IDCANCEL);
            }
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
        SetFileDialogHook([this](TFileDialogRequest& request) {
            FileRequests.push_back(request);
            if (m_files.empty()) {
                ADD_FAILURE() << "unexpected file dialog";
                return false;
            }
            std::string chosen = m_files.front();
            m_files.pop_front();
            if (chosen.empty())
                return false;
            request.FileName = chosen;
            return true;
        });
    }
    ~TScriptedDialogs()
    {
        SetMessageBoxHook({});
        SetFileDialogHook({});
        EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " message box answers left unused";
    }
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // Queues the button the next message box answers (IDOK, IDYES, ...).
    void Answer(int result) { m_answers.push_back(result); }
    // Queues the file the next file dialog chooses; "" cancels it.
    void ChooseFile(const std::string& fileName) { m_files.push_back(fileName); }
    // The texts of the message boxes shown so far.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Message& m : Messages)
            texts.push_back(m.Text);
        return texts;
    }

    std::vector<Message> Messages;
    std::vector<TFileDialogRequest> FileRequests;

private:
    std::deque<int> m_answers;
    std::deque<std::string> m_files;
};

} // namespace lm::test
