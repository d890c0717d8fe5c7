// The property list widget: painting, the in-place editor, the drop-down and the keyboard.
#include "controls/ui/qtzproplist.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include "app/hooks.h"
#include "host/ui/qtcolor.h"
#include "util/exceptions.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

constexpr int kSplitterGrab = 3;  // pixels either side of the splitter that catch the mouse

std::optional<TZKey> listKey(int key)
{
    switch (key) {
    case Qt::Key_Up: return zkUp;
    case Qt::Key_Down: return zkDown;
    case Qt::Key_PageUp: return zkPageUp;
    case Qt::Key_PageDown: return zkPageDown;
    default: return std::nullopt;
    }
}

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

// --- TZInplaceEdit ---------------------------------------------------------------------------

TZInplaceEdit::TZInplaceEdit(TQtZPropList* owner) : QLineEdit(owner->viewport()), m_owner(owner)
{
    setObjectName("InplaceEdit");
    setFrame(false);
}

void TZInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    TZPropList& list = m_owner->List();
    const int key = event->key();
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (auto k = listKey(key); k && !(mods & Qt::AltModifier)) {
        m_owner->Guarded([&] { list.KeyDown(*k); });
        return;
    }
    if (key == Qt::Key_Down && mods == Qt::AltModifier) {
        if (list.GetPropType() == ptPickList && !m_owner->PopupList()->isVisible())
            m_owner->OpenPopup();
        return;
    }
    if (isEnter(key) && (mods & Qt::ControlModifier)) {
        if (OnDblClick)
            OnDblClick();
        return;
    }
    if (isEnter(key)) {
        if (list.EditModified())
            m_owner->Guarded([&] { list.UpdateText(true); });
        else
            selectAll();
        return;
    }
    if (key == Qt::Key_Escape) {
        list.ResetEditor();
        return;
    }
    m_owner->m_skipCompletion = key == Qt::Key_Backspace || key == Qt::Key_Delete || hasSelectedText();
    QLineEdit::keyPressEvent(event);
}

// --- TZListButton ----------------------------------------------------------------------------

TZListButton::TZListButton(TQtZPropList* owner) : QToolButton(owner->viewport()), m_owner(owner)
{
    setObjectName("ListButton");
    setArrowType(Qt::DownArrow);
    setFocusPolicy(Qt::NoFocus);
}

QSize TZListButton::sizeHint() const { return {m_owner->RowHeight() - 1, m_owner->RowHeight() - 1}; }

// --- TZPopupList -----------------------------------------------------------------------------

TZPopupList::TZPopupList(TQtZPropList* owner) : QListWidget(owner), m_owner(owner)
{
    setObjectName("PopupList");
    setWindowFlags(Qt::Popup);
    m_clock.start();
}

void TZPopupList::Popup(const std::vector<std::string>& values, const std::string& current, const QRect& below)
{
    m_values = values;
    m_search.Restart();
    clear();
    for (const std::string& v : values)
        addItem(ToQString(v));
    const auto it = std::find(values.begin(), values.end(), current);
    setCurrentRow(it == values.end() ? -1 : static_cast<int>(it - values.begin()));
    const int rows = std::min<int>(std::max<int>(values.size(), 1), 8);
    setGeometry(below.left(), below.bottom() + 1, below.width(), rows * sizeHintForRow(0) + 2 * frameWidth());
    show();
    setFocus();
}

void TZPopupList::take()
{
    const int row = currentRow();
    if (row < 0) {
        hide();
        return;
    }
    m_taking = true;
    hide();
    m_taking = false;
    m_owner->Guarded([&] { m_owner->List().TakePickedValue(m_values[row]); });
}

void TZPopupList::hideEvent(QHideEvent* event)
{
    QListWidget::hideEvent(event);
    // closed without an entry taken (Escape, a press outside): the stored value comes back
    if (!m_taking)
        m_owner->List().ResetEditor();
}

void TZPopupList::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (isEnter(key) && !alt) {
        m_search.Restart();
        take();
    } else if (key == Qt::Key_Escape && !alt) {
        m_search.Restart();
        hide();
    } else if (key == Qt::Key_Backspace) {
        m_search.Restart();
    } else if (auto text = FromQString(event->text()); text && text->size() == 1 && static_cast<unsigned char>((*text)[0]) >= 32) {
        const int found = m_search.Type((*text)[0], m_values, m_clock.elapsed());
        if (found >= 0)
            setCurrentRow(found);
    } else {
        QListWidget::keyPressEvent(event);
    }
}

