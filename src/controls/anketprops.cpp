// Record form settings: reading, writing and the dialog's two actions.
#include "controls/anketprops.h"

#include <optional>

#include "controls/afpanel.h"
#include "host/registry.h"

namespace lm {

namespace {

const char* const kOptions = "\\Options";

template <typename T>
void writeIfChanged(TRegistry& reg, const char* name, T value, T design)
{
    if (value == design)
        return;
    if constexpr (std::is_same_v<T, bool>)
        reg.WriteBool(name, value);
    else
        reg.WriteInteger(name, static_cast<int>(value));
}

std::string panelName(const TAFPanel* p) { return p ? p->Name() : std::string(); }

// A stored value read by `read`; absent, or of another type (a damaged setting): nullopt.
template <typename T, typename Read>
std::optional<T> stored(TRegistry& reg, const char* name, Read read)
{
    if (!reg.ValueExists(name))
        return std::nullopt;
    try {
        return (reg.*read)(name);
    } catch (const ERegistryException&) {
        return std::nullopt;
    }
}

std::optional<int> storedInt(TRegistry& reg, const char* name) { return stored<int>(reg, name, &TRegistry::ReadInteger); }

} // namespace

void TAnketProps::Loaded(IAnketForm* form, TRegistryStore* store)
{
    m_form = form;
    m_store = store;
    m_design = Options;
    SaveDefSize();
}

void TAnketProps::SaveDefSize()
{
    if (!m_form)
        return;
    m_designWidth = m_form->FormWidth();
    m_designHeight = m_form->FormHeight();
}

TAFPanel* TAnketProps::findPanel(const std::string& name) const
{
    TAFPanel* root = m_form ? m_form->RootPanel() : nullptr;
    return root && !name.empty() ? root->FindPanel(name) : nullptr;
}

void TAnketProps::ReadFromReg(const std::string& key)
{
    m_key = key + kOptions;
    TRegistry reg(m_store);
    if (reg.OpenKey(m_key, false)) {
        const std::optional<int> w = storedInt(reg, "Width"), h = storedInt(reg, "Height");
        if (m_form && (w || h))
            m_form->SetFormSize(w.value_or(m_form->FormWidth()), h.value_or(m_form->FormHeight()));
        if (auto a = storedInt(reg, "KeyEnterAction"); a && *a >= eaNone && *a <= eaOk)
            Options.KeyEnterAction = TKeyEnterAction(*a);
        if (auto esc = stored<bool>(reg, "KeyEscCancel", &TRegistry::ReadBool))
            Options.KeyEscCancel = *esc;
        if (auto m = storedInt(reg, "EditFocusMode"); m && *m >= efLast && *m <= efConst)
            Options.EditFocusMode = TEditFocusMode(*m);
        if (auto name = stored<std::string>(reg, "ControlEdit", &TRegistry::ReadString))
            Options.ControlEdit = findPanel(*name);
        if (auto name = stored<std::string>(reg, "ControlInsert", &TRegistry::ReadString))
            Options.ControlInsert = findPanel(*name);
        if (auto o = storedInt(reg, "InsertOptions"))
            Options.InsertOptions = static_cast<unsigned>(*o) & 7u;
    }
    ApplyButtons();
}

void TAnketProps::WriteProps(bool reset)
{
    if (m_key.empty())
        return;
    TRegistry reg(m_store);
    reg.DeleteKey(m_key);
    if (reset)
        return;
    reg.OpenKey(m_key, true);
    const TAnketOptions& o = Options;
    writeIfChanged(reg, "KeyEnterAction", o.KeyEnterAction, m_design.KeyEnterAction);
    writeIfChanged(reg, "KeyEscCancel", o.KeyEscCancel, m_design.KeyEscCancel);
    writeIfChanged(reg, "EditFocusMode", o.EditFocusMode, m_design.EditFocusMode);
    writeIfChanged(reg, "InsertOptions", o.InsertOptions, m_design.InsertOptions);
    if (o.ControlEdit != m_design.ControlEdit)
        reg.WriteString("ControlEdit", panelName(o.ControlEdit));
    if (o.ControlInsert != m_design.ControlInsert)
        reg.WriteString("ControlInsert", panelName(o.ControlInsert));
    if (m_form) {
        writeIfChanged(reg, "Width", m_form->FormWidth(), m_designWidth);
        writeIfChanged(reg, "Height", m_form->FormHeight(), m_designHeight);
    }
    TRegKeyInfo info;
    if (reg.GetKeyInfo(info) && info.NumValues == 0 && info.NumSubKeys == 0) {
        reg.CloseKey();
        reg.DeleteKey(m_key);
    }
}

void TAnketProps::ApplyButtons()
{
    if (!m_form)
        return;
    m_form->SetOkDefault(Options.KeyEnterAction == eaOk);
    m_form->SetCancelOnEscape(Options.KeyEscCancel);
}

void TAnketProps::settingsChanged()
{
    ApplyButtons();
    if (OnUpdateCtrlsState)
        OnUpdateCtrlsState(this);
}

void TAnketProps::AcceptDialog(const TAnketOptions& chosen)
{
    Options = chosen;
    WriteProps(false);
    settingsChanged();
}

void TAnketProps::ResetToDefaults()
{
    Options = m_design;
    WriteProps(true);
    settingsChanged();
}

} // namespace lm
