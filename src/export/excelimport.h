// ExcelToDataSet and ExcelToDocs: consecutive rows of a worksheet (.xlsx or .ods) read into
// datasets, generically by field Tag or as business documents of seven kinds.
#pragma once

#include <cstdint>
#include <string>

#include "export/excelexport.h"

namespace lm {

class TDataSet;

// Rows from StartRow down while the KeyCol cell shows text; each field with Tag > 0 receives
// the value of that column (string fields trimmed). SheetIndex > 0 picks the sheet (1-based),
// otherwise the sheet the file opens with. Rows read before an error stay in the dataset.
void ExcelToDataSet(const std::string& FileName, TDataSet* DataSet, int StartRow, int KeyCol,
                    const TImportProgressEvent& OnProgress = nullptr, int SheetIndex = 0);
// The document import: MapDataSet maps logical names ("FNAME") to sheet columns ("COL");
// Kind 0-6 decides which names are read and how TargetDataSet's records are built.
void ExcelToDocs(const std::string& FileName, TDataSet* MapDataSet, TDataSet* TargetDataSet, int StartRow, int KeyCol,
                 const TImportProgressEvent& OnProgress, int SheetIndex, uint8_t Kind);

} // namespace lm
