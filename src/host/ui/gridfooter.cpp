// Footer rows of the grid.
#include "host/ui/gridfooter.h"

#include <QHeaderView>
#include <QPainter>

#include "host/ui/qtgridmodel.h"
#include "util/ui/qcp1251.h"

namespace lm {

TGridFooter::TGridFooter(TQtGridModel* model, QHeaderView* header, QWidget* parent)
    : QWidget(parent), m_model(model), m_header(header)
{
    setObjectName("Footer");
    connect(header, &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
    connect(header, &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
}

int TGridFooter::RowCount() const
{
    return m_model->Grid()->FooterRowCount();
}

void TGridFooter::Refresh()
{
    m_texts.clear();
    m_align.clear();
    TDBGridEh* grid = m_model->Grid();
    for (int row = 0; row < grid->FooterRowCount(); ++row) {
        std::vector<QString> texts;
        for (int s = 0; s < m_model->columnCount(); ++s) {
            TColumnEh* column = m_model->ColumnAt(s);
            texts.push_back(ToQString(grid->GetFooterValue(row, *column)));
            const TAlignment a = column->Footers(row).Alignment();
            m_align.push_back(Qt::AlignVCenter | (a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft));
        }
        m_texts.push_back(std::move(texts));
    }
    updateGeometry();
    update();
}

QString TGridFooter::Text(int row, int section) const
{
    if (row < 0 || row >= static_cast<int>(m_texts.size()) || section < 0 || section >= static_cast<int>(m_texts[row].size()))
        return {};
    return m_texts[row][section];
}

int TGridFooter::RowHeight() const
{
    return fontMetrics().height() + 4;
}

QSize TGridFooter::sizeHint() const
{
    return QSize(m_header->length(), static_cast<int>(m_texts.size()) * RowHeight());
}

void TGridFooter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    const int h = RowHeight();
    const int sections = static_cast<int>(m_texts.empty() ? 0 : m_texts.front().size());
    for (int row = 0; row < static_cast<int>(m_texts.size()); ++row) {
        for (int s = 0; s < sections; ++s) {
            const QRect cell(m_header->sectionViewportPosition(s), row * h, m_header->sectionSize(s), h);
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            painter.setPen(palette().color(QPalette::ButtonText));
            const QRect textRect = cell.adjusted(3, 0, -3, 0);
            painter.drawText(textRect, static_cast<int>(m_align[row * sections + s]),
                             fontMetrics().elidedText(m_texts[row][s], Qt::ElideRight, textRect.width()));
        }
    }
}

} // namespace lm
