// TfrmPreview: the report preview window — the rendered pages one at a time with page
// navigation and zoom, printing through the system's print dialog and export to PDF.
#pragma once

#include <QDialog>

#include "report/frxpainter.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;
class QPrinter;

namespace lm {

class TfrxReport;

class TfrmPreview : public QDialog {
    Q_OBJECT

public:
    TfrmPreview(TfrxPreparedPages pages, const QString& title, QWidget* parent = nullptr);

    // Renders the report and shows its pages modally.
    static void Execute(TfrxReport& report, QWidget* parent = nullptr);
    // Makes Execute the preview of every print menu.
    static void Install();

    int PageIndex() const { return m_page; }
    void SetPageIndex(int index);
    // Zoom in percent of the page's real size.
    double Zoom() const { return m_zoom; }
    void SetZoom(double percent);
    const TfrxPreparedPages& Pages() const { return m_pages; }
    // Draws every page on a printer that is ready (used by the print button).
    void PrintTo(QPrinter& printer) const;
    // Asks for a PDF file name and writes the pages there; false when cancelled.
    bool ExportPdf();

private:
    void showPage();
    void print();

    TfrxPreparedPages m_pages;
    QString m_title;
    QScrollArea* m_scroll;
    QLabel* m_view;
    QSpinBox* m_pageBox;
    QLabel* m_pageCount;
    QComboBox* m_zoomBox;
    int m_page = 0;
    double m_zoom = 100;
};

} // namespace lm
