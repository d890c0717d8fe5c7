// TSheetFile: the cells of an .xlsx or .ods workbook as a spreadsheet program shows them —
// each cell's displayed text and its typed value — read with libzip and expat.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "util/variant.h"

struct zip;

namespace lm {

class TWorkbook;

struct TReadCell {
    Variant Value;     // number, date, boolean or text (Windows-1251)
    std::string Text;  // the displayed text (Windows-1251)
};

class TReadSheet {
public:
    std::string Name;  // Windows-1251
    // The cell at 0-based coordinates, or nullptr for an empty one.
    const TReadCell* Cell(int row, int col) const;
    void Set(int row, int col, TReadCell cell);
    const std::map<int, std::vector<std::pair<int, TReadCell>>>& Rows() const { return m_rows; }
    size_t CellCount() const { return m_count; }

private:
    std::map<int, std::vector<std::pair<int, TReadCell>>> m_rows;  // row -> cells by column
    size_t m_count = 0;
};

class TSheetFile {
public:
    // Opens a workbook; the kind is found from its contents, not its name. Raises
    // EInOutError when the file cannot be read and Exception "Файл %s не является книгой
    // xlsx или ods" when it is not a readable workbook.
    static std::unique_ptr<TSheetFile> Open(const std::string& fileName);
    // The same over bytes in memory (kept by the caller while the object lives).
    static std::unique_ptr<TSheetFile> FromMemory(const void* data, size_t size, const std::string& name);
    ~TSheetFile();

    int SheetCount() const { return static_cast<int>(m_names.size()); }
    const std::string& SheetName(int index) const { return m_names.at(static_cast<size_t>(index)); }
    // The sheet shown first when the file opens (0-based).
    int ActiveSheet() const { return m_active; }
    // The 0-based sheet's cells, read on first use. Raises as Open when its XML is broken.
    const TReadSheet& Sheet(int index);

    struct Impl;

private:
    TSheetFile() = default;
    // Takes over the opened archive (closing it on failure).
    static std::unique_ptr<TSheetFile> FromArchive(::zip* za, const std::string& name);
    std::unique_ptr<Impl> m_impl;
    std::vector<std::string> m_names;
    std::vector<std::unique_ptr<TReadSheet>> m_sheets;
    int m_active = 0;
};

// Reads every sheet of a workbook file into `book`: names, values and displayed numbers' date
// formats (the look of the cells is not read). Raises as TSheetFile::Open.
void LoadWorkbook(const std::string& fileName, TWorkbook& book);

} // namespace lm