void TZPopupList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (viewport()->rect().contains(event->position().toPoint()) && itemAt(event->position().toPoint())) {
        setCurrentItem(itemAt(event->position().toPoint()));
        take();
    } else {
        hide();
    }
}

// --- TQtZPropList ----------------------------------------------------------------------------

TQtZPropList::TQtZPropList(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName("PropList");
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    setPalette(pal);
    m_edit = new TZInplaceEdit(this);
    m_button = new TZListButton(this);
    m_popup = new TZPopupList(this);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::textEdited, this, &TQtZPropList::textEdited);
    connect(m_button, &QToolButton::clicked, this, &TQtZPropList::OpenPopup);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (v != m_list.TopRow())
            m_list.SetTopRow(v);
    });
    m_list.OnChange = [this](TZPropList*) { sync(); };
    sync();
}

TQtZPropList::~TQtZPropList() { m_list.OnChange = nullptr; }

int TQtZPropList::RowHeight() const
{
    return std::max(fontMetrics().height() + 4, m_edit ? m_edit->minimumSizeHint().height() + 1 : 0);
}

int TQtZPropList::RowAt(int y) const
{
    const int row = m_list.TopRow() + y / RowHeight();
    return y >= 0 && row < m_list.RowCount() ? row : -1;
}

QSize TQtZPropList::sizeHint() const
{
    return {50 * fontMetrics().averageCharWidth(), 8 * RowHeight() + 2 * frameWidth()};
}

bool TQtZPropList::Guarded(const std::function<void()>& operation)
{
    try {
        operation();
        return true;
    } catch (const Exception& e) {
        ShowMessageBox(e.Message(), "", MB_ICONERROR);
        m_edit->setFocus();
        return false;
    }
}

void TQtZPropList::sync()
{
    {
        const QSignalBlocker block(m_edit);
        const QString text = ToQString(m_list.EditText());
        if (m_edit->text() != text) {
            m_edit->setText(text);
            m_edit->selectAll();
        }
    }
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setRange(0, std::max(m_list.RowCount() - m_list.VisibleRows(), 0));
    verticalScrollBar()->setPageStep(m_list.VisibleRows());
    verticalScrollBar()->setValue(m_list.TopRow());
    placeEditor();
    viewport()->update();
}

void TQtZPropList::placeEditor()
{
    const int row = m_list.Row();
    const bool shown = row >= m_list.TopRow() && row < m_list.TopRow() + m_list.VisibleRows() + 1 && row >= 0;
    m_edit->setVisible(shown);
    const bool pick = shown && m_list.GetPropType() == ptPickList;
    m_button->setVisible(pick);
    if (!shown)
        return;
    const int h = RowHeight() - 1;
    const int y = (row - m_list.TopRow()) * RowHeight();
    const int left = m_list.Middle + 2;
    const int width = viewport()->width() - left - (pick ? h : 0);
    m_edit->setGeometry(left, y, std::max(width, 0), h);
    m_button->setAutoRaise(m_list.NewButtons);
    m_button->setGeometry(viewport()->width() - h, y, h, h);
}

void TQtZPropList::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int spare = viewport()->height() % RowHeight();
    if (m_list.IntegralHeight && spare != 0 && viewport()->height() > RowHeight()) {
        resize(width(), height() - spare);  // snaps to whole rows; comes back here once more
        return;
    }
    m_list.SetVisibleRows(viewport()->height() / RowHeight());
    sync();
}

