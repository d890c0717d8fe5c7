// The progress box's counting, abort and form-disabling logic.
#include "forms/progressbox.h"

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {
IProgressUi* g_progressUi = nullptr;
}

void SetProgressUi(IProgressUi* ui)
{
    g_progressUi = ui;
}

IProgressUi* ProgressUi()
{
    return g_progressUi;
}

void ProcessPaint()
{
    if (g_progressUi)
        g_progressUi->ProcessPaint();
}

TProgressBox::TProgressBox(TComponent* owner) : TComponent(owner), m_caption("Ждите ..."_w) {}

TProgressBox::~TProgressBox()
{
    FreeWindow();
    m_disabledForm.reset();
}

IProgressUi* TProgressBox::Ui() const
{
    return m_ui ? m_ui : g_progressUi;
}

void TProgressBox::ProcessMessages()
{
    if (IProgressUi* ui = Ui())
        ui->ProcessMessages();
}

void TProgressBox::FreeWindow()
{
    IProgressWindow* window = m_window;
    m_window = nullptr;
    delete window;
}

void TProgressBox::SetCaption(const std::string& caption)
{
    m_caption = caption;
    if (m_window)
        m_window->SetTitle(caption);
}

void TProgressBox::SetNote(const std::string& note)
{
    m_note = note;
    if (m_window)
        m_window->SetNote(note);
    ProcessMessages();
}

void TProgressBox::SetRealCount(int count)
{
    m_realCount = count < 0 ? 0 : count;
    int barMax;
    if (m_pointCount > 0 && m_realCount >= m_pointCount) {
        m_stepSize = m_realCount / m_pointCount;
        barMax = m_pointCount;
    } else {
        m_stepSize = 1;
        barMax = m_realCount;
    }
    if (m_window)
        m_window->SetBarMax(barMax);
}

void TProgressBox::Show(int count)
{
    FreeWindow();
    IProgressUi* ui = Ui();
    if (ui)
        m_window = ui->CreateWindow(this);
    if (m_window) {
        m_window->SetBoxWidth(m_boxWidth);
        m_window->SetTitle(m_caption);
    }
    SetNote(std::string());
    SetRealCount(count != 0 ? count : m_realCount);
    m_counter = 0;
    if (!m_window)
        return;
    m_window->SetAbortVisible(m_abortBtn);
    if (!m_disabledForm)
        m_disabledForm = ui->DisableActiveForm([this] { m_disabledForm.reset(); });
    m_window->ShowModeless();
    ProcessMessages();
}

bool TProgressBox::Step()
{
    if (!m_window)
        return true;
    if (m_window->Aborted()) {
        Close();
        if (m_exceptOnAbort)
            throw EAbort();
        return false;
    }
    // At or past the step size: SetRealCount may have made the step smaller meanwhile.
    if (++m_counter >= m_stepSize) {
        m_counter = 0;
        const int position = m_window->BarPosition();
        if (position < m_window->BarMax())
            m_window->SetBarPosition(position + 1);
        ProcessMessages();
    }
    return true;
}

void TProgressBox::Close()
{
    if (m_window)
        m_window->Close();
}

void TProgressBox::WindowClosed(IProgressWindow* window)
{
    if (window == m_window)
        m_disabledForm.reset();
}

void TProgressBox::WindowDestroyed(IProgressWindow* window)
{
    if (window == m_window)
        m_window = nullptr;
}

} // namespace lm
