// TExeclHeaderBuilder: the column-title block of a spreadsheet export, with "|" separating the
// levels of a multi-level title, drawn through IExcelDocument/IRange on either back end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "util/object.h"

namespace lm {

class TStrings;

// For the horizontal argument centre, left, right; for the vertical one centre, top, bottom.
enum TExcelAligment { eaCenter, eaTopLeft, eaBottomRight };

// A rectangle of cells of the document.
class IRange {
public:
    virtual ~IRange() = default;
    virtual void Merge() = 0;
    // The text of the range's top-left cell (Windows-1251).
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetFontBold(bool value) = 0;
    virtual void SetAlligment(TExcelAligment horizontal, TExcelAligment vertical) = 0;
    virtual void SetWrapText(bool value) = 0;
};

// The document the block is drawn on. Coordinates are 0-based and relative to the top-left
// cell of the block; each back end maps them onto its sheet.
class IExcelDocument {
public:
    virtual ~IExcelDocument() = default;
    virtual std::shared_ptr<IRange> GetRange(unsigned Col1, unsigned Row1, unsigned Col2, unsigned Row2) = 0;
};

class TExeclHeaderBuilder : public TObject {
public:
    // Raises Exception "[TExeclHeaderBuilder] Не передан интерфейс документа для добавления
    // заголовка" without a document.
    TExeclHeaderBuilder(std::shared_ptr<IExcelDocument> document, bool multi);

    // Splits every title into Levels parts; a title with fewer parts repeats its last part.
    void SetListOfTitles(const TStrings& list);
    // The rows the block takes: Levels when multi-level, else 1.
    int GetRowCount() const;
    // Draws the block, then makes it bold, centred and wrapped.
    void Build();

    int Levels() const { return m_levels; }
    int ColCount() const { return m_colCount; }
    const std::string& Title(int col, int level) const { return m_titles[static_cast<size_t>(col)][static_cast<size_t>(level)]; }

private:
    void BuildSimple();
    void BuildMulti();
    void mergeWithCaption(int col1, int row1, int col2, int row2, const std::string& caption);

    std::shared_ptr<IExcelDocument> m_document;
    std::vector<std::vector<std::string>> m_titles;  // [column][level]
    bool m_multi;
    int m_levels = 0;
    int m_colCount = 0;
};

} // namespace lm
