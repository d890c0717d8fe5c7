// Small icons drawn in code.
#include "forms/ui/paintedicon.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QWidget>

namespace lm {

QIcon PaintedIcon(const QWidget* w, const std::function<void(QPainter& p, int side)>& paint)
{
    const int side = w->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, w);
    const qreal dpr = w->devicePixelRatioF();
    QPixmap pm(QSize(side, side) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p, side);
    }
    return QIcon(pm);
}

} // namespace lm
