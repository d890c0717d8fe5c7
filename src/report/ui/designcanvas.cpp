// The report designer's page.
#include "report/ui/designcanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "report/designdoc.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

constexpr int kMargin = 12;  // around the paper
constexpr int kHandle = 6;   // the resize corner
constexpr int kGutter = 120; // left of the paper: the band names

} // namespace

TDesignCanvas::TDesignCanvas(TDesignDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setObjectName("pbPage");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Dark);
}

QSize TDesignCanvas::sizeHint() const
{
    if (m_page >= m_doc.PageCount())
        return {200, 200};
    return {static_cast<int>(m_doc.PageWidth(m_page)) + 2 * kMargin + kGutter,
            static_cast<int>(m_doc.PageHeight(m_page)) + 2 * kMargin};
}

void TDesignCanvas::SetPage(int page)
{
    m_page = page;
    m_selected = -1;
    resize(sizeHint());
    updateGeometry();
    update();
}

void TDesignCanvas::Select(int index)
{
    m_selected = index >= 0 && m_page < m_doc.PageCount() && index < m_doc.Count(m_page) ? index : -1;
    update();
    if (OnSelect)
        OnSelect(m_selected);
}

QPoint TDesignCanvas::ToWidget(double left, double top) const
{
    return {kMargin + kGutter + static_cast<int>(m_doc.OriginX(m_page) + left),
            kMargin + static_cast<int>(m_doc.OriginY(m_page) + top)};
}

QRect TDesignCanvas::itemRect(int index) const
{
    const TDesignItem item = m_doc.Item(m_page, index);
    return QRect(ToWidget(item.Left, item.Top), QSize(std::max(1, static_cast<int>(item.Width)), std::max(1, static_cast<int>(item.Height))));
}

int TDesignCanvas::ItemAt(const QPoint& at) const
{
    if (m_page >= m_doc.PageCount())
        return -1;
    int band = -1;
    for (int i = m_doc.Count(m_page) - 1; i >= 0; --i)
        if (itemRect(i).adjusted(0, 0, 1, 1).contains(at)) {
            if (!m_doc.Item(m_page, i).Band)
                return i;
            if (band < 0)
                band = i;
        }
    return band;
}

void TDesignCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_page >= m_doc.PageCount())
        return;
    const QRect paper(kMargin + kGutter, kMargin, static_cast<int>(m_doc.PageWidth(m_page)),
                      static_cast<int>(m_doc.PageHeight(m_page)));
    p.fillRect(paper, Qt::white);
    p.setPen(QPen(Qt::lightGray, 1, Qt::DashLine));
    p.drawRect(QRect(ToWidget(0, 0), paper.bottomRight() - QPoint(static_cast<int>(m_doc.OriginX(m_page)), static_cast<int>(m_doc.OriginY(m_page)))));
    QFont small = font();
    small.setPointSizeF(7);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < m_doc.Count(m_page); ++i) {
            const TDesignItem item = m_doc.Item(m_page, i);
            if (item.Band != (pass == 0))
                continue;
            const QRect r = itemRect(i);
            if (item.Band) {
                const QRect stripe(paper.left(), r.top(), paper.width(), std::max(r.height(), 2));
                p.fillRect(stripe, QColor(240, 240, 232));
                p.setPen(QColor(160, 160, 150));
                p.drawLine(stripe.bottomLeft(), stripe.bottomRight());
                p.setFont(small);
                p.setPen(palette().color(QPalette::BrightText));
                const QRect label(kMargin / 2, r.top(), kGutter - kMargin / 2, QFontMetrics(small).height());
                p.drawText(label, Qt::AlignLeft | Qt::AlignTop,
                           QFontMetrics(small).elidedText(ToQString(item.Name), Qt::ElideRight, label.width()));
                continue;
            }
            const TFont f = m_doc.Font(m_page, i);
            QFont font(ToQString(f.Name()));
            font.setPixelSize(std::max(1, static_cast<int>(f.Size() * 96.0 / 72.0 + 0.5)));
            font.setBold(f.Style() & fsBold);
            font.setItalic(f.Style() & fsItalic);
            font.setUnderline(f.Style() & fsUnderline);
            p.setFont(font);
            p.setPen(m_doc.Framed(m_page, i) ? QPen(Qt::black) : QPen(QColor(200, 200, 200), 1, Qt::DotLine));
            p.drawRect(r);
            p.setPen(Qt::black);
            static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
            p.drawText(r.adjusted(2, 1, -2, -1), aligns[m_doc.Align(m_page, i)] | Qt::AlignTop | Qt::TextWordWrap,
                       item.Memo ? ToQString(m_doc.Text(m_page, i)) : ToQString(item.Kind));
        }
    if (m_selected >= 0) {
        const QRect r = itemRect(m_selected);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(-1, -1, 1, 1));
        p.fillRect(QRect(r.bottomRight() - QPoint(kHandle - 1, kHandle - 1), QSize(kHandle, kHandle)),
                   palette().color(QPalette::Highlight));
    }
}

