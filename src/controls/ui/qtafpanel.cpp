// The field panel widget: painting, child placement, the menu and the customisation mouse work.
#include "controls/ui/qtafpanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionButton>

#include "controls/ui/fieldcontrols.h"
#include "host/ui/qtcolor.h"
#include "controls/ui/qtselectwindow.h"
#include "forms/ui/frmtaborderdlg.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

TAFPanel* modelOf(QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (auto* p = qobject_cast<TQtAFPanel*>(w))
            return &p->Panel();
    return nullptr;
}

// The swatch of a state item: a square of the state's colour, a circle for the current state.
QIcon stateIcon(TAFPState state, bool current, const QWidget* w)
{
    const int side = w->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, w);
    const qreal dpr = w->devicePixelRatioF();
    QPixmap pm(QSize(side, side) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(w->palette().color(QPalette::WindowText));
    p.setBrush(ToQColor(AFPStateColor(state), w->palette()));
    const QRectF r(1.5, 1.5, side - 3, side - 3);
    if (current)
        p.drawEllipse(r);
    else
        p.drawRect(r);
    return QIcon(pm);
}

} // namespace

TQtAFPanel::TQtAFPanel(QWidget* parent) : QFrame(parent), m_panel(modelOf(parent))
{
    m_panel.SetView(this);
}

TQtAFPanel::~TQtAFPanel()
{
    if (m_drag)
        QApplication::restoreOverrideCursor();
    m_panel.SetView(nullptr);
    delete m_selectWindow;
}

QList<TQtAFPanel*> TQtAFPanel::PanelTree()
{
    QList<TQtAFPanel*> out{this};
    out += findChildren<TQtAFPanel*>();
    return out;
}

void TQtAFPanel::Loaded()
{
    for (TQtAFPanel* p : PanelTree()) {
        TAFPanel& m = p->m_panel;
        m.SetName(p->objectName().toStdString());
        m.SetBounds({p->x(), p->y(), p->width(), p->height()});
        m.Loaded();
        if (QWidget* field = p->FieldControl(); field && IsEditControl(field))
            field->installEventFilter(p);
        p->alignChild();
    }
}

QWidget* TQtAFPanel::FieldControl() const
{
    QWidget* found = nullptr;
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || qobject_cast<TQtAFPanel*>(w) || qobject_cast<TQtSelectWindow*>(w) || w->isWindow())
            continue;
        if (found)
            return nullptr;
        found = w;
    }
    return found;
}

void TQtAFPanel::SetFocusToField()
{
    if (QWidget* f = FieldControl())
        f->setFocus(Qt::OtherFocusReason);
}

TField* TQtAFPanel::GetField() const
{
    auto* bound = dynamic_cast<IFieldControl*>(FieldControl());
    return bound ? bound->BoundField() : nullptr;
}

QAbstractButton* TQtAFPanel::Button() const
{
    for (QObject* o : children())
        if (auto* w = qobject_cast<QWidget*>(o); w && IsButtonControl(w))
            return qobject_cast<QAbstractButton*>(w);
    return nullptr;
}

void TQtAFPanel::ClickButton()
{
    if (QAbstractButton* b = Button(); b && b->isEnabled())
        b->click();
    else if (ButtonActive() && OnAButtonClick)
        OnAButtonClick(this);
}

void TQtAFPanel::SetAllEnabled(bool enabled)
{
    for (QWidget* w : findChildren<QWidget*>())
        if (!qobject_cast<TQtAFPanel*>(w) && !qobject_cast<TQtSelectWindow*>(w) && !w->isWindow())
            w->setEnabled(enabled);
}

TQtAFPanel* TQtAFPanel::topPanel()
{
    TQtAFPanel* top = this;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* p = qobject_cast<TQtAFPanel*>(w))
            top = p;
    return top;
}

TQtSelectWindow* TQtAFPanel::SelectWindow() const { return const_cast<TQtAFPanel*>(this)->topPanel()->m_selectWindow; }

// --- IAFPanelView ------------------------------------------------------------------------------

void TQtAFPanel::BoundsChanged()
{
    const TAFBounds& b = m_panel.Bounds();
    setGeometry(b.Left, b.Top, b.Width, b.Height);
}

void TQtAFPanel::StateApplied(bool enabled, bool visible, bool tabStop)
{
    setEnabled(enabled);
    setVisible(visible);
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || qobject_cast<TQtAFPanel*>(w) || w->isWindow())
            continue;
        if (w->focusPolicy() != Qt::NoFocus)
            w->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        if (IsEditControl(w)) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::Base, enabled ? palette().color(QPalette::Base)
                                                 : ToQColor(m_panel.DisableColor, palette()));
            w->setPalette(pal);
        }
        if (IsButtonControl(w))
            w->setEnabled(enabled);
    }
}

