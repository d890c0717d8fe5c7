// TDesignDoc: what the report designer edits, over either report model — the pages with their
// bands and objects at page positions, a memo's text, font, frame and alignment, a band's data
// source or condition and script, the report's variables and script, and snapshots for undo.
// Items are addressed by page and index in the order the designer lists them; an index stays
// valid until objects are added or removed or a snapshot is restored.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/graphics.h"

namespace lm {

class TfrReport;
class TfrxReport;

struct TDesignItem {
    std::string Name;
    std::string Kind;  // the band type or the object class, for showing
    bool Band = false;
    bool Memo = false;
    double Left = 0, Top = 0, Width = 0, Height = 0;  // page position, engine units
};

// Horizontal alignment of a memo.
enum TDesignAlign { daLeft, daRight, daCenter, daBlock };

class TDesignDoc {
public:
    using TVariables = std::vector<std::pair<std::string, std::string>>;
    virtual ~TDesignDoc() = default;

    virtual int PageCount() const = 0;
    // The paper in engine units, and where page positions start on it (the margins).
    virtual double PageWidth(int page) const = 0;
    virtual double PageHeight(int page) const = 0;
    virtual double OriginX(int page) const = 0;
    virtual double OriginY(int page) const = 0;

    virtual int Count(int page) const = 0;
    virtual TDesignItem Item(int page, int index) const = 0;
    // Moves or resizes; an object follows to the band it now lies in where the model nests them.
    virtual void SetBounds(int page, int index, double left, double top, double width, double height) = 0;

    // Memos; texts hold lines joined by CR LF.
    virtual std::string Text(int page, int index) const = 0;
    virtual void SetText(int page, int index, const std::string& text) = 0;
    virtual TFont Font(int page, int index) const = 0;
    virtual void SetFont(int page, int index, const TFont& font) = 0;
    virtual bool Framed(int page, int index) const = 0;
    virtual void SetFramed(int page, int index, bool all) = 0;
    virtual TDesignAlign Align(int page, int index) const = 0;
    virtual void SetAlign(int page, int index, TDesignAlign align) = 0;
    // A new memo at the page position; returns its index.
    virtual int AddMemo(int page, double left, double top) = 0;
    virtual void Delete(int page, int index) = 0;

    // Bands: the data source (data bands) or the condition (group headers), and the script.
    virtual std::string BandSource(int page, int index) const = 0;
    virtual void SetBandSource(int page, int index, const std::string& source) = 0;
    virtual std::vector<std::string> ObjectScript(int page, int index) const = 0;
    virtual void SetObjectScript(int page, int index, const std::vector<std::string>& lines) = 0;

    virtual std::vector<std::string> ReportScript() const = 0;
    virtual void SetReportScript(const std::vector<std::string>& lines) = 0;
    virtual TVariables Variables() const = 0;
    virtual void SetVariables(const TVariables& variables) = 0;

    // The whole report as text, and back.
    virtual std::string Snapshot() const = 0;
    virtual void Restore(const std::string& snapshot) = 0;
};

std::unique_ptr<TDesignDoc> MakeDesignDoc(TfrReport& report);
std::unique_ptr<TDesignDoc> MakeDesignDoc(TfrxReport& report);

} // namespace lm
