// TfrxScriptHost: what a report's script sees of the report — every named object, "Report",
// "Engine", <Name> values through Get, the aggregate functions and the helper functions of
// report scripts (Str, ShowMessage). The renderer and the fix-up share it; the fix-up only compiles.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/script.h"

namespace lm {

class TfrxComponent;
class TfrxReport;
class TfrxObjectAdapter;
class TfrxValueObject;

// The aggregate functions of report expressions (SUM(expr, band, flags), COUNT(band), ...). The
// renderer turns their calls over a band into running totals before it compiles; the host
// registers them as functions too, so that every compile of a report script accepts them.
enum TfrxAggregateKind { agSum, agCount, agAvg, agMin, agMax };
struct TfrxAggregateFunction {
    const char* name;
    TfrxAggregateKind kind;
};
const std::vector<TfrxAggregateFunction>& frxAggregateFunctions();

class TfrxScriptHost {
public:
    using TGetEvent = std::function<Variant(const std::string& name)>;
    using TEngineEvent = std::function<Variant(const std::string& member, const TScriptArgs* args)>;

    TfrxScriptHost(TfrxReport& report, TScript& script);
    ~TfrxScriptHost();
    TfrxScriptHost(const TfrxScriptHost&) = delete;
    TfrxScriptHost& operator=(const TfrxScriptHost&) = delete;

    // The value of <Name> (Null when unset) and the members of Engine (Null when unset). Set them
    // before Register; they are called while scripts run.
    TGetEvent OnGet;
    TEngineEvent OnEngine;
    // Shows a script's message (ShowMessage); unset: ignored.
    std::function<void(const std::string& text)> OnMessage;

    // Registers the objects and functions with the script (before its Compile).
    void Register();
    // The script object of a report object (after Register), or null.
    TScriptObject* ObjectOf(const TfrxComponent* component) const;

private:
    TfrxReport& m_report;
    TScript& m_script;
    std::vector<std::unique_ptr<TfrxObjectAdapter>> m_adapters;
    std::map<const TfrxComponent*, TScriptObject*> m_byComponent;
    std::unique_ptr<TfrxValueObject> m_engine;
};

} // namespace lm
