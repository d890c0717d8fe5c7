// The selection frame's geometry: grips, cursors, edges and the stepped drag.
#include "controls/selectframe.h"

#include <cstdlib>

namespace lm {

namespace {

struct GripCell {
    int x, y;
};
constexpr GripCell kCells[8] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};

// Grows `size` by d when that leaves more than a step; returns the change made.
int stepSize(int& size, int d)
{
    if (d == 0 || size + d <= kDragStep)
        return 0;
    size += d;
    return d;
}

} // namespace

TAFBounds FrameAround(const TAFBounds& p)
{
    return {p.Left - kFrameMargin, p.Top - kFrameMargin, p.Width + 2 * kFrameMargin, p.Height + 2 * kFrameMargin};
}

TAFBounds GripRect(int k, int frameWidth, int frameHeight)
{
    const int w = frameWidth - 2 * kFrameMargin;
    const int h = frameHeight - 2 * kFrameMargin;
    const GripCell c = kCells[k - 1];
    return {c.x * w / 2, c.y * h / 2, kGripSize, kGripSize};
}

int GripAt(int x, int y, int frameWidth, int frameHeight)
{
    for (int k = 1; k <= 8; ++k) {
        const TAFBounds r = GripRect(k, frameWidth, frameHeight);
        if (x >= r.Left && x < r.Left + r.Width && y >= r.Top && y < r.Top + r.Height)
            return k;
    }
    return 0;
}

TGripCursor GripCursor(int grip)
{
    switch (grip) {
    case 1: case 8: return gcSizeNWSE;
    case 2: case 7: return gcSizeNS;
    case 3: case 6: return gcSizeNESW;
    case 4: case 5: return gcSizeWE;
    default: return gcNone;
    }
}

TFrameEdgeH GripEdgeH(int grip)
{
    switch (grip) {
    case 1: case 4: case 6: return fehLeft;
    case 3: case 5: case 8: return fehRight;
    default: return fehNone;
    }
}

TFrameEdgeV GripEdgeV(int grip)
{
    if (grip >= 1 && grip <= 3)
        return fevTop;
    if (grip >= 6 && grip <= 8)
        return fevBottom;
    return fevNone;
}

bool DragThresholdPassed(int dx, int dy) { return std::abs(dx) >= kDragThreshold || std::abs(dy) >= kDragThreshold; }

TFrameDrag::TFrameDrag(const TAFBounds& panel, int pressX, int pressY, int grip)
    : m_frame(panel), m_pressX(pressX), m_pressY(pressY), m_grip(grip)
{
}

void TFrameDrag::Over(int x, int y)
{
    TAFBounds& f = m_frame;
    if (m_grip == 0) {
        f.Top += Step8(y - m_pressY - f.Top);
        f.Left += Step8(x - m_pressX - f.Left);
        return;
    }
    switch (GripEdgeH(m_grip)) {
    case fehRight: stepSize(f.Width, Step8(x - (f.Left + f.Width - 1))); break;
    case fehLeft: f.Left -= stepSize(f.Width, Step8(f.Left - x)); break;
    case fehNone: break;
    }
    switch (GripEdgeV(m_grip)) {
    case fevBottom: stepSize(f.Height, Step8(y - (f.Top + f.Height - 1))); break;
    case fevTop: f.Top -= stepSize(f.Height, Step8(f.Top - y)); break;
    case fevNone: break;
    }
}

TAFBounds TFrameDrag::Result(const TAFBounds& panel, bool resizable) const
{
    TAFBounds r = panel;
    if (Resizing() && resizable) {
        r.Width = m_frame.Width;
        r.Height = m_frame.Height;
    }
    r.Left = m_frame.Left;
    r.Top = m_frame.Top;
    return r;
}

} // namespace lm
