// Ownership and free notification of components.
#include "util/component.h"

#include <algorithm>

#include "util/cp1251.h"

namespace lm {

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    m_destroying = true;
    // Tell linked components first, so they drop their pointers to us.
    const auto notifies = m_freeNotifies;
    for (TComponent* other : notifies) {
        auto& theirs = other->m_freeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, opRemove);
    }
    while (!m_components.empty()) {
        TComponent* child = m_components.back();
        m_components.pop_back();
        child->m_owner = nullptr;
        delete child;
    }
    if (m_owner)
        m_owner->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    const std::string wanted = upperCase(name);
    for (TComponent* c : m_components)
        if (!c->m_name.empty() && upperCase(c->m_name) == wanted)
            return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* other)
{
    if (!other || other == this)
        return;
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), other) == m_freeNotifies.end())
        m_freeNotifies.push_back(other);
    if (std::find(other->m_freeNotifies.begin(), other->m_freeNotifies.end(), this) == other->m_freeNotifies.end())
        other->m_freeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other)
{
    if (!other)
        return;
    m_freeNotifies.erase(std::remove(m_freeNotifies.begin(), m_freeNotifies.end(), other), m_freeNotifies.end());
    auto& theirs = other->m_freeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove)
        RemoveFreeNotification(component);
}

void TComponent::InsertComponent(TComponent* component)
{
    m_components.push_back(component);
    component->m_owner = this;
    for (TComponent* c : m_components)
        if (c != component)
            c->Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    m_components.erase(std::remove(m_components.begin(), m_components.end(), component), m_components.end());
    component->m_owner = nullptr;
    if (!m_destroying)
        for (TComponent* c : m_components)
            c->Notification(component, opRemove);
}

} // namespace lm