void TQtAFPanel::setChildControlsEnabled(bool enabled)
{
    if (enabled) {
        for (const QPointer<QWidget>& w : m_disabledChildren)
            if (w)
                w->setEnabled(true);
        m_disabledChildren.clear();
        return;
    }
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w->isEnabled() && !qobject_cast<TQtAFPanel*>(w) && !qobject_cast<TQtSelectWindow*>(w)) {
            w->setEnabled(false);
            m_disabledChildren.append(w);
        }
    }
}

void TQtAFPanel::CustomChanged(bool customizing)
{
    if (customizing) {
        if (m_disabledChildren.isEmpty() && m_savedHint.isNull()) {
            m_savedPalette = palette();
            m_savedHint = toolTip().isNull() ? QString("") : toolTip();
            m_savedAutoFill = autoFillBackground();
            setChildControlsEnabled(false);
        }
        setVisible(true);
        setEnabled(true);
        QPalette pal = m_savedPalette;
        pal.setColor(QPalette::Window, ToQColor(AFPStateColor(m_panel.State()), pal));
        setPalette(pal);
        setAutoFillBackground(true);
        setToolTip(ToQString(AFPStateHint(m_panel.State())));
        if (m_panel.State() == afInvisible) {
            lower();
            if (m_selectWindow)
                m_selectWindow->raise();
        }
    } else {
        setPalette(m_savedPalette);
        setToolTip(m_savedHint);
        setAutoFillBackground(m_savedAutoFill);
        m_savedHint = QString();
        setChildControlsEnabled(true);
        delete m_selectWindow;
        m_selectWindow = nullptr;
    }
    update();
}

std::string TQtAFPanel::DefCaption() const
{
    QWidget* field = FieldControl();
    if (auto* bound = dynamic_cast<IFieldControl*>(field); bound && bound->BoundField())
        return FromQString(ControlLabel(field)).value_or(std::string());
    if (!m_panel.Caption().empty() || !field)
        return m_panel.Caption().empty() ? objectName().toStdString() : m_panel.Caption();
    return FromQString(ControlLabel(field)).value_or(std::string());
}

std::vector<std::string> TQtAFPanel::TabList() const
{
    std::vector<std::string> names;
    for (QWidget* w : RootTabList(const_cast<TQtAFPanel*>(this)->topPanel()))
        names.push_back(w->objectName().toStdString());
    return names;
}

void TQtAFPanel::ApplyTabOrder(const std::vector<std::string>& names)
{
    TQtAFPanel* top = topPanel();
    QWidget* previous = nullptr;
    for (const std::string& name : names) {
        QWidget* w = top->findChild<QWidget*>(QString::fromStdString(name));
        if (!w)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

bool TQtAFPanel::ExecTabOrderDialog() { return TabOrderDlgExec(topPanel()); }

// --- Painting and placement --------------------------------------------------------------------

int TQtAFPanel::captionHeight() const { return m_panel.DisplayCaption ? fontMetrics().height() + 2 : 0; }

QRect TQtAFPanel::ButtonRect() const
{
    QWidget* field = FieldControl();
    if (!field || !IsEditControl(field))
        return {};
    const int h = field->height();
    return QRect(QPoint(width() - h - 1, height() - 2 - h), QPoint(width() - 2, height() - 2));
}

bool TQtAFPanel::ButtonActive() const
{
    return m_panel.AButton && isEnabled() && !m_panel.Customizing() && ButtonRect().isValid();
}

void TQtAFPanel::alignChild()
{
    QWidget* field = FieldControl();
    if (!field || m_panel.ChildAlign == chaNone)
        return;
    const int h = field->sizeHint().height();
    if (m_panel.ChildAlign == chaBottom) {
        const int w = width() - (m_panel.AButton && IsEditControl(field) ? h + 2 : 0);
        field->setGeometry(0, height() - h - (m_panel.AButton ? 2 : 0), w, h);
    } else {
        const QSize s = field->sizeHint().boundedTo(size());
        field->setGeometry((width() - s.width()) / 2, (height() - s.height()) / 2, s.width(), s.height());
    }
}

void TQtAFPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    alignChild();
}

void TQtAFPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    // in customisation every movable panel is outlined, so that panels of one colour stay apart
    if (m_panel.Border || (m_panel.Customizing() && !m_panel.RootPanel)) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (m_panel.DisplayCaption) {
        const QString caption = ToQString(DefCaption());
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        const QRect r(2, 1, width() - 4, fontMetrics().height());
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(caption, Qt::ElideRight, r.width()));
    }
    if (m_panel.AButton && ButtonRect().isValid()) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = ButtonRect();
        opt.text = QStringLiteral("...");
        if (m_buttonDown)
            opt.state |= QStyle::State_Sunken;
        if (!ButtonActive())
            opt.state &= ~QStyle::State_Enabled;
        style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
    }
}

// --- Mouse, menu and keys ----------------------------------------------------------------------

