// TQtDBGrid: the Qt view of a TDBGridEh - titles with merged levels, footers, row colours, the
// multi-row selection kept as the grid's bookmarks and the keyboard of a data grid. It follows
// the dataset's current record and moves it; it paints only the visible rows.
#pragma once

#include <functional>
#include <string>

#include <QTableView>

#include "host/gridmodel.h"
#include "host/ui/gridheaderview.h"

namespace lm {

class TGridCellDelegate;
class TGridFooter;
class TQtGridModel;

class TQtDBGrid : public QTableView {
    Q_OBJECT

public:
    // The view of `grid` (not owned; it must outlive the view).
    explicit TQtDBGrid(TDBGridEh* grid, QWidget* parent = nullptr);
    ~TQtDBGrid() override;

    TDBGridEh* Grid() const { return m_grid; }
    TQtGridModel* Model() const { return m_model; }
    TGridHeaderView* Header() const { return m_header; }
    TGridFooter* Footer() const { return m_footer; }

    // Re-reads columns, rows, widths and footers (after the host changed the columns).
    void Refresh();
    // Row colours, as TColorGrid::CalcColors gives them (see TQtGridModel::TRowColorsEvent).
    void SetOnGetRowColors(std::function<void(TColor& fontColor, TColor& backColor)> event);
    // The sort mark of each column.
    void SetSortMarks(std::function<TSortMark(const TColumnEh* column)> marks);
    // Text typed into the grid (a printable key without Ctrl or Alt), Windows-1251: the start of
    // a context search. Unset, typing does nothing.
    std::function<void(const std::string& text)> OnSearchKey;

    // Selects or deselects the current record (the Insert key selects and moves on).
    void ToggleCurrentRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;

private:
    void followDataSet(int row);
    void applyWidths();
    void applyLook();
    void selectionChanged();
    void selectRange(int from, int to);

    TDBGridEh* m_grid;
    TQtGridModel* m_model;
    TGridHeaderView* m_header;
    TGridCellDelegate* m_delegate;
    TGridFooter* m_footer = nullptr;
    bool m_syncing = false;
    bool m_applyingWidths = false;
};

} // namespace lm
