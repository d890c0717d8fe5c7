// Record form settings: reading, writing and the dialog's two actions.
#include "controls/anketprops.h"

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
        if (m_form && (reg.ValueExists("Width") || reg.ValueExists("Height"))) {
            const int w = reg.ValueExists("Width") ? reg.ReadInteger("Width") : m_form->FormWidth();
            const int h = reg.ValueExists("Height") ? reg.ReadInteger("Height") : m_form->FormHeight();
            m_form->SetFormSize(w, h);
        }
        if (reg.ValueExists("KeyEnterAction")) {
            const int a = reg.ReadInteger("KeyEnterAction");
            if (a >= eaNone && a <= eaOk)
                Options.KeyEnterAction = TKeyEnterAction(a);
        }
        if (reg.ValueExists("KeyEscCancel"))
            Options.KeyEscCancel = reg.ReadBool("KeyEscCancel");
        if (reg.ValueExists("EditFocusMode")) {
            const int m = reg.ReadInteger("EditFocusMode");
            if (m >= efLast && m <= efConst)
                Options.EditFocusMode = TEditFocusMode(m);
        }
        if (reg.ValueExists("ControlEdit"))
            Options.ControlEdit = findPanel(reg.ReadString("ControlEdit"));
        if (reg.ValueExists("ControlInsert"))
            Options.ControlInsert = findPanel(reg.ReadString("ControlInsert"));
        if (reg.ValueExists("InsertOptions"))
            Options.InsertOptions = static_cast<unsigned>(reg.ReadInteger("InsertOptions")) & 7u;
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