void TQtAFPanel::Select()
{
    TQtAFPanel* top = topPanel();
    if (!top->m_selectWindow)
        top->m_selectWindow = new TQtSelectWindow(parentWidget());
    if (top->m_selectWindow->Framed() != this)
        top->m_selectWindow->FramePanel(this);
}

void TQtAFPanel::BeginDrag(const QPoint& globalPress, int grip)
{
    m_pressed = true;
    m_pressGlobal = globalPress;
    m_grip = grip;
    m_drag.reset();
}

void TQtAFPanel::startDragging()
{
    const QPoint press = mapFromGlobal(m_pressGlobal);
    m_drag.emplace(m_panel.Bounds(), press.x(), press.y(), m_grip);
    // while dragging, the sizing cursor of the grip, or the arrow when moving
    QApplication::setOverrideCursor(GripQtCursor(m_grip));
    // the frame keeps the mouse of a grip drag, so it stays enabled while it shows the outline
    if (TQtSelectWindow* frame = SelectWindow())
        frame->ShowOutline(geometry());
}

void TQtAFPanel::DragMove(const QPoint& global)
{
    if (!m_pressed)
        return;
    if (!m_drag) {
        const QPoint d = global - m_pressGlobal;
        if (!DragThresholdPassed(d.x(), d.y()))
            return;
        startDragging();
    }
    const QPoint at = parentWidget()->mapFromGlobal(global);
    m_drag->Over(at.x(), at.y());
    const TAFBounds& f = m_drag->Frame();
    if (TQtSelectWindow* frame = SelectWindow())
        frame->ShowOutline(QRect(f.Left, f.Top, f.Width, f.Height));
}

void TQtAFPanel::DragRelease()
{
    m_pressed = false;
    if (!m_drag)
        return;
    m_panel.SetBounds(m_drag->Result(m_panel.Bounds(), m_panel.Resizable));
    m_drag.reset();
    QApplication::restoreOverrideCursor();
    if (TQtSelectWindow* frame = SelectWindow())
        frame->FramePanel(this);
}

void TQtAFPanel::mousePressEvent(QMouseEvent* event)
{
    if (m_panel.Customizing()) {
        if (event->button() == Qt::LeftButton && !m_panel.RootPanel) {
            Select();
            BeginDrag(event->globalPosition().toPoint(), 0);
        }
        return;
    }
    if (event->button() == Qt::LeftButton && ButtonActive() && ButtonRect().contains(event->position().toPoint())) {
        m_buttonTracking = m_buttonDown = true;
        update();
        return;
    }
    QFrame::mousePressEvent(event);
}

void TQtAFPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed) {
        DragMove(event->globalPosition().toPoint());
    } else if (m_buttonTracking) {
        const bool inside = ButtonRect().contains(event->position().toPoint());
        if (inside != m_buttonDown) {
            m_buttonDown = inside;
            update();
        }
    }
}

void TQtAFPanel::mouseReleaseEvent(QMouseEvent*)
{
    if (m_pressed) {
        DragRelease();
        return;
    }
    if (!m_buttonTracking)
        return;
    const bool click = m_buttonDown;
    m_buttonTracking = m_buttonDown = false;
    update();
    if (click && OnAButtonClick)
        OnAButtonClick(this);
}

void TQtAFPanel::FillContextMenu(QMenu& menu)
{
    TQtAFPanel* top = topPanel();
    if (!m_panel.Customizing()) {
        menu.addAction(ToQString("Настройка полей"_w), this, [top] { top->Panel().StartCustom(); })
            ->setObjectName("miCustom");
        menu.addAction(ToQString("Порядок обхода полей"_w), this, [this] { m_panel.CustomTabOrder(); })
            ->setObjectName("miTabOrder");
        return;
    }
    bool stateItems = false;
    if (!m_panel.RootPanel)
        for (TAFPState s : m_panel.StateChoices()) {
            QAction* a = menu.addAction(stateIcon(s, s == m_panel.State(), this), ToQString(AFPStateHint(s)), this,
                                        [this, s] { m_panel.SetState(s); });
            a->setObjectName(QString("miState%1").arg(int(s)));
            stateItems = true;
        }
    if (m_panel.MenuOptions & moEndCustom) {
        if (stateItems)
            menu.addSeparator();
        menu.addAction("OK", this, [top] { top->Panel().EndCustom(true); })->setObjectName("miOk");
        menu.addAction(ToQString("Отмена"_w), this, [top] { top->Panel().EndCustom(false); })->setObjectName("miCancel");
    }
}

void TQtAFPanel::contextMenuEvent(QContextMenuEvent* event)
{
    if (!(m_panel.MenuOptions & moAutoCreate))
        return QFrame::contextMenuEvent(event);
    QMenu menu(this);
    FillContextMenu(menu);
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

bool TQtAFPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !ShortCut.isEmpty() && ButtonActive()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (QKeySequence(key->keyCombination()) == ShortCut) {
            if (OnAButtonClick)
                OnAButtonClick(this);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace lm
