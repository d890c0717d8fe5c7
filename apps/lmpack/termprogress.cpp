// A progress window drawn as "\r<title> <percent>%" on stderr.
#include "termprogress.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "forms/progressbox.h"
#include "util/cp1251.h"

namespace lmcli {

namespace {

class TerminalWindow : public lm::IProgressWindow {
public:
    explicit TerminalWindow(lm::TProgressBox* box) : m_box(box) {}
    ~TerminalWindow() override { m_box->WindowDestroyed(this); }
    void SetTitle(const std::string& text) override { m_title = lm::cp1251ToUtf8(text); draw(); }
    void SetBoxWidth(int) override {}
    void SetNote(const std::string&) override {}
    void SetBarMax(int max) override { m_max = max; }
    int BarMax() const override { return m_max; }
    int BarPosition() const override { return m_position; }
    void SetBarPosition(int position) override
    {
        m_position = position;
        draw();
    }
    void SetAbortVisible(bool) override {}
    bool Aborted() const override { return false; }
    void ShowModeless() override { draw(); }
    // Ends the line and frees the window at once: nothing else refers to it after closing.
    void Close() override
    {
        std::fputc('\n', stderr);
        m_box->WindowClosed(this);
        delete this;
    }

private:
    void draw() const
    {
        const int percent = m_max > 0 ? m_position * 100 / m_max : 0;
        std::fprintf(stderr, "\r%s %3d%%", m_title.c_str(), percent);
        std::fflush(stderr);
    }
    lm::TProgressBox* m_box;
    std::string m_title;
    int m_max = 0;
    int m_position = 0;
};

class TerminalUi : public lm::IProgressUi {
public:
    lm::IProgressWindow* CreateWindow(lm::TProgressBox* box) override { return new TerminalWindow(box); }
    std::unique_ptr<lm::IDisabledForm> DisableActiveForm(std::function<void()>) override { return nullptr; }
    void ProcessMessages() override {}
    void ProcessPaint() override {}
};

} // namespace

void InstallTerminalProgress()
{
    static TerminalUi ui;
    if (::isatty(STDERR_FILENO))
        lm::SetProgressUi(&ui);
}

} // namespace lmcli
