// TQtAFPanel: the field panel widget over the TAFPanel model - caption, field control and
// optional button, the context menu, and the mouse work of customisation mode.
#pragma once

#include <functional>
#include <optional>

#include <QFrame>
#include <QKeySequence>
#include <QList>
#include <QPointer>

#include "controls/afpanel.h"
#include "controls/ui/qtselectwindow.h"

class QAbstractButton;
class QMenu;

namespace lm {

class TField;
class TQtSelectWindow;

class TQtAFPanel : public QFrame, public IAFPanelView {
    Q_OBJECT

public:
    // A panel inside another panel becomes its child in the model too.
    explicit TQtAFPanel(QWidget* parent = nullptr);
    ~TQtAFPanel() override;

    TAFPanel& Panel() { return m_panel; }
    // Call once the children exist and the design geometry is set: takes the name, bounds and
    // tab list as the design, builds the context menu and the shortcut handlers (and so for
    // every panel inside).
    void Loaded();
    void ReadFromReg(const std::string& rootKey) { m_panel.ReadFromReg(rootKey); }

    // The field control: the single child that is not a panel, or null.
    QWidget* FieldControl() const;
    // Focuses the field control.
    void SetFocusToField();
    // The field the field control edits, or null.
    TField* GetField() const;
    // The panel's button child (a push or tool button), or null.
    QAbstractButton* Button() const;
    // Clicks the button child, or else the panel button when it is active.
    void ClickButton();
    // Enables or disables every control inside the panel (nested panels' controls too).
    void SetAllEnabled(bool enabled);
    // Frames the panel as the selected one (customisation mode).
    void Select();
    std::function<void(TQtAFPanel* Sender)> OnAButtonClick;
    QKeySequence ShortCut;
    // The button's square, valid when the panel holds exactly one edit control.
    QRect ButtonRect() const;
    bool ButtonActive() const;
    // The selection frame of the whole form (null until a panel was selected).
    TQtSelectWindow* SelectWindow() const;
    // The panels of this panel's tree, this one first.
    QList<TQtAFPanel*> PanelTree();

    // IAFPanelView
    void BoundsChanged() override;
    void StateApplied(bool enabled, bool visible, bool tabStop) override;
    void CustomChanged(bool customizing) override;
    std::string DefCaption() const override;
    std::vector<std::string> TabList() const override;
    void ApplyTabOrder(const std::vector<std::string>& names) override;
    bool ExecTabOrderDialog() override;

    // The context menu: customisation and tab order, or in customisation the states and OK/Cancel.
    void FillContextMenu(QMenu& menu);

    // Customisation drags, also started from a grip of the selection frame. Positions are global.
    void BeginDrag(const QPoint& globalPress, int grip);
    void DragMove(const QPoint& global);
    void DragRelease();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TQtAFPanel* topPanel();
    void alignChild();
    void startDragging();
    void setChildControlsEnabled(bool enabled);
    int captionHeight() const;

    TAFPanel m_panel;
    std::optional<TFrameDrag> m_drag;
    QPoint m_pressGlobal;
    int m_grip = 0;
    bool m_pressed = false;
    bool m_buttonDown = false;
    bool m_buttonTracking = false;
    QList<QPointer<QWidget>> m_disabledChildren;
    QPalette m_savedPalette;
    QString m_savedHint;
    bool m_savedAutoFill = false;
    QPointer<TQtSelectWindow> m_selectWindow;  // the top panel's, a child of the selected panel's parent
};

} // namespace lm
