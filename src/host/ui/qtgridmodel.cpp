// The grid's item model over the dataset.
#include "host/ui/qtgridmodel.h"

#include <algorithm>

#include "host/datasource.h"
#include "host/ui/qtcolor.h"
#include "util/ui/qcp1251.h"

namespace lm {

// Hears the dataset through the grid's data source and tells the model.
class TQtGridModel::Link : public TDataLink {
public:
    explicit Link(TQtGridModel* model) : m_model(model) {}

protected:
    void ActiveChanged() override { m_model->dataSetChanged(false); }
    void EditingChanged() override
    {
        if (Editing())
            m_edited = true;
    }
    // Starting an edit and posting or cancelling it concern the current row only.
    void DataSetChanged() override
    {
        const bool rowOnly = m_edited || Editing();
        m_edited = Editing();
        m_model->dataSetChanged(rowOnly);
    }
    void RecordChanged(TField* field) override
    {
        if (!field) {
            DataSetChanged();
            return;
        }
        if (TDataSet* ds = DataSet())
            m_model->RowChanged(ds->RecNo() - 1);
    }
    void DataSetScrolled(int) override
    {
        TDataSet* ds = DataSet();
        m_model->grow();  // moving past the fetched rows fetches more
        emit m_model->currentRowChanged(ds ? ds->RecNo() - 1 : -1);
    }
    void LayoutChanged() override { m_model->Reset(); }

private:
    TQtGridModel* m_model;
    bool m_edited = false;
};

TQtGridModel::TQtGridModel(TDBGridEh* grid, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid), m_link(std::make_unique<Link>(this))
{
    m_link->SetDataSource(grid->DataSource());
    rebuildColumns();
}

TQtGridModel::~TQtGridModel() = default;

void TQtGridModel::SetOnGetRowColors(TRowColorsEvent event)
{
    m_onGetRowColors = std::move(event);
    Reset();
}

void TQtGridModel::SetLook(const QPalette& palette, const QFont& font)
{
    m_palette = palette;
    m_font = font;
    Reset();
}

void TQtGridModel::SetCacheWindow(int rows)
{
    m_window = std::max(1, rows);
    m_cache.clear();
}

TColumnEh* TQtGridModel::ColumnAt(int section) const
{
    return section >= 0 && section < static_cast<int>(m_columns.size()) ? m_columns[section] : nullptr;
}

int TQtGridModel::SectionOf(const TColumnEh* column) const
{
    const auto it = std::find(m_columns.begin(), m_columns.end(), column);
    return it == m_columns.end() ? -1 : static_cast<int>(it - m_columns.begin());
}

void TQtGridModel::rebuildColumns()
{
    if (m_link->DataSource() != m_grid->DataSource())
        m_link->SetDataSource(m_grid->DataSource());
    m_columns.clear();
    m_columnFonts.clear();
    m_columnAlign.clear();
    const TDBGridColumnsEh& columns = m_grid->Columns();
    for (int i = 0; i < columns.Count(); ++i) {
        TColumnEh* column = columns.Items(i);
        if (!column->Visible())
            continue;
        m_columns.push_back(column);
        // A column keeps the grid's font unless the host gave it one of its own.
        m_columnFonts.push_back(column->Font() == TFont() ? m_font : ToQFont(column->Font(), m_font));
        const TAlignment align = column->Alignment();
        m_columnAlign.push_back(Qt::AlignVCenter
                                | (align == taRightJustify ? Qt::AlignRight : align == taCenter ? Qt::AlignHCenter : Qt::AlignLeft));
    }
    TDataSet* ds = m_grid->DataSet();
    m_rowCount = ds && ds->Active() ? ds->FetchedRecordCount() : 0;
    m_cache.clear();
}

void TQtGridModel::Reset()
{
    beginResetModel();
    rebuildColumns();
    endResetModel();
    TDataSet* ds = m_grid->DataSet();
    emit currentRowChanged(ds && ds->Active() ? ds->RecNo() - 1 : -1);
}

void TQtGridModel::dataSetChanged(bool rowOnly)
{
    TDataSet* ds = m_grid->DataSet();
    const int count = ds && ds->Active() ? ds->FetchedRecordCount() : 0;
    if (rowOnly && count == m_rowCount) {
        RowChanged(ds->RecNo() - 1);
        return;
    }
    Reset();
}

void TQtGridModel::RowChanged(int row)
{
    if (row < 0 || row >= m_rowCount)
        return;
    m_cache.clear();
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TQtGridModel::SelectionChanged()
{
    m_cache.clear();
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, columnCount() - 1), {SelectedRole});
}

