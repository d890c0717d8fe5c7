// lmpack import: ExcelToDataSet into an in-memory dataset with one text field per used column
// of the sheet; the imported rows printed tab-separated.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "command.h"
#include "export/excelimport.h"
#include "export/sheetreader.h"
#include "host/memdataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;

bool positive(const std::string& text, int& value)
{
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    value = static_cast<int>(n);
    return !text.empty() && *end == '\0' && n > 0 && n <= 1048576;
}

int runImport(const std::vector<std::string>& args)
{
    std::string file;
    int startRow = 0, keyCol = 0, sheetIndex = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--file" && hasValue)
            file = utf8ToCp1251(args[++i]);
        else if (a == "--start-row" && hasValue && positive(args[i + 1], startRow))
            ++i;
        else if (a == "--key-col" && hasValue && positive(args[i + 1], keyCol))
            ++i;
        else if (a == "--sheet" && hasValue && positive(args[i + 1], sheetIndex))
            ++i;
        else
            return lmcli::usageError("import");
    }
    if (file.empty() || startRow == 0 || keyCol == 0)
        return lmcli::usageError("import");

    // One field per column the sheet uses, in column order.
    std::set<int> used;
    {
        auto book = TSheetFile::Open(file);
        const int index = sheetIndex > 0 ? sheetIndex - 1 : book->ActiveSheet();
        if (index < book->SheetCount())
            for (const auto& [row, cells] : book->Sheet(index).Rows())
                for (const auto& cell : cells)
                    used.insert(cell.first + 1);
    }
    TMemDataSet ds;
    for (int col : used) {
        auto* field = new TStringField(&ds);
        field->SetFieldName("C" + std::to_string(col));
        field->SetTag(col);
        field->SetDataSet(&ds);
    }
    ExcelToDataSet(file, &ds, startRow, keyCol, nullptr, sheetIndex);
    for (ds.First(); !ds.Eof(); ds.Next()) {
        std::string line;
        for (int f = 0; f < ds.FieldCount(); ++f) {
            if (f > 0)
                line += '\t';
            line += ds.Fields(f)->AsString();
        }
        std::printf("%s\n", cp1251ToUtf8(line).c_str());
    }
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"import",
     "lmpack import --file FILE --start-row R --key-col C [--sheet N]\n"
     "                                   import a sheet's rows; print them tab-separated",
     runImport});

} // namespace
