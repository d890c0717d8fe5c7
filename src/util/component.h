// TComponent: the small base of the package's components (name, owner, owned components and
// free notification), which lets components find their partners among the owner's components.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lm {

class TComponent {
public:
    enum TOperation { opInsert, opRemove };

    // An owner takes ownership: the component is destroyed with its owner. nullptr: no owner.
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    TComponent* Owner() const { return m_owner; }

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(index); }
    // The owned component of that name (compared ignoring letter case), or nullptr.
    TComponent* FindComponent(const std::string& name) const;

    // Asks that Notification(this, opRemove) reach `other` when this component is destroyed
    // (and the other way round), for links between components that do not own each other.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Points `link` (a member of this component) at `target`, moving the free notification from
    // the old partner to the new one. Returns false, doing nothing, when it already points there.
    template <typename T>
    bool ReplaceLink(T*& link, T* target)
    {
        if (link == target)
            return false;
        if (link)
            RemoveFreeNotification(link);
        link = target;
        if (target)
            FreeNotification(target);
        return true;
    }

    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

protected:
    // Called when a component this one links to is going away (opRemove) or when a component is
    // inserted into this owner (opInsert). Overrides clear their links to `component`.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    std::string m_name;
    TComponent* m_owner = nullptr;
    std::vector<TComponent*> m_components; // owned; destroyed in reverse order of insertion
    std::vector<TComponent*> m_freeNotifies;
    int m_tag = 0;
    bool m_destroying = false;
};

} // namespace lm
