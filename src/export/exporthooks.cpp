// The host connections of the exports.
#include "export/exporthooks.h"

#include <map>
#include <mutex>

#include "export/workbook.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

std::mutex g_mutex;
std::map<int, TGridExportInfo*> g_infos;
int g_nextInfo = 1;
TShowWorkbookHook g_show;
TPrintDocumentHook g_print;

} // namespace

void SetShowWorkbookHook(TShowWorkbookHook hook) { g_show = std::move(hook); }

void ShowWorkbook(std::unique_ptr<TWorkbook> book)
{
    if (g_show)
        g_show(std::move(book));
}

void SetPrintDocumentHook(TPrintDocumentHook hook) { g_print = std::move(hook); }

void PrintWorkbook(const TWorkbook& book)
{
    if (!g_print)
        throw Exception("Печать документа недоступна: принтер не подключен"_w);
    g_print(book);
}

int RegisterGridExportInfo(TGridExportInfo* info)
{
    std::lock_guard lock(g_mutex);
    g_infos[g_nextInfo] = info;
    return g_nextInfo++;
}

void UnregisterGridExportInfo(int handle)
{
    std::lock_guard lock(g_mutex);
    g_infos.erase(handle);
}

TGridExportInfo& GridExportInfo(int tag)
{
    std::lock_guard lock(g_mutex);
    const auto it = g_infos.find(tag);
    if (it == g_infos.end() || !it->second)
        throw Exception(Format("No export record for the Tag %d", {tag}));
    return *it->second;
}

std::string GridExportLanguage(int tag, TFastList*& fields)
{
    fields = nullptr;
    if (tag <= 0)
        return "RU";
    try {
        const TGridExportInfo& info = GridExportInfo(tag);
        fields = info.Fields;
        return info.Lang.empty() ? std::string("RU") : info.Lang.substr(0, 3);
    } catch (const Exception&) {
        return "RU";
    }
}

} // namespace lm
