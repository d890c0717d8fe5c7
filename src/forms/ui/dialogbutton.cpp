// A named push button added to a dialog's button box.
#include "forms/ui/dialogbutton.h"

#include <QPushButton>

#include "util/ui/qcp1251.h"

namespace lm {

QPushButton* AddDialogButton(QDialogButtonBox* box, const char* name, const std::string& caption,
                             QDialogButtonBox::ButtonRole role)
{
    QPushButton* button = box->addButton(ToQString(caption), role);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace lm
