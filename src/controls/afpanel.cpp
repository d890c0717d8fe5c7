// The field panel model: states, customisation and the per-user settings.
#include "controls/afpanel.h"

#include <algorithm>
#include <cstdio>

#include "host/registry.h"
#include "util/cp1251.h"
#include "util/qstr.h"

namespace lm {

namespace {

const char* const kTabOrder = "\\TabOrder";

// The value name of position i of a stored tab order: three digits with leading zeros.
std::string tabValueName(std::size_t i)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%03zu", i);
    return buf;
}

// Writes `value` under `name` when it differs from `design`, and deletes it otherwise.
void writeOrDelete(TRegistry& reg, const char* name, int value, int design)
{
    if (value != design)
        reg.WriteInteger(name, value);
    else
        reg.DeleteValue(name);
}

// A stored integer; a value of another type (a damaged or foreign setting) is ignored.
void readInt(TRegistry& reg, const char* name, int& target)
{
    if (!reg.ValueExists(name))
        return;
    try {
        target = reg.ReadInteger(name);
    } catch (const ERegistryException&) {
    }
}

} // namespace

TColor AFPStateColor(TAFPState state)
{
    switch (state) {
    case afTabStop: return 0xC0DCC0;   // RGB 192, 220, 192
    case afEnable: return clInfoBk;
    case afDisable: return 0xF0CAA6;   // RGB 166, 202, 240
    case afInvisible: return 0x808080;
    }
    return clBtnFace;
}

std::string AFPStateHint(TAFPState state)
{
    switch (state) {
    case afTabStop: return "Останов по Tab"_w;
    case afEnable: return "Доступен"_w;
    case afDisable: return "Закрыт"_w;
    case afInvisible: return "Невидим"_w;
    }
    return {};
}

TAFPanel::TAFPanel(TAFPanel* parent) : m_parent(parent)
{
    if (parent)
        parent->m_children.push_back(this);
}

TAFPanel::~TAFPanel()
{
    for (TAFPanel* child : m_children)
        child->m_parent = nullptr;
    if (m_parent)
        std::erase(m_parent->m_children, this);
}

TAFPanel* TAFPanel::Top()
{
    TAFPanel* p = this;
    while (p->m_parent)
        p = p->m_parent;
    return p;
}

void TAFPanel::boundsChanged()
{
    if (m_view)
        m_view->BoundsChanged();
}

void TAFPanel::SetBounds(const TAFBounds& bounds)
{
    if (bounds == m_bounds)
        return;
    m_bounds = bounds;
    boundsChanged();
}

void TAFPanel::SetState(TAFPState state)
{
    m_state = state;
    if (m_custom && m_view)
        m_view->CustomChanged(true);
}

void TAFPanel::Loaded()
{
    m_designBounds = m_bounds;
    m_designState = m_state;
    if (m_view)
        m_designTabs = m_view->TabList();
}

void TAFPanel::readOwn()
{
    TRegistry reg(m_store);
    if (!reg.OpenKey(m_key, false))
        return;
    TAFBounds b = m_bounds;
    readInt(reg, "Top", b.Top);
    readInt(reg, "Left", b.Left);
    if (!RootPanel) {
        readInt(reg, "Width", b.Width);
        readInt(reg, "Height", b.Height);
    }
    SetBounds(b);
    int s = -1;
    readInt(reg, "State", s);
    if (s >= 0 && s < kAFPStateCount && !(DenyStates & AFPSet(TAFPState(s))))
        m_state = TAFPState(s);
}

void TAFPanel::readTabOrder()
{
    TRegistry reg(m_store);
    if (!m_view || !reg.OpenKey(m_key + kTabOrder, false))
        return;
    std::vector<std::string> names;
    for (std::size_t i = 0; reg.ValueExists(tabValueName(i)); ++i) {
        try {
            names.push_back(reg.ReadString(tabValueName(i)));
        } catch (const ERegistryException&) {
            // not a name: the order goes on without it
        }
    }
    m_view->ApplyTabOrder(names);
}

void TAFPanel::ReadFromReg(const std::string& rootKey)
{
    m_key = rootKey + "\\" + m_name;
    for (TAFPanel* child : m_children)
        child->m_store = m_store;
    readOwn();
    readTabOrder();
    for (TAFPanel* child : m_children)
        child->ReadFromReg(m_key);
    if (!m_parent)
        UpdateState(true);
}

