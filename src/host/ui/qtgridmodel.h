// TQtGridModel: the Qt item model of a TDBGridEh. It reads the rows it is asked for through the
// dataset's windowed scan (the current record never moves, no event fires) and keeps the texts
// and colours of a window of rows around the view until the data change.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QFont>
#include <QPalette>

#include "host/gridmodel.h"

namespace lm {

class TQtGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Whether the row is among the grid's SelectedRows (bool).
    static constexpr int SelectedRole = Qt::UserRole + 1;

    // Colours of the row that the dataset's fields read while it is called, as CalcColors gives
    // them: they come in as clWindowText and clWindow, and a colour changed from that paints
    // every cell of the row instead of its column's font colour or colour.
    using TRowColorsEvent = std::function<void(TColor& fontColor, TColor& backColor)>;

    explicit TQtGridModel(TDBGridEh* grid, QObject* parent = nullptr);
    ~TQtGridModel() override;

    TDBGridEh* Grid() const { return m_grid; }
    // The visible column shown in `section`, or nullptr.
    TColumnEh* ColumnAt(int section) const;
    int SectionOf(const TColumnEh* column) const;

    // Asked for every row read; see TRowColorsEvent.
    void SetOnGetRowColors(TRowColorsEvent event);
    // The palette and font that system colours and column fonts are resolved against.
    void SetLook(const QPalette& palette, const QFont& font);
    // Rows read at once around a row asked for (at least 1).
    void SetCacheWindow(int rows);

    // Re-reads everything (columns, rows, colours).
    void Reset();
    // Re-reads one row.
    void RowChanged(int row);
    // The grid's SelectedRows changed: the rows are read again for their selection mark.
    void SelectionChanged();

    // The rows are those the dataset has fetched; a dataset that fetches on demand gets more
    // when the view scrolls to the end of them (fetchMore) or the dataset moves past them.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The dataset's current record moved to `row` (-1: none).
    void currentRowChanged(int row);

private:
    class Link;
    struct Cell {
        QString text;
        QColor font;
        QColor back;
    };
    struct Row {
        std::vector<Cell> cells;
        bool selected = false;
    };
    void rebuildColumns();
    const Row* rowAt(int row) const;
    void load(int first) const;
    void dataSetChanged(bool rowOnly);
    // Adds the rows the dataset fetched since the row count was taken.
    void grow();

    TDBGridEh* m_grid;
    std::unique_ptr<Link> m_link;
    std::vector<TColumnEh*> m_columns;  // visible ones, in grid order
    std::vector<QFont> m_columnFonts;
    std::vector<Qt::Alignment> m_columnAlign;
    TRowColorsEvent m_onGetRowColors;
    QPalette m_palette;
    QFont m_font;
    int m_rowCount = 0;
    int m_window = 256;
    mutable std::vector<Row> m_cache;
    mutable int m_cacheFirst = 0;
};

} // namespace lm
