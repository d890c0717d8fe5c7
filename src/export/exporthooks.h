// What the host connects to the spreadsheet exports: where an unsaved workbook goes, how a
// document is printed, and the export records grids carry in their Tag.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace lm {

class TFastList;
class TWorkbook;

// Opens a finished, unsaved workbook for the user (the desktop hands it to a spreadsheet
// program). Without a hook such a workbook is dropped.
using TShowWorkbookHook = std::function<void(std::unique_ptr<TWorkbook> book)>;
void SetShowWorkbookHook(TShowWorkbookHook hook);
void ShowWorkbook(std::unique_ptr<TWorkbook> book);

// Prints a document with its sheets' page setup; the widgets connect it. Without a hook
// PrintWorkbook raises Exception "Печать документа недоступна: принтер не подключен".
using TPrintDocumentHook = std::function<void(const TWorkbook& book)>;
void SetPrintDocumentHook(TPrintDocumentHook hook);
void PrintWorkbook(const TWorkbook& book);

// What a host attaches to a grid for its export: the language the cells are translated to and
// the upper-case full names of the fields to translate (a sorted list, not owned). A grid
// carries it through its Tag: the handle RegisterGridExportInfo returns.
struct TGridExportInfo {
    std::string Lang;  // at most 3 characters
    TFastList* Fields = nullptr;
};
// Makes `info` (not owned) reachable from a grid's Tag; returns the positive handle to put there.
int RegisterGridExportInfo(TGridExportInfo* info);
void UnregisterGridExportInfo(int handle);
// The record behind a Tag; lm::Exception when the Tag holds no registered handle.
TGridExportInfo& GridExportInfo(int tag);
// The language of a grid's export record and its field list: "RU" and none when the grid has
// no record (a Tag that is not a handle is ignored).
std::string GridExportLanguage(int tag, TFastList*& fields);

} // namespace lm
