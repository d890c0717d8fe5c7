// TDataSource and TDataLink: the relay between a dataset and the controls bound to it, with the
// active, editing, record-changed and update-data notifications.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/dataset.h"
#include "util/component.h"

namespace lm {

class TDataLink;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet);
    // A disabled source tells its links that the dataset is inactive.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    // Whether a control may put the dataset into edit state (TDataLink::Edit).
    bool AutoEdit() const { return m_autoEdit; }
    void SetAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }
    // The dataset's state, dsInactive without a dataset or when disabled.
    TDataSetState State() const { return m_state; }
    // Puts the dataset into edit state when AutoEdit allows it and it is browsing.
    void Edit();

    std::function<void(TDataSource* Sender)> OnStateChange;
    std::function<void(TDataSource* Sender, TField* Field)> OnDataChange;
    std::function<void(TDataSource* Sender)> OnUpdateData;

private:
    friend class TDataSet;
    friend class TDataLink;
    void dataEvent(TDataEvent event, intptr_t info);
    void updateState();
    void addLink(TDataLink* link);
    void removeLink(TDataLink* link);

    TDataSet* m_dataSet = nullptr;
    std::vector<TDataLink*> m_links;
    TDataSetState m_state = dsInactive;
    bool m_enabled = true;
    bool m_autoEdit = true;
};

// The base of the links that bind a control to a data source. Derived links override the
// notifications they care about; the base keeps Active and Editing current.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    // The source has an open dataset (and is enabled).
    bool Active() const { return m_active; }
    // The dataset is in dsEdit or dsInsert and the link is not read-only.
    bool Editing() const { return m_editing; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    // Asks for edit state (through the source's AutoEdit); returns Editing afterwards.
    bool Edit();
    // Marks that the control holds a value the field has not received yet.
    void Modified() { m_modified = true; }
    bool IsModified() const { return m_modified; }
    // Delivers a pending value: UpdateData when modified, then clears the mark.
    void UpdateRecord();
    // Drops the control's pending value: RecordChanged(nullptr) and clears the mark.
    void Reset();

protected:
    virtual void ActiveChanged() {}
    virtual void EditingChanged() {}
    // `field` is the changed field, or nullptr when the whole record changed.
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) { (void)distance; DataSetChanged(); }
    virtual void LayoutChanged() { DataSetChanged(); }
    // Store the control's value into the field.
    virtual void UpdateData() {}
    virtual void FocusControl(TField* field) { (void)field; }
    virtual void CheckBrowseMode() {}

private:
    friend class TDataSource;
    void dataEvent(TDataEvent event, intptr_t info);
    void updateActive();
    void updateEditing();

    TDataSource* m_dataSource = nullptr;
    bool m_active = false;
    bool m_editing = false;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_updating = false;
};

} // namespace lm
