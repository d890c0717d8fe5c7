// Field control kinds, the tab list and control labels.
#include "controls/ui/fieldcontrols.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "controls/ui/qtafpanel.h"
#include "host/field.h"
#include "util/ui/qcp1251.h"

namespace lm {

bool IsEditControl(const QWidget* c)
{
    return qobject_cast<const QLineEdit*>(c) || qobject_cast<const QComboBox*>(c) ||
           qobject_cast<const QAbstractSpinBox*>(c);
}

bool IsButtonControl(const QWidget* c) { return qobject_cast<const QPushButton*>(c) || qobject_cast<const QToolButton*>(c); }

namespace {

// A field control: a direct child of a field panel (or of the container) that takes focus.
bool isFieldControl(QWidget* w, QWidget* container)
{
    QWidget* parent = w->parentWidget();
    return !qobject_cast<TQtAFPanel*>(w) && w->focusPolicy() != Qt::NoFocus &&
           (parent == container || qobject_cast<TQtAFPanel*>(parent)) && container->isAncestorOf(w);
}

} // namespace

QList<QWidget*> RootTabList(QWidget* container)
{
    QList<QWidget*> out;
    for (QWidget* w = container->nextInFocusChain(); w && w != container; w = w->nextInFocusChain())
        if (isFieldControl(w, container) && !out.contains(w))
            out.append(w);
    return out;
}

QString ControlLabel(const QWidget* control)
{
    if (auto* bound = dynamic_cast<const IFieldControl*>(control))
        if (TField* f = bound->BoundField())
            return ToQString(f->DisplayLabel());
    QString caption;
    if (auto* b = qobject_cast<const QAbstractButton*>(control))
        caption = b->text();
    else if (auto* l = qobject_cast<const QLabel*>(control))
        caption = l->text();
    caption.remove(QLatin1Char('&'));
    return caption.isEmpty() ? control->objectName() : caption;
}

} // namespace lm
