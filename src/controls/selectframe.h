// TSelectFrame: the geometry of the frame that selects, moves and resizes a field panel during
// customisation - its eight grips, the drag threshold and the 8-pixel steps.
#pragma once

namespace lm {

struct TAFBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TAFBounds&) const = default;
};

// The edges a grip moves.
enum TFrameEdgeH { fehNone, fehLeft, fehRight };
enum TFrameEdgeV { fevNone, fevTop, fevBottom };
// The sizing cursor over a grip.
enum TGripCursor { gcNone, gcSizeNWSE, gcSizeNS, gcSizeNESW, gcSizeWE };

inline constexpr int kFrameMargin = 3;     // the frame encloses the panel by this much
inline constexpr int kGripSize = 5;
inline constexpr int kDragThreshold = 5;   // pixels the mouse moves before a drag starts
inline constexpr int kDragStep = 8;
inline constexpr int kOutlineWidth = 2;    // the frame's outline while dragging

// The number truncated toward zero to a multiple of 8 (-9 gives -8, 7 gives 0).
constexpr int Step8(int n) { return n / kDragStep * kDragStep; }

// The frame around a panel when it shows its grips.
TAFBounds FrameAround(const TAFBounds& panel);
// Grip k (1..8) in the coordinates of a frame of that size.
TAFBounds GripRect(int k, int frameWidth, int frameHeight);
// The first grip, 1..8, whose square holds the point; 0 when none.
int GripAt(int x, int y, int frameWidth, int frameHeight);
TGripCursor GripCursor(int grip);
TFrameEdgeH GripEdgeH(int grip);
TFrameEdgeV GripEdgeV(int grip);
// Whether the mouse has moved far enough from the press point to start a drag.
bool DragThresholdPassed(int dx, int dy);

// One drag of a panel: the frame starts on the panel's exact bounds and follows the mouse.
class TFrameDrag {
public:
    // `pressX`, `pressY`: the press point in the panel's coordinates; `grip` 0 moves the panel.
    TFrameDrag(const TAFBounds& panel, int pressX, int pressY, int grip);
    // The mouse at (x, y) in the parent's coordinates.
    void Over(int x, int y);
    const TAFBounds& Frame() const { return m_frame; }
    bool Resizing() const { return m_grip != 0; }
    // The panel's bounds when the drag ends: a resize keeps the size unless `resizable`.
    TAFBounds Result(const TAFBounds& panel, bool resizable) const;

private:
    TAFBounds m_frame;
    int m_pressX;
    int m_pressY;
    int m_grip;
};

} // namespace lm
