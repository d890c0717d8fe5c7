// The Qt toolkit of the progress box: windows, the disabled active window, event processing.
#include "forms/ui/qtprogressui.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "forms/ui/frmprogressbox.h"
#include "util/process.h"

namespace lm {

namespace {

class TQtDisabledForm : public IDisabledForm {
public:
    TQtDisabledForm(QWidget* form, std::function<void()> formGone) : m_form(form)
    {
        form->setEnabled(false);
        // The callback may destroy this handle: nothing here is touched after it.
        m_link = QObject::connect(form, &QObject::destroyed, [this, formGone = std::move(formGone)] {
            m_gone = true;
            if (formGone)
                formGone();
        });
    }
    ~TQtDisabledForm() override
    {
        QObject::disconnect(m_link);
        if (m_gone || !m_form)
            return;
        m_form->setEnabled(true);
        m_form->raise();
        m_form->activateWindow();
    }

private:
    QPointer<QWidget> m_form;
    QMetaObject::Connection m_link;
    bool m_gone = false;
};

} // namespace

IProgressWindow* TQtProgressUi::CreateWindow(TProgressBox* box)
{
    return new TfrmProgressBox(box, QApplication::activeWindow());
}

std::unique_ptr<IDisabledForm> TQtProgressUi::DisableActiveForm(std::function<void()> formGone)
{
    QWidget* active = QApplication::activeWindow();
    if (!active)
        return nullptr;
    return std::make_unique<TQtDisabledForm>(active, std::move(formGone));
}

void TQtProgressUi::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TQtProgressUi::ProcessPaint()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
}

void InstallQtProgressUi()
{
    static TQtProgressUi ui;
    SetProgressUi(&ui);
    SetProcessMessagesHook([] {
        QCoreApplication::processEvents();
        return !QCoreApplication::closingDown();
    });
}

} // namespace lm
