// The grid's multi-level title row.
#include "host/ui/gridheaderview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include "util/ui/qcp1251.h"

namespace lm {

TGridHeaderView::TGridHeaderView(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_layout(std::make_unique<TGridTitleLayout>(std::vector<std::string>{}))
{
    setSectionsMovable(false);
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void TGridHeaderView::SetSortMarks(std::function<TSortMark(int section)> marks)
{
    m_marks = std::move(marks);
    viewport()->update();
}

void TGridHeaderView::RefreshTitles()
{
    std::vector<std::string> titles;
    if (QAbstractItemModel* m = model())
        for (int s = 0; s < m->columnCount(); ++s)
            titles.push_back(FromQString(m->headerData(s, Qt::Horizontal).toString()).value_or(std::string()));
    m_layout = std::make_unique<TGridTitleLayout>(titles);
    updateGeometry();
    viewport()->update();
}

int TGridHeaderView::levelHeight() const
{
    return fontMetrics().height() + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
}

QSize TGridHeaderView::sizeHint() const
{
    QSize hint = QHeaderView::sizeHint();
    hint.setHeight(std::max(1, m_layout->LevelCount()) * levelHeight());
    return hint;
}

QRect TGridHeaderView::CellRect(const TTitleCell& cell) const
{
    const int last = cell.Column + cell.Columns - 1;
    const int left = sectionViewportPosition(cell.Column);
    const int right = sectionViewportPosition(last) + sectionSize(last);
    const int h = levelHeight();
    const int top = cell.Level * h;
    const bool bottom = cell.Level + cell.Levels == m_layout->LevelCount();
    return QRect(left, top, right - left, bottom ? viewport()->height() - top : cell.Levels * h);
}

void TGridHeaderView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    for (const TTitleCell& cell : m_layout->Cells()) {
        const QRect rect = CellRect(cell);
        if (!rect.intersects(dirty) || rect.width() <= 0)
            continue;
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = cell.Column;
        // A title wider than its cell is cut at the end with an ellipsis, not at both sides.
        const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
        option.text = fontMetrics().elidedText(ToQString(cell.Text), Qt::ElideRight, rect.width() - margin);
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::Middle;
        // Only a cell over one column at the bottom level shows that column's sort mark.
        const bool lowest = cell.Level + cell.Levels == m_layout->LevelCount() && cell.Columns == 1;
        const TSortMark mark = lowest ? SortMark(cell.Column) : smNone;
        option.sortIndicator = mark == smUp ? QStyleOptionHeader::SortUp
                             : mark == smDown ? QStyleOptionHeader::SortDown
                                              : QStyleOptionHeader::None;
        style()->drawControl(QStyle::CE_Header, &option, &painter, this);
    }
}

} // namespace lm
