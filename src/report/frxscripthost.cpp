// Registration of a report's objects and helper functions with the script engine.
#include "report/frxscripthost.h"

#include "report/frxreport.h"
#include "report/frxscriptobject.h"

namespace lm {

TfrxScriptHost::TfrxScriptHost(TfrxReport& report, TScript& script) : m_report(report), m_script(script) {}

TfrxScriptHost::~TfrxScriptHost() = default;

void TfrxScriptHost::Register()
{
    auto add = [&](const std::string& name, TfrxComponent* c) {
        m_adapters.push_back(std::make_unique<TfrxObjectAdapter>(c));
        m_byComponent[c] = m_adapters.back().get();
        m_script.AddObject(name, m_adapters.back().get());
    };
    for (TfrxComponent* c : m_report.AllObjects())
        if (!c->Name().empty())
            add(c->Name(), c);
    add("Report", &m_report);
    m_engine = std::make_unique<TfrxValueObject>(
        "TfrxEngine", frxEngineMembers(),
        [this](const std::string& member, const TScriptArgs* args) {
            return OnEngine ? OnEngine(member, args) : Variant::Null();
        });
    m_script.AddObject("Engine", m_engine.get());
    m_script.AddFunction(
        "Get", [this](const TScriptArgs& a) { return OnGet ? OnGet(a[0].AsString()) : Variant::Null(); }, 1, 1);
    m_script.AddFunction(
        "Str", [](const TScriptArgs& a) { return Variant(a[0].IsNullOrEmpty() ? std::string() : a[0].AsString()); },
        1, 1);
    m_script.AddFunction(
        "ShowMessage",
        [this](const TScriptArgs& a) {
            if (OnMessage)
                OnMessage(a[0].AsString());
            return Variant::Null();
        },
        1, 1);
}

TScriptObject* TfrxScriptHost::ObjectOf(const TfrxComponent* component) const
{
    const auto it = m_byComponent.find(component);
    return it == m_byComponent.end() ? nullptr : it->second;
}

} // namespace lm
