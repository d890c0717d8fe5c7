// The record walk of a report limited to the grid's selected rows, shared by both print menus.
#pragma once

namespace lm {

class TDBGridEh;
class TfrCustomDBDataSet;

// Installs on the report dataset First/Next/Prior and end-of-data handlers that, while the grid
// has selected rows, visit exactly those rows in the order of the grid's bookmark list; with no
// selected rows the whole dataset is walked. The grid must outlive the handlers.
void WalkSelectedRows(TfrCustomDBDataSet& data, TDBGridEh* grid);

// The handlers themselves: move to the bookmark at Min(RecNo, Count - 1) (or move the dataset
// as usual without a selection); end of data when Count <= RecNo.
void SelectedRowsGetRecord(TDBGridEh* grid, TfrCustomDBDataSet* sender, int move);
void SelectedRowsCheckEOF(TDBGridEh* grid, TfrCustomDBDataSet* sender, bool& eof);

} // namespace lm
