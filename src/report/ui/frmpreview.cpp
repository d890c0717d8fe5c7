// The report preview window.
#include "report/ui/frmpreview.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QScrollBar>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/hooks.h"
#include "forms/ui/qtdialoghost.h"
#include "report/frxreport.h"
#include "report/frxrenderer.h"
#include "report/reporthooks.h"
#include "report/ui/frxqtpainter.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

const int kZooms[] = {50, 75, 100, 125, 150, 200};

QToolButton* toolButton(QToolBar* bar, const char* name, const QString& text, const QString& hint)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

} // namespace

TfrmPreview::TfrmPreview(TfrxPreparedPages pages, const QString& title, QWidget* parent)
    : QDialog(parent), m_pages(std::move(pages)), m_title(title)
{
    setObjectName("frmPreview");
    setWindowTitle(ToQString("Просмотр"_w) + (title.isEmpty() ? QString() : " - " + title));
    auto* bar = new QToolBar(this);
    QToolButton* first = toolButton(bar, "btnFirst", QString(QChar(0x23EE)), ToQString("Первая страница"_w));
    QToolButton* prior = toolButton(bar, "btnPrior", QString(QChar(0x25C0)), ToQString("Предыдущая страница"_w));
    m_pageBox = new QSpinBox(bar);
    m_pageBox->setObjectName("sePage");
    m_pageBox->setRange(1, std::max(1, m_pages.Count()));
    bar->addWidget(m_pageBox);
    m_pageCount = new QLabel(ToQString(" из "_w) + QString::number(m_pages.Count()) + " ", bar);
    bar->addWidget(m_pageCount);
    QToolButton* next = toolButton(bar, "btnNext", QString(QChar(0x25B6)), ToQString("Следующая страница"_w));
    QToolButton* last = toolButton(bar, "btnLast", QString(QChar(0x23ED)), ToQString("Последняя страница"_w));
    bar->addSeparator();
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName("cbZoom");
    for (int z : kZooms)
        m_zoomBox->addItem(QString::number(z) + "%", z);
    m_zoomBox->addItem(ToQString("По ширине"_w), 0);
    m_zoomBox->setCurrentIndex(2);
    bar->addWidget(m_zoomBox);
    bar->addSeparator();
    QToolButton* printButton = toolButton(bar, "btnPrint", ToQString("&Печать"_w), ToQString("Печать отчета"_w));
    QToolButton* pdf = toolButton(bar, "btnPdf", ToQString("&PDF"_w), ToQString("Сохранить в PDF"_w));
    QToolButton* closeButton = toolButton(bar, "btnClose", ToQString("&Закрыть"_w), {});
    for (QToolButton* b : {printButton, pdf, closeButton})
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);

    m_view = new QLabel;
    m_view->setObjectName("lblPage");
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName("scPage");
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(true);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);

    connect(first, &QToolButton::clicked, this, [this] { SetPageIndex(0); });
    connect(prior, &QToolButton::clicked, this, [this] { SetPageIndex(m_page - 1); });
    connect(next, &QToolButton::clicked, this, [this] { SetPageIndex(m_page + 1); });
    connect(last, &QToolButton::clicked, this, [this] { SetPageIndex(m_pages.Count() - 1); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int value) { SetPageIndex(value - 1); });
    connect(m_zoomBox, &QComboBox::activated, this, [this](int index) {
        const int z = m_zoomBox->itemData(index).toInt();
        if (z > 0) {
            SetZoom(z);
        } else if (!m_pages.Pages.empty()) {
            const double pageWidth = m_pages.Pages[m_page].PaperWidth / 25.4 * logicalDpiX();
            SetZoom(100.0 * (m_scroll->viewport()->width() - 20) / pageWidth);
        }
    });
    connect(printButton, &QToolButton::clicked, this, &TfrmPreview::print);
    connect(pdf, &QToolButton::clicked, this, [this] { RunShowingErrors([this] { ExportPdf(); }); });
    connect(closeButton, &QToolButton::clicked, this, &QDialog::accept);
    showPage();
    // As wide as the page at full size and most of the screen high.
    const QRect avail = screen()->availableGeometry();
    const int wide = m_view->sizeHint().width() + m_scroll->verticalScrollBar()->sizeHint().width() + 8;
    resize(std::min(avail.width() * 9 / 10, std::max(wide, sizeHint().width())), avail.height() * 9 / 10);
}

void TfrmPreview::SetPageIndex(int index)
{
    index = std::clamp(index, 0, std::max(0, m_pages.Count() - 1));
    if (index == m_page && !m_view->pixmap().isNull())
        return;
    m_page = index;
    showPage();
}

void TfrmPreview::SetZoom(double percent)
{
    m_zoom = std::clamp(percent, 10.0, 400.0);
    showPage();
}

void TfrmPreview::showPage()
{
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setValue(m_page + 1);
    }
    if (m_pages.Pages.empty()) {
        m_view->setText(ToQString("Отчет пуст"_w));
        return;
    }
    const double ratio = devicePixelRatioF();
    QImage image = frxPageImage(m_pages, m_page, logicalDpiX() * m_zoom / 100.0 * ratio);
    image.setDevicePixelRatio(ratio);
    m_view->setPixmap(QPixmap::fromImage(image));
}

void TfrmPreview::PrintTo(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw Exception("Принтер недоступен"_w);
    const double dpi = printer.resolution();
    painter.scale(dpi / 96.0, dpi / 96.0);
    TfrxQtPainter out(&painter, dpi);
    out.OnNewPage = [&](const TfrxPreparedPage& page, bool first) {
        printer.setPageSize(QPageSize(QSizeF(page.PaperWidth, page.PaperHeight), QPageSize::Millimeter));
        if (!first)
            printer.newPage();
    };
    const int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int to = printer.toPage() > 0 ? std::min(printer.toPage(), m_pages.Count()) : m_pages.Count();
    for (int i = from; i < to; ++i)
        m_pages.DrawPage(i, out);
    painter.end();
}

void TfrmPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_title);
    printer.setFullPage(true);
    printer.setFromTo(1, m_pages.Count());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, std::max(1, m_pages.Count()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    RunShowingErrors([&] { PrintTo(printer); });
}

bool TfrmPreview::ExportPdf()
{
    TFileDialogRequest request;
    request.Kind = fdSave;
    request.Caption = "Сохранить в PDF"_w;
    request.Filter = "Файлы PDF|*.pdf|Все файлы |*.*"_w;
    if (auto name = FromQString(m_title))
        request.FileName = ToSysPath(*name) + ".pdf";
    if (!ShowFileDialog(request))
        return false;
    std::string file = request.FileName;
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".pdf") != 0)
        file += ".pdf";
    frxExportPdf(m_pages, file, FromQString(m_title).value_or(std::string()));
    return true;
}

void TfrmPreview::Execute(TfrxReport& report, QWidget* parent)
{
    TfrxQtPainter measure;
    TfrxRenderer renderer(report, measure);
    TfrxPreparedPages pages;
    renderer.Prepare(pages);
    TfrmPreview preview(std::move(pages), ToQString(report.Prop("ReportOptions.Name")), parent);
    preview.exec();
}

void TfrmPreview::Install()
{
    SetReportShowHook([](TfrxReport& report) { Execute(report, QApplication::activeWindow()); });
}

} // namespace lm
