// The tab order dialog's list moves.
#include "forms/taborderlist.h"

#include <algorithm>

namespace lm {

void TTabOrderList::moveSelectedTo(int target)
{
    if (target != m_selected) {
        const Entry e = m_entries[m_selected];
        m_entries.erase(m_entries.begin() + m_selected);
        m_entries.insert(m_entries.begin() + target, e);
    }
    m_selected = target;
}

void TTabOrderList::Move(TTabOrderMove move)
{
    if (m_selected < 0)
        return;
    int target = 0;
    switch (move) {
    case tmTop: target = 0; break;
    case tmUp: target = m_selected - 1; break;
    case tmDown: target = m_selected + 1; break;
    case tmBottom: target = Count() - 1; break;
    }
    moveSelectedTo(std::clamp(target, 0, Count() - 1));
}

void TTabOrderList::Drop(int target)
{
    if (m_selected < 0 || target < 0 || target >= Count() || target == m_selected)
        return;
    moveSelectedTo(target);
}

} // namespace lm
