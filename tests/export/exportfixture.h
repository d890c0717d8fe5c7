// Shared by the export tests: a small goods dataset with a grid over it, a temporary folder,
// the parts of a written archive, and a sheet read back as displayed texts.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/datasource.h"
#include "host/gridmodel.h"
#include "host/memdataset.h"

namespace lm::test {

// Goods: ID (integer), NAME (string), PRICE (BCD, 2 decimals), DOC_DATE (date), CODE (string).
struct GoodsGrid {
    TMemDataSet goods;
    TDataSource source;
    TDBGridEh grid;
    GoodsGrid();
    void add(int id, const std::string& name, const Variant& price, const Variant& date, const std::string& code);
};

// A folder removed with its contents at the end of the test.
struct TempDir {
    std::filesystem::path path;
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return (path / name).string(); }
};

// The names of an archive's entries in order, with whether each is stored uncompressed.
std::vector<std::pair<std::string, bool>> zipEntries(const std::string& file);
// Writes an archive of the given parts, in order (the first one stored uncompressed).
void writeZip(const std::string& file, const std::vector<std::pair<std::string, std::string>>& parts);
// The text of one entry ("" when missing).
std::string zipPart(const std::string& file, const std::string& part);

// The records ExcelToDataSet reads from `file` (rows from 2, key column 1) into a dataset of the
// goods' fields with Tags 1..5; each record's field texts "|"-joined.
std::vector<std::string> importedGoods(const std::string& file);

// The displayed texts of a sheet read back with TSheetFile, row by row (Windows-1251), each
// row as long as its last cell; rows up to the last one that has a cell.
std::vector<std::vector<std::string>> sheetTexts(const std::string& file, int sheet = 0);

} // namespace lm::test