void TAFPanel::WriteToReg(bool remove)
{
    if (m_key.empty())
        return;
    TRegistry reg(m_store);
    if (remove) {
        reg.DeleteKey(m_key);
        return;
    }
    reg.OpenKey(m_key, true);
    writeOrDelete(reg, "Top", m_bounds.Top, m_designBounds.Top);
    writeOrDelete(reg, "Left", m_bounds.Left, m_designBounds.Left);
    if (!RootPanel) {
        writeOrDelete(reg, "Width", m_bounds.Width, m_designBounds.Width);
        writeOrDelete(reg, "Height", m_bounds.Height, m_designBounds.Height);
    }
    writeOrDelete(reg, "State", m_state, m_designState);
    TRegKeyInfo info;
    if (reg.GetKeyInfo(info) && info.NumValues == 0 && info.NumSubKeys == 0) {
        reg.CloseKey();
        reg.DeleteKey(m_key);
    }
}

void TAFPanel::startCustom()
{
    m_savedBounds = m_bounds;
    m_savedState = m_state;
    m_custom = true;
    if (m_view)
        m_view->CustomChanged(true);
    for (TAFPanel* child : m_children)
        child->startCustom();
}

void TAFPanel::StartCustom()
{
    if (m_custom)
        return;
    if (BeforeCustom)
        BeforeCustom(this);
    startCustom();
}

void TAFPanel::endCustom(bool ok)
{
    // children first, so that a parent's key is judged empty only after they wrote theirs
    for (TAFPanel* child : m_children)
        child->endCustom(ok);
    if (ok) {
        WriteToReg(false);
    } else if (!RootPanel) {
        SetBounds(m_savedBounds);
        m_state = m_savedState;
    }
    m_custom = false;
    if (m_view)
        m_view->CustomChanged(false);
}

void TAFPanel::EndCustom(bool ok)
{
    if (!m_custom)
        return;
    endCustom(ok);
    UpdateState(!m_parent || m_parent->Enabled());
    if (AfterCustom)
        AfterCustom(this, ok);
}

void TAFPanel::resetCustom()
{
    for (TAFPanel* child : m_children)
        child->resetCustom();
    SetBounds(m_designBounds);
    m_state = m_designState;
    WriteToReg(false);
    if (m_view && m_custom)
        m_view->CustomChanged(true);
}

void TAFPanel::ResetCustom()
{
    resetCustom();
    if (!m_custom)
        UpdateState(!m_parent || m_parent->Enabled());
}

std::vector<TAFPState> TAFPanel::StateChoices() const
{
    std::vector<TAFPState> out;
    for (int s = 0; s < kAFPStateCount; ++s)
        if (!(DenyStates & AFPSet(TAFPState(s))))
            out.push_back(TAFPState(s));
    return out;
}

void TAFPanel::CustomTabOrder()
{
    if (!m_view)
        return;
    m_view->ExecTabOrderDialog();
    TRegistry reg(m_store);
    const std::string key = m_key + kTabOrder;
    reg.DeleteKey(key);
    const std::vector<std::string> tabs = m_view->TabList();
    if (tabs == m_designTabs || m_key.empty())
        return;
    reg.OpenKey(key, true);
    for (std::size_t i = 0; i < tabs.size(); ++i)
        reg.WriteString(tabValueName(i), tabs[i]);
}

void TAFPanel::UpdateState(bool enabled)
{
    if (m_custom)
        return;
    m_enabled = enabled && Editable();
    if (m_view)
        m_view->StateApplied(m_enabled, m_state != afInvisible, m_state == afTabStop);
    for (TAFPanel* child : m_children)
        child->UpdateState(m_enabled);
}

TAFPanel* TAFPanel::FindPanel(const std::string& name)
{
    if (Q_SameText(m_name, name))
        return this;
    for (TAFPanel* child : m_children)
        if (TAFPanel* p = child->FindPanel(name))
            return p;
    return nullptr;
}

void TAFPanel::PanelList(std::vector<std::pair<std::string, TAFPanel*>>& list, int level)
{
    for (TAFPanel* child : m_children) {
        list.emplace_back(std::string(2 * level, ' ') + child->GetDefCaption(), child);
        child->PanelList(list, level + 1);
    }
}

} // namespace lm