void TQtZPropList::paintRow(QPainter& p, int row, int y)
{
    const int h = RowHeight();
    const TZEditor* e = m_list.Editors().Items(row);
    const bool modified = e->ValueModified();
    const QPalette& pal = palette();
    const int w = viewport()->width();
    const QRect nameRect(12, y, m_list.Middle - 14, h - 1);
    const QRect valueRect(m_list.Middle + 4, y, w - m_list.Middle - 6, h - 1);
    if (row == m_list.Row()) {
        // the current row: a small triangle before its name
        p.setPen(Qt::NoPen);
        p.setBrush(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        const int cy = y + h / 2;
        p.drawPolygon(QPolygon({QPoint(3, cy - 4), QPoint(3, cy + 4), QPoint(7, cy)}));
    }
    const QColor disabled = pal.color(QPalette::Disabled, QPalette::Text);
    const bool enabled = isEnabled();
    p.setPen(!enabled ? disabled : modified ? ToQColor(m_list.NameColorM, pal) : pal.color(QPalette::Text));
    p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(ToQString(e->Name), Qt::ElideRight, nameRect.width()));
    const bool modifiedColour = modified && m_list.PropColorM != m_list.PropColor;
    p.setPen(enabled ? ToQColor(modifiedColour ? m_list.PropColorM : m_list.PropColor, pal) : disabled);
    p.drawText(valueRect, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(ToQString(m_list.GetPrintableValue(row)), Qt::ElideRight, valueRect.width()));
    // etched separators
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(0, y + h - 2, w, y + h - 2);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, y + h - 1, w, y + h - 1);
}

void TQtZPropList::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Button));
    const int h = RowHeight();
    int y = 0;
    for (int row = m_list.TopRow(); row < m_list.RowCount() && y < viewport()->height(); ++row, y += h)
        paintRow(p, row, y);
    // the splitter between the columns
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(m_list.Middle, 0, m_list.Middle, y);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(m_list.Middle + 1, 0, m_list.Middle + 1, y);
}

void TQtZPropList::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton)
        return;
    if (std::abs(at.x() - m_list.Middle) <= kSplitterGrab) {
        m_splitting = true;
        return;
    }
    const int row = RowAt(at.y());
    if (row >= 0)
        Guarded([&] { m_list.MoveCurrent(row); });
    m_edit->setFocus();
}

void TQtZPropList::mouseMoveEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    if (m_splitting) {
        m_list.Middle = std::clamp(x, 20, std::max(viewport()->width() - 20, 20));
        placeEditor();
        viewport()->update();
        return;
    }
    viewport()->setCursor(std::abs(x - m_list.Middle) <= kSplitterGrab ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TQtZPropList::mouseReleaseEvent(QMouseEvent*) { m_splitting = false; }

bool TQtZPropList::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int row = RowAt(help->pos().y());
    if (row < 0) {
        QToolTip::hideText();
        return true;
    }
    const bool onName = help->pos().x() < m_list.Middle;
    const QString text = ToQString(onName ? m_list.GetName(row) : m_list.GetValue(row));
    const int room = onName ? m_list.Middle - 14 : viewport()->width() - m_list.Middle - 6;
    QString hint;
    if (fontMetrics().horizontalAdvance(text) > room || (!onName && text.contains(QLatin1Char('\n'))))
        hint = text;
    if (OnHint)
        OnHint(this, m_list.Editors().Items(row), hint);
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), hint, viewport());
    return true;
}

void TQtZPropList::keyPressEvent(QKeyEvent* event)
{
    if (auto k = listKey(event->key())) {
        Guarded([&] { m_list.KeyDown(*k); });
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TQtZPropList::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (m_list.Row() < 0 && m_list.RowCount() > 0)
        Guarded([&] { m_list.MoveCurrent(0); });
}

void TQtZPropList::textEdited(const QString& text)
{
    const std::optional<std::string> typed = FromQString(text);
    if (!typed) {  // a character the code page lacks: the text stays as it was
        const QSignalBlocker block(m_edit);
        m_edit->setText(ToQString(m_list.EditText()));
        return;
    }
    m_list.SetEditText(*typed);
    if (m_skipCompletion)
        return;
    if (auto c = m_list.Complete(*typed)) {
        m_list.SetEditText(c->Text);
        const QSignalBlocker block(m_edit);
        m_edit->setText(ToQString(c->Text));
        m_edit->setSelection(c->SelStart, static_cast<int>(c->Text.size()) - c->SelStart);
    }
}

void TQtZPropList::OpenPopup()
{
    if (m_list.GetPropType() != ptPickList)
        return;
    const TZEditor* e = m_list.CurrentEditor();
    QRect below = m_edit->geometry();
    below.setRight(viewport()->width() - 1);
    below.moveTopLeft(viewport()->mapToGlobal(below.topLeft()));
    m_popup->setFont(font());
    m_popup->Popup(e->GetValues(), m_list.EditText(), below);
}

} // namespace lm
