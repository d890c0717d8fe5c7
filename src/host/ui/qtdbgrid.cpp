// The data grid widget.
#include "host/ui/qtdbgrid.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>

#include "host/ui/gridcelldelegate.h"
#include "host/ui/gridfooter.h"
#include "host/ui/qtgridmodel.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {
constexpr int kRowMargin = 4;
}

TQtDBGrid::TQtDBGrid(TDBGridEh* grid, QWidget* parent)
    : QTableView(parent),
      m_grid(grid),
      m_model(new TQtGridModel(grid, this)),
      m_header(new TGridHeaderView(this)),
      m_delegate(new TGridCellDelegate(this))
{
    setHorizontalHeader(m_header);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_footer = new TGridFooter(m_model, m_header, this);

    connect(m_model, &TQtGridModel::currentRowChanged, this, &TQtDBGrid::followDataSet);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_header->RefreshTitles();
        applyWidths();
        m_footer->Refresh();
        updateGeometries();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, m_footer, &TGridFooter::Refresh);
    connect(m_header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!m_applyingWidths)
            if (TColumnEh* column = m_model->ColumnAt(section))
                column->SetWidth(size);
    });
    applyLook();
    Refresh();
}

TQtDBGrid::~TQtDBGrid() = default;

void TQtDBGrid::Refresh()
{
    m_model->Reset();
}

void TQtDBGrid::SetOnGetRowColors(std::function<void(TColor&, TColor&)> event)
{
    m_model->SetOnGetRowColors(std::move(event));
}

void TQtDBGrid::SetSortMarks(std::function<TSortMark(const TColumnEh*)> marks)
{
    if (!marks) {
        m_header->SetSortMarks({});
        return;
    }
    m_header->SetSortMarks([this, marks = std::move(marks)](int section) {
        const TColumnEh* column = m_model->ColumnAt(section);
        return column ? marks(column) : smNone;
    });
}

void TQtDBGrid::applyLook()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowMargin);
    m_model->SetLook(palette(), font());
}

void TQtDBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        applyLook();
        m_header->RefreshTitles();
    }
}

// Column widths are pixels of a 13-pixel-high design font; the grid's font scales them.
void TQtDBGrid::applyWidths()
{
    m_applyingWidths = true;
    const int textHeight = fontMetrics().height();
    for (int s = 0; s < m_model->columnCount(); ++s) {
        const int width = m_model->ColumnAt(s)->Width();
        m_header->resizeSection(s, std::max(width, width * textHeight / 15));
    }
    m_applyingWidths = false;
}

void TQtDBGrid::updateGeometries()
{
    const int footerHeight = m_footer ? m_footer->sizeHint().height() : 0;
    setViewportMargins(0, m_header->sizeHint().height(), 0, footerHeight);
    QTableView::updateGeometries();
    if (m_footer) {
        const QRect vp = viewport()->geometry();
        m_footer->setGeometry(vp.left(), vp.bottom() + 1, vp.width(), footerHeight);
        m_footer->setVisible(footerHeight > 0);
    }
}

// The dataset moved: the view follows without moving it back.
void TQtDBGrid::followDataSet(int row)
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int column = std::max(0, currentIndex().column());
    if (row >= 0 && row < m_model->rowCount())
        setCurrentIndex(m_model->index(row, std::min(column, m_model->columnCount() - 1)));
    else
        setCurrentIndex(QModelIndex());
    m_syncing = false;
}

void TQtDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (previous.isValid() && current.isValid() && previous.row() != current.row())
        update(m_model->index(previous.row(), 0));
    if (m_syncing || !current.isValid())
        return;
    TDataSet* ds = m_grid->DataSet();
    if (!ds || !ds->Active() || ds->RecNo() == current.row() + 1)
        return;
    m_syncing = true;
    try {
        ds->SetRecNo(current.row() + 1);
    } catch (...) {
        m_syncing = false;
        throw;
    }
    m_syncing = false;
}

void TQtDBGrid::selectionChanged()
{
    m_model->Reset();
}

void TQtDBGrid::ToggleCurrentRow()
{
    TBookmarkListEh& rows = m_grid->SelectedRows();
    rows.SetCurrentRowSelected(!rows.CurrentRowSelected());
    selectionChanged();
}

// Selects the rows between two positions (inclusive) and returns to the current record.
void TQtDBGrid::selectRange(int from, int to)
{
    TDataSet* ds = m_grid->DataSet();
    if (!ds || !ds->Active())
        return;
    const TBookmark current = ds->GetBookmark();
    m_syncing = true;
    ds->DisableControls();
    for (int row = std::min(from, to); row <= std::max(from, to); ++row) {
        ds->SetRecNo(row + 1);
        m_grid->SelectedRows().SetCurrentRowSelected(true);
    }
    ds->GotoBookmark(current);
    ds->EnableControls();
    m_syncing = false;
    selectionChanged();
}

void TQtDBGrid::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int row = currentIndex().row();
    switch (event->key()) {
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier && row >= 0) {
            ToggleCurrentRow();
            if (row + 1 < m_model->rowCount())
                setCurrentIndex(m_model->index(row + 1, currentIndex().column()));
            return;
        }
        break;
    case Qt::Key_Delete:
        if (mods == Qt::ControlModifier) {
            m_grid->SelectedRows().Clear();
            selectionChanged();
            return;
        }
        if (mods == Qt::NoModifier && m_grid->SelectedRows().CurrentRowSelected()) {
            ToggleCurrentRow();
            return;
        }
        break;
    case Qt::Key_A:
        if (mods == Qt::ControlModifier) {
            m_grid->SelectedRows().SelectAll();
            selectionChanged();
            return;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (mods == Qt::ShiftModifier && row >= 0) {
            const int next = std::clamp(row + (event->key() == Qt::Key_Down ? 1 : -1), 0, m_model->rowCount() - 1);
            setCurrentIndex(m_model->index(next, currentIndex().column()));
            selectRange(row, next);
            return;
        }
        break;
    default: break;
    }
    const QString text = event->text();
    if (OnSearchKey && !text.isEmpty() && text.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        if (const std::optional<std::string> typed = FromQString(text)) {
            OnSearchKey(*typed);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void TQtDBGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex hit = indexAt(event->position().toPoint());
    const int before = currentIndex().row();
    QTableView::mousePressEvent(event);
    if (!hit.isValid() || event->button() != Qt::LeftButton)
        return;
    if (event->modifiers() & Qt::ControlModifier)
        ToggleCurrentRow();
    else if ((event->modifiers() & Qt::ShiftModifier) && before >= 0)
        selectRange(before, hit.row());
}

} // namespace lm
