// Report objects as the script engine sees them: TfrxObjectAdapter gives scripts the
// properties of a TfrxComponent (Memo1.Text, Page1.Visible, Memo1.Font.Color), and
// TfrxValueObject answers a fixed set of names through a callback (the Engine object).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/script.h"

namespace lm {

class TfrxComponent;

class TfrxObjectAdapter : public TScriptObject {
public:
    // prefix: the dotted path of a sub-object ("Font."), empty for the object itself.
    explicit TfrxObjectAdapter(TfrxComponent* component, std::string prefix = {});
    ~TfrxObjectAdapter() override;

    // The names scripts may use on report objects (one table for all of them, compared
    // ignoring case): the common properties and the sub-objects Font, Frame, Highlight,
    // DisplayFormat, ReportOptions.
    int FindMember(std::string_view name) const override;
    Variant GetMember(int id) override;
    void SetMember(int id, const Variant& value) override;
    Variant CallMember(int id, const TScriptArgs& args) override;
    TScriptObject* ObjectMember(int id) override;
    std::string ScriptClassName() const override;

    TfrxComponent* Component() const { return m_component; }

private:
    std::string propName(int id) const;
    TfrxComponent* m_component;
    std::string m_prefix;
    std::map<int, std::unique_ptr<TfrxObjectAdapter>> m_children;
};

// An object with a fixed list of members whose values come from a callback; writing calls the
// setter (or raises when there is none). Methods are called with their arguments.
class TfrxValueObject : public TScriptObject {
public:
    using Getter = std::function<Variant(const std::string& member, const TScriptArgs* args)>;
    using Setter = std::function<void(const std::string& member, const Variant& value)>;
    TfrxValueObject(std::string className, std::vector<std::string> members, Getter get, Setter set = {});

    int FindMember(std::string_view name) const override;
    Variant GetMember(int id) override;
    void SetMember(int id, const Variant& value) override;
    Variant CallMember(int id, const TScriptArgs& args) override;
    std::string ScriptClassName() const override { return m_className; }
    const void* MemberTableKey() const override { return this; }

private:
    std::string m_className;
    std::vector<std::string> m_members;
    Getter m_get;
    Setter m_set;
};

// The members of the engine object that report scripts and expressions read.
const std::vector<std::string>& frxEngineMembers();

} // namespace lm
