// TfrxScriptHost: what a report's script sees of the report — every named object, "Report",
// "Engine", <Name> values through Get, and the helper functions of report scripts (Str,
// ShowMessage). The renderer and the fix-up share it; the fix-up only compiles.
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
