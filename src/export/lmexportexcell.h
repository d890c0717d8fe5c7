// TLMExportExcell: the one-call grid export of host forms, to the workbook format or to the
// Calc-style document as the global settings choose.
#pragma once

#include <string>

#include "util/object.h"

namespace lm {

class TDBGridEh;

class TLMExportExcell : public TObject {
public:
    TLMExportExcell(const std::string& caption, const std::string& fileName, bool multiHeader)
        : Caption(caption), MultiHeader(multiHeader), FileName(fileName) {}

    // Sheet name: Caption with * / : ? [ \ ] as blanks; title: Caption without line feeds.
    // With glVars->UseOpenOffice the Calc-style export (which reports its own errors and does
    // not use FileName); otherwise ExcelCopyGridDDE, whose errors reach the caller.
    void Execute(TDBGridEh* grid);

    std::string Caption;
    bool MultiHeader;
    std::string FileName;
};

} // namespace lm
