// Lean painting of grid cells.
#include "host/ui/gridcelldelegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include "host/ui/qtgridmodel.h"

namespace lm {

namespace {
constexpr int kTextMargin = 2;
}

TGridCellDelegate::TGridCellDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), m_view(view) {}

void TGridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QPalette& palette = option.palette;
    const bool current = index == m_view->currentIndex();
    const bool focused = current && m_view->hasFocus();
    const bool selected = index.data(TQtGridModel::SelectedRole).toBool();

    QColor back;
    QColor fore;
    if (focused || selected) {
        back = palette.color(QPalette::Highlight);
        fore = palette.color(QPalette::HighlightedText);
    } else {
        back = index.data(Qt::BackgroundRole).value<QColor>();
        fore = index.data(Qt::ForegroundRole).value<QColor>();
    }
    if (!back.isValid())
        back = palette.color(QPalette::Base);
    if (!fore.isValid())
        fore = palette.color(QPalette::Text);
    painter->fillRect(option.rect, back);

    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid())
        painter->setFont(font.value<QFont>());
    const QRect textRect = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString text = painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
    painter->setPen(fore);
    painter->drawText(textRect, static_cast<int>(index.data(Qt::TextAlignmentRole).value<Qt::Alignment>()), text);

    // The current cell keeps a frame when the selection already paints it, or the grid is not focused.
    if (current && (selected || !focused)) {
        QPen pen(focused ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Highlight));
        pen.setStyle(focused ? Qt::DotLine : Qt::SolidLine);
        painter->setPen(pen);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
}

} // namespace lm
