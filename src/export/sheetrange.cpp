// Cell ranges of the back ends.
#include "export/sheetrange.h"

#include "util/cp1251.h"

namespace lm {

void TSheetRange::SetTopLeftText(const std::string& text) const
{
    // A cell hidden under a merged range shows nothing: its text would only surface in programs
    // that list hidden cells.
    if (Empty() || m_sheet->IsCovered(m_row1, m_col1))
        return;
    std::string utf8 = cp1251ToUtf8(text);
    std::erase(utf8, '\r');  // a CR LF line break is one line break in a cell
    m_sheet->SetText(m_row1, m_col1, utf8);
}

int RangeEdge(unsigned coordinate)
{
    return coordinate >= static_cast<unsigned>(kMaxSheetCols > kMaxSheetRows ? kMaxSheetCols : kMaxSheetRows)
               ? -1
               : static_cast<int>(coordinate);
}

} // namespace lm
