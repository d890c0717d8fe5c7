// TGridHeaderView: the title row of the grid, one row per title level, parts that "|" separates
// merged across neighbouring columns, and the sort marks of the columns.
#pragma once

#include <functional>
#include <memory>

#include <QHeaderView>

#include "host/gridtitles.h"

namespace lm {

enum TSortMark : int { smNone, smUp, smDown };

class TGridHeaderView : public QHeaderView {
    Q_OBJECT

public:
    explicit TGridHeaderView(QWidget* parent = nullptr);

    // The mark drawn under a section's title; none when unset.
    void SetSortMarks(std::function<TSortMark(int section)> marks);
    TSortMark SortMark(int section) const { return m_marks ? m_marks(section) : smNone; }
    // Re-reads the titles from the model (after columns or captions changed).
    void RefreshTitles();
    const TGridTitleLayout& Layout() const { return *m_layout; }
    // The rectangle of a title cell in viewport coordinates.
    QRect CellRect(const TTitleCell& cell) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int levelHeight() const;

    std::unique_ptr<TGridTitleLayout> m_layout;
    std::function<TSortMark(int)> m_marks;
};

} // namespace lm
