// The preview and designer hooks of the print menus.
#include "report/reporthooks.h"

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

struct Hooks {
    TfrxShowHook show;
    TfrDesignHook design2;
    TfrxDesignHook design3;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

[[noreturn]] void noDesigner() { throw Exception("Дизайнер отчетов недоступен"_w); }

} // namespace

void SetReportShowHook(TfrxShowHook hook) { hooks().show = std::move(hook); }
void SetFRDesignHook(TfrDesignHook hook) { hooks().design2 = std::move(hook); }
void SetFRXDesignHook(TfrxDesignHook hook) { hooks().design3 = std::move(hook); }

void frxShowReport(TfrxReport& report)
{
    if (!hooks().show)
        throw Exception("Просмотр отчетов недоступен"_w);
    hooks().show(report);
}

bool frDesignerInstalled() { return static_cast<bool>(hooks().design2); }

void frDesignReport(TfrReport& report, TDesignRun& run)
{
    if (!hooks().design2)
        noDesigner();
    hooks().design2(report, run);
}

void frxDesignReport(TfrxReport& report, TDesignRun& run)
{
    if (!hooks().design3)
        noDesigner();
    hooks().design3(report, run);
}

} // namespace lm
