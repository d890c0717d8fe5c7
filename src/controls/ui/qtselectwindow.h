// TQtSelectWindow: the frame around the selected field panel in customisation mode - eight
// grips while resting, a 2-pixel outline while a panel is dragged.
#pragma once

#include <QPointer>
#include <QWidget>

namespace lm {

class TQtAFPanel;

// The sizing cursor over grip 1..8 (the arrow for 0).
Qt::CursorShape GripQtCursor(int grip);

class TQtSelectWindow : public QWidget {
    Q_OBJECT

public:
    explicit TQtSelectWindow(QWidget* parent);

    TQtAFPanel* Framed() const { return m_framed; }
    // Frames `panel` with the margin and shows the grips (moving into the panel's parent).
    void FramePanel(TQtAFPanel* panel);
    // The outline on the given bounds (the parent's coordinates), during a drag.
    void ShowOutline(const QRect& bounds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setGripMask();

    QPointer<TQtAFPanel> m_framed;
    bool m_outline = false;
    bool m_dragging = false;
};

} // namespace lm
