// The grid widget joined to a context search and a user sort: typing in the grid opens the
// search with the typed text for the current column's field, and the title shows the sort marks.
#pragma once

namespace lm {

class TContextFilter;
class TQtDBGrid;
class TUserSort;

// Typing in `grid` runs the search dialog of `filter` with the typed text in its value field.
// Both must outlive the link (it lasts as long as the grid).
void LinkGridSearch(TQtDBGrid& grid, TContextFilter& filter);
// The columns of the fields the dataset is sorted by (as the user sort reads its present
// order) show up or down marks.
void LinkGridSort(TQtDBGrid& grid, TUserSort& sort);

} // namespace lm
