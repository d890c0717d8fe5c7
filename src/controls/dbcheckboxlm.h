// TDBCheckBoxLM: the check box bound to one field, which writes the field at every click
// unless it is told to wait until the control is left.
#pragma once

#include <functional>
#include <string>

#include "controls/fielddatalinklm.h"

namespace lm {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TDBCheckBoxLM {
public:
    TDBCheckBoxLM();
    TDBCheckBoxLM(const TDBCheckBoxLM&) = delete;
    TDBCheckBoxLM& operator=(const TDBCheckBoxLM&) = delete;

    TDataSource* DataSource() const { return m_link.DataSource(); }
    void SetDataSource(TDataSource* source) { m_link.SetDataSource(source); }
    const std::string& DataField() const { return m_link.FieldName(); }
    void SetDataField(const std::string& name) { m_link.SetFieldName(name); }
    TField* Field() const { return m_link.Field(); }
    bool ReadOnly() const { return m_link.ReadOnly(); }
    void SetReadOnly(bool readOnly) { m_link.SetReadOnly(readOnly); }
    // Texts meaning checked and unchecked, each with ";"-separated alternatives.
    std::string ValueChecked = "True";
    std::string ValueUnchecked = "False";
    bool AllowGrayed = false;
    // false: every click writes the field at once; true: the field is written on leaving.
    bool UpdateOnExit = false;
    TFieldDataLinkLM& DataLink() { return m_link; }

    TCheckBoxState State() const { return m_state; }
    // The view shows the new state.
    std::function<void(TDBCheckBoxLM* Sender)> OnStateChange;

    // A click or Space: edit mode, the next state, and (unless UpdateOnExit) the field written.
    // Nothing happens when the dataset cannot be edited.
    void Toggle();
    // The control is left: a pending value is written (exceptions travel on).
    void Exit() { m_link.UpdateRecord(); }
    // Escape: the pending value is dropped and the field's value shown again.
    void Escape() { m_link.Reset(); }

private:
    TCheckBoxState fieldState() const;
    void setState(TCheckBoxState state);
    void dataChange() { setState(fieldState()); }
    void updateData();

    TFieldDataLinkLM m_link;
    TCheckBoxState m_state = cbUnchecked;
};

} // namespace lm