void TDesignCanvas::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    const QPoint at = event->position().toPoint();
    const int hit = m_selected >= 0 &&
                            QRect(itemRect(m_selected).bottomRight() - QPoint(kHandle, kHandle), QSize(kHandle + 2, kHandle + 2)).contains(at)
                        ? m_selected
                        : ItemAt(at);
    const bool resize = hit == m_selected && hit >= 0 &&
                        QRect(itemRect(hit).bottomRight() - QPoint(kHandle, kHandle), QSize(kHandle + 2, kHandle + 2)).contains(at);
    if (hit != m_selected)
        Select(hit);
    if (hit < 0 || event->button() != Qt::LeftButton)
        return;
    const TDesignItem item = m_doc.Item(m_page, hit);
    m_drag = resize ? dmResize : dmMove;
    m_pressAt = at;
    m_startBounds = QRectF(item.Left, item.Top, item.Width, item.Height);
    m_moved = false;
    if (BeginChange)
        BeginChange();
}

void TDesignCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag == dmNone || m_selected < 0)
        return;
    const QPoint d = event->position().toPoint() - m_pressAt;
    if (!m_moved && d.manhattanLength() < 2)
        return;
    m_moved = true;
    const QRectF b = m_startBounds;
    if (m_drag == dmMove)
        setBounds(b.left() + d.x(), b.top() + d.y(), b.width(), b.height());
    else
        setBounds(b.left(), b.top(), std::max(4.0, b.width() + d.x()), std::max(2.0, b.height() + d.y()));
}

void TDesignCanvas::mouseReleaseEvent(QMouseEvent*)
{
    if (m_drag == dmNone)
        return;
    m_drag = dmNone;
    if (EndChange)
        EndChange(m_moved);
}

void TDesignCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int hit = ItemAt(event->position().toPoint());
    if (hit >= 0 && OnOpen)
        OnOpen(hit);
}

void TDesignCanvas::keyPressEvent(QKeyEvent* event)
{
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (m_selected < 0)
        return;
    const TDesignItem item = m_doc.Item(m_page, m_selected);
    if (BeginChange)
        BeginChange();
    if (event->modifiers() & Qt::ShiftModifier)
        setBounds(item.Left, item.Top, std::max(1.0, item.Width + dx), std::max(1.0, item.Height + dy));
    else
        setBounds(item.Left + dx, item.Top + dy, item.Width, item.Height);
    if (EndChange)
        EndChange(true);
}

void TDesignCanvas::setBounds(double left, double top, double width, double height)
{
    // An object that moves into another band changes its place in the list: found again by name.
    const std::string name = m_doc.Item(m_page, m_selected).Name;
    m_doc.SetBounds(m_page, m_selected, left, top, width, height);
    for (int i = 0; i < m_doc.Count(m_page); ++i)
        if (m_doc.Item(m_page, i).Name == name)
            m_selected = i;
    update();
    if (OnMove)
        OnMove(m_selected);
}

} // namespace lm
