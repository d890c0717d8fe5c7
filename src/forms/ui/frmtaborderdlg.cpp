// The tab order dialog: its list, its four move buttons and the drag of an entry.
#include "forms/ui/frmtaborderdlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/ui/fieldcontrols.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

constexpr int kListDragDistance = 3;

// The glyph of a move button: an arrow, with a bar for the moves to either end.
QIcon moveIcon(TTabOrderMove move, const QWidget* w)
{
    const int side = w->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, w);
    const qreal dpr = w->devicePixelRatioF();
    QPixmap pm(QSize(side, side) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(w->palette().color(QPalette::ButtonText));
    const bool up = move == tmTop || move == tmUp;
    const qreal m = side * 0.2, mid = side / 2.0;
    const qreal tip = up ? side * 0.3 : side * 0.7, base = up ? side * 0.75 : side * 0.25;
    const QPointF tri[3] = {{m, base}, {side - m, base}, {mid, tip}};
    p.drawPolygon(tri, 3);
    if (move == tmTop || move == tmBottom)
        p.drawRect(QRectF(m, up ? side * 0.12 : side * 0.78, side - 2 * m, side * 0.1));
    return QIcon(pm);
}

} // namespace

TTabOrderListBox::TTabOrderListBox(TTabOrderList& list, QWidget* parent) : QListWidget(parent), m_list(list)
{
    setObjectName("lbCtrls");
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) { m_list.SetSelected(row); });
}

void TTabOrderListBox::Reload()
{
    const QSignalBlocker block(this);
    clear();
    for (int i = 0; i < m_list.Count(); ++i)
        addItem(ToQString(m_list.Items(i).Text));
    setCurrentRow(m_list.Selected());
}

void TTabOrderListBox::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    m_pressed = event->button() == Qt::LeftButton && itemAt(event->position().toPoint());
    m_dragging = false;
    m_press = event->position().toPoint();
}

void TTabOrderListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPoint d = event->position().toPoint() - m_press;
    if (std::abs(d.x()) >= kListDragDistance || std::abs(d.y()) >= kListDragDistance)
        m_dragging = true;
    if (m_dragging)
        viewport()->setCursor(Qt::DragMoveCursor);
}

void TTabOrderListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    const bool drop = m_dragging;
    m_pressed = m_dragging = false;
    viewport()->unsetCursor();
    if (!drop)
        return;
    const QModelIndex at = indexAt(event->position().toPoint());
    m_list.Drop(at.isValid() ? at.row() : m_list.Count() - 1);
    Reload();
}

TfrmTabOrderDlg::TfrmTabOrderDlg(QWidget* parent) : TfrmPackRoot(parent)
{
    setWindowTitle(ToQString("Порядок обхода полей"_w));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setMinimumSize(280, 300);

    m_lbCtrls = new TTabOrderListBox(m_list, this);
    auto* arrows = new QVBoxLayout;
    arrows->addWidget(moveButton("btnTop", tmTop));
    arrows->addWidget(moveButton("btnUp", tmUp));
    arrows->addWidget(moveButton("btnDown", tmDown));
    arrows->addWidget(moveButton("btnBottom", tmBottom));
    arrows->addStretch();
    auto* upper = new QHBoxLayout;
    upper->addWidget(m_lbCtrls, 1);
    upper->addLayout(arrows);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOk");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString("Отмена"_w));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper, 1);
    layout->addWidget(buttons);
    m_lbCtrls->setFocus();
}

QToolButton* TfrmTabOrderDlg::moveButton(const char* name, TTabOrderMove move)
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setIcon(moveIcon(move, this));
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, [this, move] {
        m_list.Move(move);
        m_lbCtrls->Reload();
    });
    return b;
}

bool TabOrderDlgExec(QWidget* container)
{
    TfrmTabOrderDlg dlg(container ? container->window() : nullptr);
    for (QWidget* w : RootTabList(container))
        dlg.List().Add(FromQString(ControlLabel(w)).value_or(w->objectName().toStdString()), w);
    dlg.lbCtrls()->Reload();
    if (dlg.exec() != QDialog::Accepted)
        return false;
    QWidget* previous = nullptr;
    for (int i = 0; i < dlg.List().Count(); ++i) {
        auto* w = static_cast<QWidget*>(dlg.List().Items(i).Object);
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
    return true;
}

} // namespace lm
