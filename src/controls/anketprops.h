// TAnketProps: the settings of a record form - what Enter and Escape do, which field gets the
// focus on editing and inserting, the insert options - stored per user under "Options".
#pragma once

#include <functional>
#include <type_traits>
#include <string>

namespace lm {

class TAFPanel;
class TRegistryStore;

enum TEditFocusMode { efLast, efGrid, efConst };
enum TInsertOption : unsigned { ioAutoClick = 1, ioAutoInsert = 2, ioAutoClose = 4 };
using TInsertOptions = unsigned;  // bit (1 << ordinal) per option, as stored
enum TKeyEnterAction { eaNone, eaTab, eaOk };

// The values the settings dialog edits and the store keeps.
struct TAnketOptions {
    TEditFocusMode EditFocusMode = efLast;
    TInsertOptions InsertOptions = 0;
    TKeyEnterAction KeyEnterAction = eaNone;
    bool KeyEscCancel = false;
    TAFPanel* ControlEdit = nullptr;
    TAFPanel* ControlInsert = nullptr;
    bool operator==(const TAnketOptions&) const = default;
};

// What the settings need of the record form.
class IAnketForm {
public:
    virtual ~IAnketForm() = default;
    virtual int FormWidth() const = 0;
    virtual int FormHeight() const = 0;
    virtual void SetFormSize(int width, int height) = 0;
    // The root field panel ("CPanel"), or null.
    virtual TAFPanel* RootPanel() const = 0;
    // The OK button ("btnOk") answers Enter; the cancel button ("btnCancel") answers Escape.
    virtual void SetOkDefault(bool isDefault) = 0;
    virtual void SetCancelOnEscape(bool cancel) = 0;
};

class TAnketProps {
public:
    TAnketProps() = default;
    TAnketProps(const TAnketProps&) = delete;
    TAnketProps& operator=(const TAnketProps&) = delete;

    TAnketOptions Options;
    bool BrowseDisabled = false;
    // Raised after the dialog changed the settings, for the form to refresh its controls.
    std::function<void(TAnketProps* Sender)> OnUpdateCtrlsState;

    // Binds the form and takes the current values and form size as the design-time reference.
    void Loaded(IAnketForm* form, TRegistryStore* store = nullptr);
    const TAnketOptions& DesignOptions() const { return m_design; }
    // The key becomes `key` + "\Options"; stored values are applied (a panel name that no longer
    // exists leaves its property null); then the buttons follow KeyEnterAction and KeyEscCancel.
    void ReadFromReg(const std::string& key);
    // Deletes the key; unless `reset`, writes what differs from the design-time values and
    // deletes the key again when nothing did.
    void WriteProps(bool reset);
    // The current form size becomes the design-time size.
    void SaveDefSize();
    const std::string& Key() const { return m_key; }
    IAnketForm* Form() const { return m_form; }

    // The settings dialog's OK: takes `chosen`, stores it and updates the buttons.
    void AcceptDialog(const TAnketOptions& chosen);
    // The dialog's "По умолчанию": back to the design-time values, stored settings deleted.
    void ResetToDefaults();
    // The OK button is the default button exactly when Enter presses it.
    void ApplyButtons();

private:
    void settingsChanged();
    TAFPanel* findPanel(const std::string& name) const;

    IAnketForm* m_form = nullptr;
    TRegistryStore* m_store = nullptr;
    std::string m_key;
    TAnketOptions m_design;
    int m_designWidth = 0;
    int m_designHeight = 0;
};

} // namespace lm
