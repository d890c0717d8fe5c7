// TfrxQtPainter: the report painter over a QPainter (PDF through QPdfWriter, page images), and
// the two outputs built on it: a PDF file whose texts are real text, and a page image.
#pragma once

#include <QFontMetricsF>
#include <functional>
#include <QImage>
#include <QPainter>
#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "report/frxpainter.h"

namespace lm {

class TfrxQtPainter : public TfrxPainter {
public:
    // Measures (and, with a painter, draws) for a device of the given resolution. Without a
    // painter only the measurements work (the renderer's layout pass).
    explicit TfrxQtPainter(QPainter* painter = nullptr, double deviceDpi = 96);

    double TextWidth(const TfrxFont& font, std::string_view text) override;
    double LineHeight(const TfrxFont& font) override;
    void BeginPage(const TfrxPreparedPage& page) override;
    void Draw(const TfrxDrawItem& item) override;
    void EndPage() override;

    // Called between pages (QPdfWriter::newPage); set by the PDF export.
    std::function<void(const TfrxPreparedPage& page, bool first)> OnNewPage;

private:
    struct Face {
        TfrxFont key;
        QFont font;          // sized for the drawing device
        QFontMetricsF metrics;  // on the 96-dpi measuring device
        double ascent, lineHeight;
    };
    const Face& face(const TfrxFont& font);
    QPainter* m_painter;
    double m_dpi;
    QImage m_measureDevice;
    std::vector<std::unique_ptr<Face>> m_faces;
    const Face* m_lastFace = nullptr;
    bool m_firstPage = true;
};

// A QGuiApplication for a program without one (the offscreen platform when none is set): the
// fonts need it.
void frxEnsureGuiApplication();

// Writes the pages as a PDF (to a temporary name beside the file, renamed over it when
// complete). Raises lm::Exception when the file cannot be written.
void frxExportPdf(const TfrxPreparedPages& pages, const std::string& fileName, const std::string& title = {});

// One page drawn at the resolution, white background.
QImage frxPageImage(const TfrxPreparedPages& pages, int index, double dpi = 96);

} // namespace lm
