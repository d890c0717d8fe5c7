// TSheetRange: a rectangle of a worksheet that the back ends' IRange implementations work on.
#pragma once

#include <string>

#include "export/workbook.h"

namespace lm {

class TSheetRange {
public:
    // 0-based, inclusive. A range whose right or bottom edge lies before its start is empty:
    // every operation on it does nothing.
    TSheetRange(TWorksheet* sheet, int row1, int col1, int row2, int col2)
        : m_sheet(sheet), m_row1(row1), m_col1(col1), m_row2(row2), m_col2(col2) {}

    bool Empty() const { return m_row2 < m_row1 || m_col2 < m_col1; }
    void MergeCells() const
    {
        if (!Empty())
            m_sheet->Merge(m_row1, m_col1, m_row2, m_col2);
    }
    // The top-left cell's text (Windows-1251).
    void SetTopLeftText(const std::string& text) const;
    template <typename F>
    void Change(F change) const
    {
        if (!Empty())
            m_sheet->ChangeStyle(m_row1, m_col1, m_row2, m_col2, change);
    }
    TWorksheet& Sheet() const { return *m_sheet; }

private:
    TWorksheet* m_sheet;
    int m_row1, m_col1, m_row2, m_col2;
};

// The 0-based edge of an IRange coordinate, -1 for the "before the start" values a block of no
// columns produces, so such a range stays empty.
int RangeEdge(unsigned coordinate);

} // namespace lm
