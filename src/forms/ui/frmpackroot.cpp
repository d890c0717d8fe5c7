// The root form of the package's dialogs.
#include "forms/ui/frmpackroot.h"

#include <algorithm>

#include <QCloseEvent>
#include <QLayout>
#include <QScreen>

#include "forms/ui/scaleformsqt.h"

namespace lm {

TfrmPackRoot::TfrmPackRoot(QWidget* parent) : QDialog(parent), m_sizeSuffix(GetSizeSuffix())
{
    ScaleForm(this);
    ScaleByFont(this, -1);
}

TfrmPackRoot::~TfrmPackRoot() = default;

std::string TfrmPackRoot::FormClassName() const
{
    const std::string name = metaObject()->className();
    const size_t colon = name.rfind(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::string TfrmPackRoot::FormKey() const
{
    return TFormSize(FormClassName(), m_sizeSuffix).FormKey();
}

// Made on first use: the class name is the descendant's only once construction is over.
TFormSize& TfrmPackRoot::sizeStore()
{
    if (!m_size)
        m_size = std::make_unique<TFormSize>(FormClassName(), m_sizeSuffix);
    return *m_size;
}

bool TfrmPackRoot::sizeable() const
{
    return !(layout() && layout()->sizeConstraint() == QLayout::SetFixedSize) && minimumSize() != maximumSize();
}

void TfrmPackRoot::RestoreSize()
{
    const QSize needed = sizeHint().expandedTo(minimumSizeHint());
    // A form nobody sized yet takes the size its layout asks for, not the toolkit's default.
    const QSize designed = testAttribute(Qt::WA_Resized) ? size().expandedTo(needed) : needed;
    TFormPlacement placement;
    placement.Width = designed.width();
    placement.Height = designed.height();
    const QRect screenArea = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
    sizeStore().RestoreSize(placement, sizeable(), screenArea.width(), screenArea.height());
    resize(std::max(placement.Width, needed.width()), std::max(placement.Height, needed.height()));
    move(placement.Left, placement.Top);
    if (placement.State == wsMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmPackRoot::SaveSize()
{
    TFormPlacement placement;
    placement.State = isMinimized() ? wsMinimized : isMaximized() ? wsMaximized : wsNormal;
    placement.Top = y();
    placement.Left = x();
    placement.Height = height();
    placement.Width = width();
    sizeStore().SaveSize(placement, sizeable());
}

void TfrmPackRoot::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        if (!m_restored && m_sizePersistence) {
            if (layout())
                layout()->activate();
            RestoreSize();
        }
        m_restored = true;
        m_open = true;
    }
    QDialog::setVisible(visible);
}

void TfrmPackRoot::formClose()
{
    if (!m_open)
        return;
    m_open = false;
    if (m_sizePersistence)
        SaveSize();
}

void TfrmPackRoot::done(int result)
{
    formClose();
    QDialog::done(result);
}

void TfrmPackRoot::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        formClose();
}

} // namespace lm
