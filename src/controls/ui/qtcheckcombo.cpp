// The checked combo widget: layout, summary text, drop-down and its list.
#include "controls/ui/qtcheckcombo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSizeGrip>
#include <QToolButton>
#include <QVBoxLayout>

#include "host/ui/qtcolor.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

constexpr int kButtonWidth = 16;

// The button's own glyph: a small check mark over a drop-down arrow, in `ink`.
QPixmap dropGlyph(const QWidget* w, const QColor& ink)
{
    const int side = w->fontMetrics().height();
    const qreal dpr = w->devicePixelRatioF();
    QPixmap pm(QSize(kButtonWidth - 4, side) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal wd = kButtonWidth - 4, h = side;
    p.setPen(QPen(ink, 1.4));
    p.drawPolyline(QPolygonF({{wd * 0.15, h * 0.3}, {wd * 0.4, h * 0.5}, {wd * 0.85, h * 0.1}}));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({{wd * 0.15, h * 0.62}, {wd * 0.85, h * 0.62}, {wd * 0.5, h * 0.92}}));
    return pm;
}

QIcon dropIcon(const QWidget* w)
{
    QIcon icon(dropGlyph(w, w->palette().color(QPalette::Active, QPalette::ButtonText)));
    icon.addPixmap(dropGlyph(w, w->palette().color(QPalette::Disabled, QPalette::ButtonText)), QIcon::Disabled);
    return icon;
}

// The flat drop-down button, 16 pixels wide whatever the style would make of a tool button.
class DropButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    QSize sizeHint() const override { return {kButtonWidth, fontMetrics().height()}; }
    QSize minimumSizeHint() const override { return {kButtonWidth, 8}; }
};

} // namespace

TQtCheckedComboBox::TQtCheckedComboBox(QWidget* parent)
    : TQtCheckedComboBox(std::make_unique<TCheckedComboBox>(), parent)
{
}

TQtCheckedComboBox::TQtCheckedComboBox(std::unique_ptr<TCheckedComboBox> combo, QWidget* parent)
    : QFrame(parent), m_combo(std::move(combo))
{
    build();
    m_combo->OnItemsChanged = [this](TCheckedComboBox*) { fillList(); };
    showText();
}

TQtCheckedComboBox::~TQtCheckedComboBox() { m_combo->OnItemsChanged = nullptr; }

void TQtCheckedComboBox::build()
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName("edText");
    m_edit->setReadOnly(true);
    m_edit->setFrame(false);
    m_edit->installEventFilter(this);
    m_button = new DropButton(this);
    m_button->setIconSize(QSize(kButtonWidth - 4, fontMetrics().height()));
    m_button->setObjectName("btnDrop");
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setIcon(dropIcon(this));
    connect(m_button, &QToolButton::clicked, this, &TQtCheckedComboBox::ShowCheckList);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);

    m_dropDown = new QFrame(this, Qt::Popup);
    m_dropDown->setObjectName("DropDown");
    m_dropDown->setAttribute(Qt::WA_NoMouseReplay);
    m_dropDown->setFrameShape(QFrame::Box);
    m_dropDown->installEventFilter(this);
    m_list = new QListWidget(m_dropDown);
    m_list->setObjectName("lbItems");
    m_list->installEventFilter(this);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(m_dropDown);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_list);
    m_grip = new QSizeGrip(m_dropDown);
    m_menu = new QMenu(m_list);
    m_menu->addAction(QString(), this, [this] { m_combo->SetCheckedAll(); })->setObjectName("miSelectAll");
    m_menu->addAction(QString(), this, [this] { m_combo->SetUnCheckedAll(); })->setObjectName("miDeSelectAll");
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_list->viewport()->mapToGlobal(at)); });
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        m_combo->ToggleOnOff(m_list->row(item), item->checkState() == Qt::Checked);
        showText();
    });
    paintEditBase(false);
}

