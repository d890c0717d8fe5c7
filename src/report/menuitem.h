// TMenuItem: one entry of a menu model (caption, tag, click handler, sub-entries) that the print
// menus fill and that a view (a QMenu on a tool button) shows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "util/component.h"

namespace lm {

class TMenuItem : public TComponent {
public:
    using TNotifyEvent = std::function<void(TMenuItem* Sender)>;

    // The owner destroys the entry; the parent only lists it. An entry that goes away leaves its
    // parent's list, and its own sub-entries lose their parent.
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    // The caption "-" makes a separator line.
    bool IsLine() const { return m_caption == "-"; }

    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem* Items(int index) const { return m_items.at(index); }
    TMenuItem* Parent() const { return m_parent; }
    // Appends `item` (taken from its previous parent); raises OnChange of the root.
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    // Calls OnClick with this entry. The entry may be gone when the handler returns.
    void Click();
    TNotifyEvent OnClick;
    // Raised on the root entry whenever entries are added or removed anywhere beneath it, so a
    // view can rebuild itself.
    TNotifyEvent OnChange;

private:
    void changed();
    std::string m_caption;
    std::vector<TMenuItem*> m_items;
    TMenuItem* m_parent = nullptr;
};

// A new entry owned by `owner`, appended to `parent`.
TMenuItem* NewMenuItem(TComponent* owner, TMenuItem* parent, const std::string& caption, int tag = 0,
                       TMenuItem::TNotifyEvent onClick = {});

} // namespace lm
