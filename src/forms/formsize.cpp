// Placement of package forms kept in the per-user settings store.
#include "forms/formsize.h"

#include <algorithm>

#include "host/registry.h"

namespace lm {

namespace {

// Reads an integer value of the open key into `target` when it is stored as one.
void readIfStored(TRegistry& reg, const char* name, int& target)
{
    if (!reg.ValueExists(name))
        return;
    try {
        target = reg.ReadInteger(name);
    } catch (const ERegistryException&) {
        // a value of another type is not ours: the design value stays
    }
}

int centred(int screen, int form) { return std::max(0, (screen - form) / 2); }

} // namespace

TFormSize::TFormSize(std::string className, std::string sizeSuffix, TRegistryStore* store)
    : m_className(std::move(className)),
      m_sizeSuffix(std::move(sizeSuffix)),
      m_registry(std::make_unique<TRegistry>(store))
{
}

TFormSize::~TFormSize() = default;

std::string TFormSize::FormKey() const
{
    return "\\Software\\Lumora\\LMPack\\Forms" + m_sizeSuffix + "\\" + m_className;
}

void TFormSize::RestoreSize(TFormPlacement& placement, bool sizeable, int screenWidth, int screenHeight)
{
    TRegistry& reg = *m_registry;
    const bool opened = reg.OpenKey(FormKey() + "\\Size", false);
    if (opened && sizeable) {
        readIfStored(reg, "Height", placement.Height);
        readIfStored(reg, "Width", placement.Width);
    }
    placement.Top = centred(screenHeight, placement.Height);
    placement.Left = centred(screenWidth, placement.Width);
    if (!opened)
        return;
    readIfStored(reg, "Top", placement.Top);
    readIfStored(reg, "Left", placement.Left);
    int state = placement.State;
    readIfStored(reg, "State", state);
    placement.State = state == wsMaximized ? wsMaximized : state == wsMinimized ? wsMinimized : wsNormal;
    reg.CloseKey();
}

void TFormSize::SaveSize(const TFormPlacement& placement, bool sizeable)
{
    if (placement.State == wsMinimized)
        return;
    TRegistry& reg = *m_registry;
    reg.OpenKey(FormKey() + "\\Size", true);
    reg.WriteInteger("State", placement.State);
    if (placement.State == wsNormal) {
        reg.WriteInteger("Top", placement.Top);
        reg.WriteInteger("Left", placement.Left);
        if (sizeable) {
            reg.WriteInteger("Height", placement.Height);
            reg.WriteInteger("Width", placement.Width);
        }
    }
    reg.CloseKey();
}

} // namespace lm
