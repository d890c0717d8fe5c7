// The selection frame's grips, outline and grip drags.
#include "controls/ui/qtselectwindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include "controls/selectframe.h"
#include "controls/ui/qtafpanel.h"

namespace lm {

Qt::CursorShape GripQtCursor(int grip)
{
    switch (GripCursor(grip)) {
    case gcSizeNWSE: return Qt::SizeFDiagCursor;
    case gcSizeNS: return Qt::SizeVerCursor;
    case gcSizeNESW: return Qt::SizeBDiagCursor;
    case gcSizeWE: return Qt::SizeHorCursor;
    case gcNone: break;
    }
    return Qt::ArrowCursor;
}

TQtSelectWindow::TQtSelectWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName("SelectWindow");
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TQtSelectWindow::setGripMask()
{
    QRegion region;
    for (int k = 1; k <= 8; ++k) {
        const TAFBounds g = GripRect(k, width(), height());
        region += QRect(g.Left, g.Top, g.Width, g.Height);
    }
    setMask(region);
}

void TQtSelectWindow::FramePanel(TQtAFPanel* panel)
{
    m_framed = panel;
    m_outline = false;
    if (parentWidget() != panel->parentWidget())
        setParent(panel->parentWidget());
    const TAFBounds b = FrameAround({panel->x(), panel->y(), panel->width(), panel->height()});
    setGeometry(b.Left, b.Top, b.Width, b.Height);
    setEnabled(true);
    setGripMask();
    raise();
    show();
}

void TQtSelectWindow::ShowOutline(const QRect& bounds)
{
    m_outline = true;
    setGeometry(bounds);
    setMask(QRegion(rect()) - QRegion(rect().adjusted(kOutlineWidth, kOutlineWidth, -kOutlineWidth, -kOutlineWidth)));
    raise();
    update();
}

void TQtSelectWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
}

void TQtSelectWindow::mousePressEvent(QMouseEvent* event)
{
    const int grip = GripAt(event->position().toPoint().x(), event->position().toPoint().y(), width(), height());
    if (event->button() != Qt::LeftButton || !m_framed || m_outline || grip == 0)
        return;
    m_dragging = true;
    m_framed->BeginDrag(event->globalPosition().toPoint(), grip);
}

void TQtSelectWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && m_framed) {
        m_framed->DragMove(event->globalPosition().toPoint());
        return;
    }
    const QPoint p = event->position().toPoint();
    setCursor(GripQtCursor(GripAt(p.x(), p.y(), width(), height())));
}

void TQtSelectWindow::mouseReleaseEvent(QMouseEvent*)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (m_framed)
        m_framed->DragRelease();
}

} // namespace lm
