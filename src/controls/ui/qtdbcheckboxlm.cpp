// The data-aware check box widget.
#include "controls/ui/qtdbcheckboxlm.h"

#include <QKeyEvent>

#include "app/hooks.h"
#include "util/exceptions.h"

namespace lm {

namespace {

void report(const Exception& e) { ShowMessageBox(e.Message(), "", MB_ICONERROR); }

} // namespace

TQtDBCheckBoxLM::TQtDBCheckBoxLM(QWidget* parent) : QCheckBox(parent)
{
    setTristate(true);
    m_box.OnStateChange = [this](TDBCheckBoxLM*) { showState(); };
}

TQtDBCheckBoxLM::~TQtDBCheckBoxLM() { m_box.OnStateChange = nullptr; }

void TQtDBCheckBoxLM::SetAlignment(TAlignment alignment)
{
    setLayoutDirection(alignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TQtDBCheckBoxLM::showState()
{
    static constexpr Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    const QSignalBlocker block(this);
    setCheckState(kStates[m_box.State()]);
}

void TQtDBCheckBoxLM::nextCheckState()
{
    try {
        m_box.Toggle();
    } catch (const Exception& e) {
        report(e);
    }
    showState();
}

void TQtDBCheckBoxLM::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_box.Escape();
        showState();
        event->ignore();  // the form may still cancel on Escape
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void TQtDBCheckBoxLM::focusOutEvent(QFocusEvent* event)
{
    QCheckBox::focusOutEvent(event);
    try {
        m_box.Exit();
    } catch (const Exception& e) {
        report(e);
        setFocus();
    }
}

} // namespace lm
