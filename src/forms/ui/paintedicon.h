// Small icons drawn in code, sharp at the widget's device pixel ratio.
#pragma once

#include <functional>

#include <QIcon>

class QPainter;
class QWidget;

namespace lm {

// An icon of the style's small-icon size for `w`: `paint` draws it on a transparent square of
// `side` logical pixels with an antialiasing painter.
QIcon PaintedIcon(const QWidget* w, const std::function<void(QPainter& p, int side)>& paint);

} // namespace lm
