// TDesignCanvas: the page of the report designer — bands as labelled stripes and objects at
// their positions; click to select, drag to move, drag the corner to resize, arrow keys move
// (with Shift resize) the selection by one unit.
#pragma once

#include <functional>

#include <QWidget>

namespace lm {

class TDesignDoc;

class TDesignCanvas : public QWidget {
    Q_OBJECT

public:
    explicit TDesignCanvas(TDesignDoc& doc, QWidget* parent = nullptr);

    int Page() const { return m_page; }
    void SetPage(int page);
    int Selected() const { return m_selected; }
    void Select(int index);
    // The item under a point of the widget (objects before bands); -1 for none.
    int ItemAt(const QPoint& at) const;
    // The widget point of a page position.
    QPoint ToWidget(double left, double top) const;

    QSize sizeHint() const override;

    // Edits go through the designer, which keeps the undo list: BeginChange before the first
    // change of a gesture, EndChange after the last (with whether anything changed).
    std::function<void()> BeginChange;
    std::function<void(bool changed)> EndChange;
    std::function<void(int index)> OnSelect;
    std::function<void(int index)> OnOpen;  // double click
    std::function<void(int index)> OnMove;  // moved or resized

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect itemRect(int index) const;
    void setBounds(double left, double top, double width, double height);

    TDesignDoc& m_doc;
    int m_page = 0;
    int m_selected = -1;
    enum { dmNone, dmMove, dmResize } m_drag = dmNone;
    QPoint m_pressAt;
    QRectF m_startBounds;
    bool m_moved = false;
};

} // namespace lm
