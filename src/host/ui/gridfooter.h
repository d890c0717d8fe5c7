// TGridFooter: the footer rows under the grid's columns (sums, counts, texts), kept aligned
// with the columns as they are resized and scrolled.
#pragma once

#include <vector>

#include <QString>
#include <QWidget>

class QHeaderView;

namespace lm {

class TQtGridModel;

class TGridFooter : public QWidget {
    Q_OBJECT

public:
    TGridFooter(TQtGridModel* model, QHeaderView* header, QWidget* parent);

    // Re-reads the footer texts (sums walk the dataset: done when the data change, not when painting).
    void Refresh();
    int RowCount() const;
    // The text of footer row `row` under section `section`.
    QString Text(int row, int section) const;
    int RowHeight() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TQtGridModel* m_model;
    QHeaderView* m_header;
    std::vector<std::vector<QString>> m_texts;  // [row][section]
    std::vector<Qt::Alignment> m_align;          // [row * sections + section]
};

} // namespace lm
