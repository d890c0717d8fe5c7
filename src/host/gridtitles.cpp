// Multi-level grid titles.
#include "host/gridtitles.h"

#include <algorithm>

namespace lm {

TGridTitleLayout::TGridTitleLayout(const std::vector<std::string>& titles)
{
    for (const std::string& title : titles)
        m_levels = std::max(m_levels, static_cast<int>(std::count(title.begin(), title.end(), '|')) + 1);
    m_parts.reserve(titles.size());
    for (const std::string& title : titles) {
        std::vector<std::string> parts;
        std::string::size_type start = 0;
        while (static_cast<int>(parts.size()) < m_levels) {
            const auto bar = title.find('|', start);
            if (bar == std::string::npos) {
                parts.push_back(title.substr(start));
                break;
            }
            parts.push_back(title.substr(start, bar - start));
            start = bar + 1;
        }
        parts.resize(static_cast<std::size_t>(m_levels), parts.back());
        m_parts.push_back(std::move(parts));
    }
}

// Rows from `level` down that repeat its part in that column.
int TGridTitleLayout::rowsDown(int column, int level) const
{
    int end = level + 1;
    while (end < m_levels && m_parts[column][end] == m_parts[column][level])
        ++end;
    return end - level;
}

bool TGridTitleLayout::sameParents(int a, int b, int level) const
{
    for (int l = 0; l <= level; ++l)
        if (m_parts[a][l] != m_parts[b][l])
            return false;
    return true;
}

TTitleCell TGridTitleLayout::CellAt(int column, int level) const
{
    // The top of the vertical run holding `level`.
    int top = level;
    while (top > 0 && m_parts[column][top - 1] == m_parts[column][level])
        --top;
    const int rows = rowsDown(column, top);
    // Equal parts down to `top` also put the neighbour's run at the same top.
    auto joins = [&](int other) { return sameParents(column, other, top) && rowsDown(other, top) == rows; };
    int first = column;
    while (first > 0 && joins(first - 1))
        --first;
    int last = column;
    while (last + 1 < ColumnCount() && joins(last + 1))
        ++last;
    return {top, rows, first, last - first + 1, m_parts[column][top]};
}

std::vector<TTitleCell> TGridTitleLayout::Cells() const
{
    std::vector<TTitleCell> cells;
    for (int level = 0; level < m_levels; ++level)
        for (int column = 0; column < ColumnCount(); ++column) {
            const TTitleCell cell = CellAt(column, level);
            if (cell.Level == level && cell.Column == column)
                cells.push_back(cell);
        }
    return cells;
}

} // namespace lm