QSize TQtCheckedComboBox::sizeHint() const
{
    const int h = m_edit->sizeHint().height() + 2 * frameWidth();
    return {std::max(121, 12 * fontMetrics().averageCharWidth()), h};
}

QSize TQtCheckedComboBox::minimumSizeHint() const { return {kButtonWidth * 3, sizeHint().height()}; }

void TQtCheckedComboBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    const QRect r = contentsRect();
    m_edit->setGeometry(r.left(), r.top(), r.width() - kButtonWidth - 3, r.height());
    m_button->setGeometry(m_edit->geometry().right() + 2, r.top() + 1, kButtonWidth, r.height() - 2);
}

void TQtCheckedComboBox::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        m_edit->setEnabled(isEnabled());
        m_button->setEnabled(isEnabled());
    }
}

void TQtCheckedComboBox::paintEditBase(bool focused)
{
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, focused ? QColor(Qt::white) : ToQColor(m_combo->NotFocusColor, palette()));
    m_edit->setPalette(pal);
}

void TQtCheckedComboBox::showText()
{
    const QString text = ToQString(m_combo->Text());
    m_edit->setText(text);
    m_edit->setToolTip(text);
    m_edit->setCursorPosition(0);
}

void TQtCheckedComboBox::fillList()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (int i = 0; i < m_combo->Count(); ++i) {
        auto* item = new QListWidgetItem(ToQString(m_combo->Item(i)), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(m_combo->IsChecked(i) ? Qt::Checked : Qt::Unchecked);
    }
    showText();
}

void TQtCheckedComboBox::ShowCheckList()
{
    if (!m_combo->BeginShowCheckList())
        return;
    m_menu->actions().at(0)->setText(ToQString(m_combo->CapSelectAll));
    m_menu->actions().at(1)->setText(ToQString(m_combo->CapDeSelectAll));
    m_dropDown->setFont(font());
    m_list->setViewMode(QListView::ListMode);
    if (m_combo->Columns > 1) {
        m_list->setFlow(QListView::TopToBottom);
        m_list->setWrapping(true);
    }
    const QPoint at = mapToGlobal(QPoint(0, 0));
    const QScreen* scr = screen();
    const int bottom = scr ? scr->availableGeometry().bottom() : 768;
    const int itemHeight = std::max(m_list->sizeHintForRow(0), fontMetrics().height() + 2);
    const TAFBounds b = m_combo->DropDownBounds({at.x(), at.y(), width(), height()}, bottom, itemHeight);
    m_dropDown->setGeometry(b.Left, b.Top, b.Width, b.Height);
    m_dropDown->show();
    m_grip->move(m_dropDown->width() - m_grip->width(), m_dropDown->height() - m_grip->height());
    m_grip->raise();
    m_list->scrollToTop();
    m_list->setFocus();
}

void TQtCheckedComboBox::dropDownClosed()
{
    // The press that closes the drop-down is never passed on (WA_NoMouseReplay), so a click on
    // the button while the list is open only closes it, and the button is never marked.
    m_combo->CloseCheckList(false, m_dropDown->width(), m_dropDown->height());
    if (OnCloseUp)
        OnCloseUp(m_dropDown);
}

bool TQtCheckedComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool in = event->type() == QEvent::FocusIn;
        paintEditBase(in);
        if (in && OnEnter)
            OnEnter(this);
        if (!in && OnExit)
            OnExit(this);
    } else if (watched == m_dropDown && event->type() == QEvent::Hide) {
        dropDownClosed();
    } else if (watched == m_dropDown && event->type() == QEvent::Resize) {
        m_grip->move(m_dropDown->width() - m_grip->width(), m_dropDown->height() - m_grip->height());
    } else if (watched == m_list && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_dropDown->hide();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

TQtCheckedComboDB::TQtCheckedComboDB(QWidget* parent)
    : TQtCheckedComboBox(std::make_unique<TCheckedComboDB>(), parent)
{
}

} // namespace lm
