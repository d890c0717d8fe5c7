// Drawing prepared report pages with QPainter: PDF files and page images.
#include "report/ui/frxqtpainter.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>

#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

QString qtext(std::string_view text)
{
    const std::u16string u = cp1251ToUtf16(text);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

QColor qcolor(TColor c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

Qt::PenStyle penStyle(int style)
{
    switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

} // namespace

TfrxQtPainter::TfrxQtPainter(QPainter* painter, double deviceDpi)
    : m_painter(painter), m_dpi(deviceDpi), m_measureDevice(1, 1, QImage::Format_RGB32)
{
    // 96 dots per inch: one engine unit is one pixel of the measuring device.
    m_measureDevice.setDotsPerMeterX(3780);
    m_measureDevice.setDotsPerMeterY(3780);
}

// Faces are few (a report uses a handful of fonts): a list searched from the last one used.
const TfrxQtPainter::Face& TfrxQtPainter::face(const TfrxFont& f)
{
    if (m_lastFace && m_lastFace->key == f)
        return *m_lastFace;
    for (const auto& fc : m_faces)
        if (fc->key == f)
            return *(m_lastFace = fc.get());
    QFont font(qtext(f.Name));
    font.setPointSizeF(f.Size);
    font.setBold(f.Style & fsBold);
    font.setItalic(f.Style & fsItalic);
    font.setUnderline(f.Style & fsUnderline);
    font.setStrikeOut(f.Style & fsStrikeOut);
    QFontMetricsF metrics(font, &m_measureDevice);
    // On the drawing device the same font, sized in its own dots.
    QFont drawn = font;
    drawn.setPointSizeF(f.Size * 96.0 / m_dpi);
    m_faces.push_back(std::make_unique<Face>(Face{f, drawn, metrics, metrics.ascent(), metrics.height()}));
    return *(m_lastFace = m_faces.back().get());
}

double TfrxQtPainter::TextWidth(const TfrxFont& font, std::string_view text)
{
    return face(font).metrics.horizontalAdvance(qtext(text));
}

double TfrxQtPainter::LineHeight(const TfrxFont& font)
{
    return face(font).lineHeight;
}

void TfrxQtPainter::BeginPage(const TfrxPreparedPage& page)
{
    if (OnNewPage)
        OnNewPage(page, m_firstPage);
    m_firstPage = false;
}

void TfrxQtPainter::EndPage() {}

void TfrxQtPainter::Draw(const TfrxDrawItem& item)
{
    if (!m_painter)
        return;
    QPainter& p = *m_painter;
    const QRectF rect(item.X, item.Y, item.W, item.H);
    switch (item.Kind) {
    case TfrxDrawItem::dkText: {
        const Face& f = face(item.Font);
        p.setFont(f.font);
        p.setPen(qcolor(item.Font.Color));
        if (item.Rotation) {
            p.save();
            p.translate(item.X, item.Y);
            p.rotate(-item.Rotation);
            p.drawText(QPointF(0, -f.lineHeight + f.ascent), qtext(item.Text));
            p.restore();
        } else {
            p.drawText(QPointF(item.X, item.Y + f.ascent), qtext(item.Text));
        }
        break;
    }
    case TfrxDrawItem::dkFill:
        p.fillRect(rect, qcolor(item.Color));
        break;
    case TfrxDrawItem::dkLine: {
        QPen pen(qcolor(item.Color), item.LineWidth, penStyle(item.LineStyle));
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(QPointF(item.X, item.Y), QPointF(item.X + item.W, item.Y + item.H));
        break;
    }
    case TfrxDrawItem::dkShape: {
        p.setPen(QPen(qcolor(item.Color), item.LineWidth));
        p.setBrush(item.FillColor == clNone ? QBrush(Qt::NoBrush) : QBrush(qcolor(item.FillColor)));
        switch (item.Shape) {
        case 1: p.drawRoundedRect(rect, 8, 8); break;
        case 2: p.drawEllipse(rect); break;
        case 3: {
            const QPointF pts[] = {{rect.center().x(), rect.top()}, rect.bottomRight(), rect.bottomLeft()};
            p.drawPolygon(pts, 3);
            break;
        }
        case 4: p.drawLine(rect.topLeft(), rect.bottomRight()); break;
        case 5: p.drawLine(rect.bottomLeft(), rect.topRight()); break;
        default: p.drawRect(rect); break;
        }
        p.setBrush(Qt::NoBrush);
        break;
    }
    case TfrxDrawItem::dkPicture: {
        QImage image = QImage::fromData(reinterpret_cast<const uchar*>(item.Text.data()),
                                        static_cast<int>(item.Text.size()));
        if (image.isNull())
            break;
        QSizeF size = image.size();
        size.scale(rect.size(), item.KeepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
        p.drawImage(QRectF(rect.topLeft(), size), image);
        break;
    }
    }
}

void frxEnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder and complains on stderr without one.
        const std::string dir = (std::filesystem::temp_directory_path() / ("runtime-" + std::to_string(getuid()))).string();
        std::filesystem::create_directories(dir);
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", dir.c_str());
    }
    static int argc = 1;
    static char name[] = "lmpack";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

void frxExportPdf(const TfrxPreparedPages& pages, const std::string& fileName, const std::string& title)
{
    const std::string temp = fileName + ".tmp" + std::to_string(QCoreApplication::applicationPid());
    constexpr int dpi = 1200;
    {
        QPdfWriter writer(QString::fromLocal8Bit(temp.c_str()));
        writer.setResolution(dpi);
        writer.setCreator(QStringLiteral("LMPack"));
        writer.setTitle(qtext(title));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!pages.Pages.empty())
            writer.setPageSize(QPageSize(QSizeF(pages.Pages[0].PaperWidth, pages.Pages[0].PaperHeight),
                                         QPageSize::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            throw Exception("Cannot create file \"" + fileName + "\"");
        painter.scale(dpi / 96.0, dpi / 96.0);
        TfrxQtPainter out(&painter, dpi);
        out.OnNewPage = [&](const TfrxPreparedPage& page, bool first) {
            writer.setPageSize(QPageSize(QSizeF(page.PaperWidth, page.PaperHeight), QPageSize::Millimeter));
            if (!first)
                writer.newPage();
        };
        pages.Draw(out);
        painter.end();
    }
    std::error_code ec;
    std::filesystem::rename(temp, fileName, ec);
    if (ec) {
        std::filesystem::remove(temp);
        throw Exception("Cannot create file \"" + fileName + "\". " + ec.message());
    }
}

QImage frxPageImage(const TfrxPreparedPages& pages, int index, double dpi)
{
    const TfrxPreparedPage& page = pages.Pages.at(static_cast<std::size_t>(index));
    const QSize size(qRound(page.PaperWidth / 25.4 * dpi), qRound(page.PaperHeight / 25.4 * dpi));
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(dpi / 96.0, dpi / 96.0);
    TfrxQtPainter out(&painter, dpi);
    pages.DrawPage(index, out);
    return image;
}

} // namespace lm
