// TFieldDataLinkLM: the data link that binds one control to one field of a data source and
// tells the control when the value, the editing state or the field itself changes.
#pragma once

#include <functional>
#include <string>

#include "host/datasource.h"

namespace lm {

class TFieldDataLinkLM : public TDataLink {
public:
    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(const std::string& name);
    // The field of that name in the linked dataset, or null (no dataset, closed, or no such field).
    TField* Field() const { return m_field; }
    // A field is bound and both it and the link allow writing.
    bool CanModify() const;

    // The shown value is to be reloaded from the field.
    std::function<void()> OnDataChange;
    std::function<void()> OnEditingChange;
    // The control's value is to be written into the field.
    std::function<void()> OnUpdateData;
    std::function<void()> OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void LayoutChanged() override;
    void UpdateData() override;

private:
    void updateField();

    std::string m_fieldName;
    TField* m_field = nullptr;
};

} // namespace lm
