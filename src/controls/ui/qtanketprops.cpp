// Record form settings on a Qt form: the buttons, the keys and the focus.
#include "controls/ui/qtanketprops.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "controls/afpanel.h"
#include "controls/ui/frmanketpropdlg.h"
#include "controls/ui/qtafpanel.h"

namespace lm {

TQtAnketProps::TQtAnketProps(QWidget* form, TRegistryStore* store) : QObject(form), m_form(form)
{
    setObjectName("AnketProps");
    m_ok = form->findChild<QPushButton*>("btnOk");
    m_cancel = form->findChild<QPushButton*>("btnCancel");
    m_root = form->findChild<TQtAFPanel*>("CPanel");
    // Enter and Escape are this object's to interpret, not the buttons' own defaults
    for (QPushButton* b : form->findChildren<QPushButton*>())
        b->setAutoDefault(false);
    form->installEventFilter(this);
    m_props.Loaded(this, store);
}

TQtAnketProps::~TQtAnketProps()
{
    if (m_form)
        m_form->removeEventFilter(this);
}

bool TQtAnketProps::CustomDlg() { return TfrmAnketPropDlg::Execute(m_props, m_form); }

bool TQtAnketProps::FocusField(bool inserting)
{
    const TAnketOptions& o = m_props.Options;
    TAFPanel* target = inserting ? o.ControlInsert : (o.EditFocusMode == efConst ? o.ControlEdit : nullptr);
    if (!target || !m_root)
        return false;
    for (TQtAFPanel* p : m_root->PanelTree())
        if (&p->Panel() == target) {
            p->SetFocusToField();
            if (inserting && (o.InsertOptions & ioAutoClick) && target->ClickOnInsert)
                p->ClickButton();
            return true;
        }
    return false;
}

int TQtAnketProps::FormWidth() const { return m_form->width(); }
int TQtAnketProps::FormHeight() const { return m_form->height(); }
void TQtAnketProps::SetFormSize(int width, int height) { m_form->resize(width, height); }
TAFPanel* TQtAnketProps::RootPanel() const { return m_root ? &m_root->Panel() : nullptr; }

void TQtAnketProps::SetOkDefault(bool isDefault)
{
    if (m_ok)
        m_ok->setDefault(isDefault);
}

void TQtAnketProps::SetCancelOnEscape(bool cancel)
{
    if (m_cancel)
        m_cancel->setProperty("cancel", cancel);
}

bool TQtAnketProps::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_form || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && key->modifiers() == Qt::NoModifier) {
        switch (m_props.Options.KeyEnterAction) {
        case eaTab:
            if (QWidget* focused = m_form->focusWidget()) {
                QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                QCoreApplication::sendEvent(focused, &tab);
            }
            break;
        case eaOk:
            if (m_ok && m_ok->isEnabled())
                m_ok->click();
            break;
        case eaNone: break;
        }
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        if (m_props.Options.KeyEscCancel && m_cancel && m_cancel->isEnabled())
            m_cancel->click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lm
