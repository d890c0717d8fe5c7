// TGridCellDelegate: paints a grid cell from its cached text and colours - background, selection,
// the current cell and elided text - without the style's item machinery.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace lm {

class TGridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TGridCellDelegate(QAbstractItemView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QAbstractItemView* m_view;
};

} // namespace lm
