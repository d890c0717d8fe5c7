// TQtDBEdit: a line edit bound to a dataset field - it shows the field's edit text and writes
// what the user typed when the record is posted or the edit is left.
#pragma once

#include <QLineEdit>

#include "controls/fielddatalinklm.h"
#include "controls/ui/fieldcontrols.h"

namespace lm {

class TQtDBEdit : public QLineEdit, public IFieldControl {
    Q_OBJECT

public:
    explicit TQtDBEdit(QWidget* parent = nullptr);
    ~TQtDBEdit() override;

    void SetDataSource(TDataSource* source) { m_link.SetDataSource(source); }
    void SetDataField(const std::string& name) { m_link.SetFieldName(name); }
    TField* BoundField() const override { return m_link.Field(); }
    TFieldDataLinkLM& DataLink() { return m_link; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField();
    void storeText();

    TFieldDataLinkLM m_link;
};

} // namespace lm
