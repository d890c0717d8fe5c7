// The progress window in Qt widgets.
#include "forms/ui/frmprogressbox.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmProgressBox::TfrmProgressBox(TProgressBox* box, QWidget* over)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_box(box),
      m_over(over),
      m_bar(new QProgressBar(this)),
      m_note(new QLabel(this)),
      m_abort(new QPushButton(ToQString("Прервать"_w), this))
{
    setWindowTitle(ToQString("Пожалуйста, подождите ..."_w));
    m_bar->setObjectName("Bar");
    SetBarMax(0);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_note->setObjectName("lbNote");
    m_abort->setObjectName("btnAbort");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_note);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_abort);
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(374, 95);
    connect(m_abort, &QPushButton::clicked, this, [this] { m_aborted = true; });
}

TfrmProgressBox::~TfrmProgressBox()
{
    m_box->WindowDestroyed(this);
}

void TfrmProgressBox::SetTitle(const std::string& text)
{
    setWindowTitle(ToQString(text));
}

void TfrmProgressBox::SetBoxWidth(int width)
{
    resize(width, height());
}

void TfrmProgressBox::SetNote(const std::string& text)
{
    m_note->setText(ToQString(text));
}

void TfrmProgressBox::SetBarMax(int max)
{
    // A Qt bar whose range is empty turns into a busy indicator; an empty bar is meant.
    m_barMax = max;
    m_bar->setRange(0, std::max(max, 1));
}

int TfrmProgressBox::BarMax() const
{
    return m_barMax;
}

int TfrmProgressBox::BarPosition() const
{
    return m_bar->value();
}

void TfrmProgressBox::SetBarPosition(int position)
{
    m_bar->setValue(position);
}

void TfrmProgressBox::SetAbortVisible(bool visible)
{
    m_abort->setVisible(visible);
}

void TfrmProgressBox::ShowModeless()
{
    QRect area;
    if (m_over)
        area = m_over->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
    if (m_over && m_over->windowHandle()) {
        winId();  // makes the native window that the transient link needs
        windowHandle()->setTransientParent(m_over->windowHandle());
    }
    show();
    raise();
    activateWindow();
}

void TfrmProgressBox::Close()
{
    close();
}

void TfrmProgressBox::closeEvent(QCloseEvent* event)
{
    m_box->WindowClosed(this);
    event->accept();
    deleteLater();
}

} // namespace lm