// Reads rows first .. first + window - 1 with the fields reading each row in turn.
void TQtGridModel::load(int first) const
{
    m_cache.clear();
    m_cacheFirst = first;
    TDataSet* ds = m_grid->DataSet();
    if (!ds || !ds->Active())
        return;
    std::vector<TBookmark> selected;
    const TBookmarkListEh& marks = m_grid->SelectedRows();
    for (int i = 0; i < marks.Count(); ++i)
        selected.push_back(marks.Items(i));
    std::sort(selected.begin(), selected.end(), [ds](const TBookmark& a, const TBookmark& b) { return ds->CompareBookmarks(a, b) < 0; });
    // only the rows the view knows of: the rows past them are read when it asks for them
    ds->ScanRecords(first, std::min(m_window, m_rowCount - first), [&](int index) {
        Row row;
        row.cells.reserve(m_columns.size());
        TColor rowFont = clWindowText;
        TColor rowBack = clWindow;
        if (m_onGetRowColors)
            m_onGetRowColors(rowFont, rowBack);
        for (TColumnEh* column : m_columns) {
            const TColor fontColor = rowFont != clWindowText ? rowFont : column->Font().Color();
            const TColor backColor = rowBack != clWindow ? rowBack : column->Color();
            row.cells.push_back({ToQString(column->DisplayText()), ToQColor(fontColor, m_palette), ToQColor(backColor, m_palette)});
        }
        const TBookmark mark = ds->BookmarkAt(index);
        row.selected = std::binary_search(selected.begin(), selected.end(), mark,
                                          [ds](const TBookmark& a, const TBookmark& b) { return ds->CompareBookmarks(a, b) < 0; });
        m_cache.push_back(std::move(row));
    });
}

const TQtGridModel::Row* TQtGridModel::rowAt(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return nullptr;
    if (row < m_cacheFirst || row >= m_cacheFirst + static_cast<int>(m_cache.size()))
        load(std::max(0, row - m_window / 4));
    const int offset = row - m_cacheFirst;
    return offset >= 0 && offset < static_cast<int>(m_cache.size()) ? &m_cache[offset] : nullptr;
}

int TQtGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

bool TQtGridModel::canFetchMore(const QModelIndex& parent) const
{
    const TDataSet* ds = m_grid->DataSet();
    return !parent.isValid() && ds && ds->Active() && (!ds->AllFetched() || ds->FetchedRecordCount() > m_rowCount);
}

void TQtGridModel::fetchMore(const QModelIndex& parent)
{
    TDataSet* ds = m_grid->DataSet();
    if (parent.isValid() || !ds || !ds->Active())
        return;
    ds->FetchMore(m_window);
    grow();
}

void TQtGridModel::grow()
{
    const TDataSet* ds = m_grid->DataSet();
    const int count = ds && ds->Active() ? ds->FetchedRecordCount() : 0;
    if (count <= m_rowCount)
        return;
    beginInsertRows(QModelIndex(), m_rowCount, count - 1);
    m_rowCount = count;
    endInsertRows();
}

int TQtGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TQtGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row* row = rowAt(index.row());
    if (!row || index.column() >= static_cast<int>(row->cells.size()))
        return {};
    const Cell& cell = row->cells[index.column()];
    switch (role) {
    case Qt::DisplayRole: return cell.text;
    case Qt::ForegroundRole: return cell.font;
    case Qt::BackgroundRole: return cell.back;
    case Qt::FontRole: return m_columnFonts[index.column()];
    case Qt::TextAlignmentRole: return QVariant::fromValue(m_columnAlign[index.column()]);
    case SelectedRole: return row->selected;
    default: return {};
    }
}

QVariant TQtGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const TColumnEh* column = ColumnAt(section);
    return column ? ToQString(column->Title().Caption()) : QVariant();
}

Qt::ItemFlags TQtGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace lm
