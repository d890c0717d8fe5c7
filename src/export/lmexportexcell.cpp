// The grid export entry.
#include "export/lmexportexcell.h"

#include <algorithm>
#include <cstring>

#include "app/globals.h"
#include "export/excelexport.h"
#include "export/opoffice.h"

namespace lm {

void TLMExportExcell::Execute(TDBGridEh* grid)
{
    std::string sheetName = Caption;
    for (char& c : sheetName)
        if (c != '\0' && std::strchr("*/:?[\\]", c))
            c = ' ';
    std::string title = Caption;
    std::erase(title, '\n');
    if (glVars && glVars->UseOpenOffice)
        OpExcelOleCopyGrideh(grid, nullptr, title, sheetName, MultiHeader, std::string(), true, true, true, false,
                             std::string(), std::string(), true, false, 0);
    else
        ExcelCopyGridDDE(grid, sheetName, title, FileName, MultiHeader);
}

} // namespace lm
