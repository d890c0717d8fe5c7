// TGridTitleLayout: the cells of a grid's title block when column titles carry levels
// separated by "|" ("Цена|Закупка", "Цена|Продажа"), with equal neighbouring parts merged.
#pragma once

#include <string>
#include <vector>

namespace lm {

struct TTitleCell {
    int Level = 0;      // first title row, 0 at the top
    int Levels = 1;     // rows spanned
    int Column = 0;     // first column
    int Columns = 1;    // columns spanned
    std::string Text;
};

class TGridTitleLayout {
public:
    // Splits each title at "|". A title with fewer parts than the deepest one repeats its last
    // part on the deeper levels (A|B among three levels reads A, B, B).
    explicit TGridTitleLayout(const std::vector<std::string>& titles);

    int LevelCount() const { return m_levels; }
    int ColumnCount() const { return static_cast<int>(m_parts.size()); }
    const std::string& Part(int column, int level) const { return m_parts[column][level]; }

    // The cells covering the block exactly once, in rows top to bottom, left to right. A part
    // that repeats down its column spans those rows; neighbouring columns whose parts are
    // equal on a level, under equal parts above it and with the same rows spanned, share one
    // cell. Equal texts separated by another one stay apart.
    std::vector<TTitleCell> Cells() const;
    // The cell that covers (column, level).
    TTitleCell CellAt(int column, int level) const;

private:
    int rowsDown(int column, int level) const;
    bool sameParents(int a, int b, int level) const;

    std::vector<std::vector<std::string>> m_parts;
    int m_levels = 0;
};

} // namespace lm
