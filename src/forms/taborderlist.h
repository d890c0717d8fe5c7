// TTabOrderList: the entries of the tab order dialog (a control's label and the control) and
// the moves its four buttons and the drag make.
#pragma once

#include <string>
#include <vector>

namespace lm {

enum TTabOrderMove { tmTop, tmUp, tmDown, tmBottom };

class TTabOrderList {
public:
    struct Entry {
        std::string Text;
        void* Object;
    };

    void Add(const std::string& text, void* object) { m_entries.push_back({text, object}); }
    int Count() const { return static_cast<int>(m_entries.size()); }
    const Entry& Items(int i) const { return m_entries.at(i); }
    // -1 when no entry is selected.
    int Selected() const { return m_selected; }
    void SetSelected(int i) { m_selected = i >= 0 && i < Count() ? i : -1; }

    // A button: moves the selected entry to the top, one up, one down or to the bottom
    // (clamped), and keeps it selected. Nothing happens without a selection.
    void Move(TTabOrderMove move);
    // A drop on entry `target` (Count() - 1 when below the last one) moves the selected entry there.
    void Drop(int target);

private:
    void moveSelectedTo(int target);

    std::vector<Entry> m_entries;
    int m_selected = -1;
};

} // namespace lm
