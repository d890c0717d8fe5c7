// The menu model: entries listed by their parent, owned by a component.
#include "report/menuitem.h"

#include <algorithm>

namespace lm {

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem()
{
    for (TMenuItem* child : m_items)
        child->m_parent = nullptr;
    m_items.clear();
    if (m_parent)
        m_parent->Remove(this);
}

void TMenuItem::Add(TMenuItem* item)
{
    if (!item || item == this)
        return;
    if (item->m_parent)
        item->m_parent->Remove(item);
    m_items.push_back(item);
    item->m_parent = this;
    changed();
}

void TMenuItem::Remove(TMenuItem* item)
{
    const auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    item->m_parent = nullptr;
    changed();
}

void TMenuItem::Click()
{
    // A handler may rebuild the menu and so free this entry: it runs from a copy.
    if (const TNotifyEvent handler = OnClick)
        handler(this);
}

void TMenuItem::changed()
{
    TMenuItem* root = this;
    while (root->m_parent)
        root = root->m_parent;
    if (root->OnChange)
        root->OnChange(root);
}

TMenuItem* NewMenuItem(TComponent* owner, TMenuItem* parent, const std::string& caption, int tag,
                       TMenuItem::TNotifyEvent onClick)
{
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->OnClick = std::move(onClick);
    if (parent)
        parent->Add(item);
    return item;
}

} // namespace lm
