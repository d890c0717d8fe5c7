// The kinds of controls a field panel holds, the interface of controls bound to a field, and
// the tab list and labels of a form's field controls.
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace lm {

class TField;

// A control bound to a dataset field (through a data source and a field name).
class IFieldControl {
public:
    virtual ~IFieldControl() = default;
    // The bound field, or null when the dataset is closed or the name unknown.
    virtual TField* BoundField() const = 0;
};

// Line edits, combo boxes and spin boxes (and what derives from them).
bool IsEditControl(const QWidget* control);
// Push buttons and tool buttons.
bool IsButtonControl(const QWidget* control);
// The controls of the container's field panels that take focus, in tab order.
QList<QWidget*> RootTabList(QWidget* container);
// The field's display label for a bound control, else its caption (mnemonic marks removed),
// else its object name.
QString ControlLabel(const QWidget* control);

} // namespace lm
