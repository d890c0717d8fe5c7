// TQtDBCheckBoxLM: the check box widget over TDBCheckBoxLM; a click or Space toggles through
// the model, which writes the field at once unless UpdateOnExit is set.
#pragma once

#include <QCheckBox>

#include "controls/dbcheckboxlm.h"
#include "host/field.h"
#include "controls/ui/fieldcontrols.h"

namespace lm {

class TQtDBCheckBoxLM : public QCheckBox, public IFieldControl {
    Q_OBJECT

public:
    explicit TQtDBCheckBoxLM(QWidget* parent = nullptr);
    ~TQtDBCheckBoxLM() override;

    TDBCheckBoxLM& Model() { return m_box; }
    TField* BoundField() const override { return m_box.Field(); }
    // taRightJustify (the default) puts the text right of the box, taLeftJustify left of it.
    void SetAlignment(TAlignment alignment);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showState();

    TDBCheckBoxLM m_box;
};

} // namespace lm
