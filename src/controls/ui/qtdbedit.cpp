// The data-aware line edit.
#include "controls/ui/qtdbedit.h"

#include <QKeyEvent>

#include "app/hooks.h"
#include "host/field.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

TQtDBEdit::TQtDBEdit(QWidget* parent) : QLineEdit(parent)
{
    m_link.OnDataChange = [this] { showField(); };
    m_link.OnUpdateData = [this] { storeText(); };
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        // characters outside the code page never reach the field
        if (!FitsCp1251(text)) {
            const QSignalBlocker block(this);
            undo();
            return;
        }
        if (m_link.Edit())
            m_link.Modified();
        else
            showField();
    });
}

TQtDBEdit::~TQtDBEdit()
{
    m_link.OnDataChange = nullptr;
    m_link.OnUpdateData = nullptr;
}

void TQtDBEdit::showField()
{
    const QSignalBlocker block(this);
    TField* f = m_link.Field();
    setText(f ? ToQString(f->Text()) : QString());
    setCursorPosition(0);  // a long value shows its beginning
    setReadOnly(!f || !m_link.CanModify());
}

void TQtDBEdit::storeText()
{
    if (TField* f = m_link.Field())
        f->SetText(FromQString(text()).value_or(std::string()));
}

void TQtDBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_link.IsModified()) {
        m_link.Reset();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TQtDBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    try {
        m_link.UpdateRecord();
    } catch (const Exception& e) {
        ShowMessageBox(e.Message(), "", MB_ICONERROR);
        setFocus();
    }
}

} // namespace lm
