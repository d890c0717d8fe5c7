// Form scaling on Qt widgets.
#include "forms/ui/scaleformsqt.h"

#include <cmath>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "forms/scaleforms.h"

namespace lm {

int ScreenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : kDesignPixelsPerInch;
}

std::string GetSizeSuffix()
{
    return GetSizeSuffix(ScreenPixelsPerInch());
}

int TextHeight(const QWidget* widget)
{
    // The line height of the font, as the platform measures a text's height.
    return widget->fontMetrics().height();
}

void ScaleForm(QWidget* form)
{
    if (ScreenPixelsPerInch() <= kDesignPixelsPerInch)
        return;
    const int h = TextHeight(form);
    form->setMinimumSize(ScaledMinWidth(form->minimumWidth(), h), ScaledMinHeight(form->minimumHeight(), h));
}

void ScaleByFont(QWidget* form, int index)
{
    if (index < 0)
        index = GetFontIndex();
    if (index == 0)
        return;
    const TFontChoice choice = FontChoice(index, QFontDatabase::hasFamily(QStringLiteral("Tahoma")));
    const int before = TextHeight(form);
    QFont font = form->font();
    font.setFamily(QString::fromStdString(choice.Name));
    font.setPointSize(choice.Size);
    font.setBold(choice.Bold);
    form->setFont(font);
    const int after = TextHeight(form);
    if (form->minimumHeight() > 0)
        form->setMinimumHeight(MulDiv(form->minimumHeight(), after, before));
    if (form->minimumWidth() > 0)
        form->setMinimumWidth(MulDiv(form->minimumWidth(), after, before));
}

} // namespace lm
