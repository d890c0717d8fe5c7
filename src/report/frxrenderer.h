// TfrxRenderer: lays a version-3 report out into prepared pages — report title, page header and
// footer, column header, master data over its dataset (walked through the dataset component, so
// its OnFirst/OnNext/OnCheckEOF events choose the records), headers and footers, group headers
// and footers by condition, detail data, report summary; stretching memos with word wrap,
// frames, fonts, alignment, rotation, display formats, pictures, lines and shapes; bracketed
// expressions with fields, variables, SUM/COUNT/AVG/MIN/MAX, IIF, [Date], [Time], [Page#] and
// [TotalPages#]; the report script with OnStartReport, OnStopReport and OnBeforePrint events.
#pragma once

#include <functional>
#include <memory>

namespace lm {

class TfrxReport;
class TfrxPainter;
class TfrxPreparedPages;

class TfrxRenderer {
public:
    // The painter measures texts; the report's datasets must be open.
    TfrxRenderer(TfrxReport& report, TfrxPainter& measure);
    ~TfrxRenderer();
    TfrxRenderer(const TfrxRenderer&) = delete;
    TfrxRenderer& operator=(const TfrxRenderer&) = delete;

    // Runs the report into pages. Raises lm::Exception when the script does not compile
    // ("Ошибка в скрипте отчета:" and the engine's message), an expression is wrong (the object
    // and the expression named) or the script fails while running.
    void Prepare(TfrxPreparedPages& pages);

    // Called when a page is begun, with its number (1-based).
    std::function<void(int page)> OnProgress;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace lm
