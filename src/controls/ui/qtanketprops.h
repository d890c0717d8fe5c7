// TQtAnketProps: puts TAnketProps on a record form - finds "btnOk", "btnCancel" and the root
// field panel "CPanel", and gives Enter and Escape the meaning the settings choose.
#pragma once

#include <QObject>
#include <QPointer>

#include "controls/anketprops.h"

class QPushButton;
class QWidget;

namespace lm {

class TQtAFPanel;

class TQtAnketProps : public QObject, public IAnketForm {
    Q_OBJECT

public:
    // Attaches to `form` (the parent); call once its children exist (Loaded).
    explicit TQtAnketProps(QWidget* form, TRegistryStore* store = nullptr);
    ~TQtAnketProps() override;

    TAnketProps& Props() { return m_props; }
    void ReadFromReg(const std::string& key) { m_props.ReadFromReg(key); }
    // The settings dialog; true when settings changed.
    bool CustomDlg();
    // Focuses the field the settings choose for editing (efConst) or inserting; false when
    // they choose none. On inserting with ioAutoClick, a panel marked ClickOnInsert also gets
    // its button clicked (to open its selection list).
    bool FocusField(bool inserting);

    // IAnketForm
    int FormWidth() const override;
    int FormHeight() const override;
    void SetFormSize(int width, int height) override;
    TAFPanel* RootPanel() const override;
    void SetOkDefault(bool isDefault) override;
    void SetCancelOnEscape(bool cancel) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_form;
    QPointer<QPushButton> m_ok;
    QPointer<QPushButton> m_cancel;
    QPointer<TQtAFPanel> m_root;
    TAnketProps m_props;
};

} // namespace lm
