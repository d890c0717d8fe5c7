// Script access to report objects and to value objects.
#include "report/frxscriptobject.h"

#include <algorithm>

#include "report/frxcomponent.h"
#include "util/cp1251.h"

namespace lm {

namespace {

// The member table of report objects. Sub-objects come first so that ObjectMember can tell
// them by index.
const std::vector<std::string>& memberTable()
{
    static const std::vector<std::string> names = {
        "Font", "Frame", "Highlight", "DisplayFormat", "ReportOptions",
        "Name", "Left", "Top", "Width", "Height", "Visible", "Text", "Memo", "Lines", "Caption", "Color",
        "Checked", "Items", "ItemIndex", "DataSet", "DataField", "DataSetName", "Stretched", "StretchMode",
        "HAlign", "VAlign", "Rotation", "WordWrap", "Condition", "Expression", "Child", "Printable",
        "Enabled", "ModalResult", "Tag", "Hint", "StartNewPage", "KeepTogether", "AllowSplit", "Value",
        "Size", "Style", "Typ", "Description", "Author", "VersionMajor", "VersionMinor", "VersionRelease",
        "VersionBuild", "CreateDate", "LastChange", "Title", "FormatStr", "Kind", "DecimalSeparator",
        "AllowExpressions", "HideZeros", "SuppressRepeated", "Clear", "SetFocus", "Free"};
    return names;
}
constexpr int kSubObjects = 5;

int indexIn(const std::vector<std::string>& table, std::string_view name)
{
    const std::string key = upperCase(name);
    for (std::size_t i = 0; i < table.size(); ++i)
        if (upperCase(table[i]) == key)
            return static_cast<int>(i);
    return -1;
}

// A property text as a script value: numbers as numbers, "True"/"False" as Booleans.
Variant valueOf(const std::string& text)
{
    if (text == "True" || text == "False")
        return Variant(text == "True");
    double d = 0;
    if (!text.empty() && (text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) {
        char* end = nullptr;
        d = std::strtod(text.c_str(), &end);
        if (end == text.c_str() + text.size())
            return Variant(d);
    }
    return Variant(text);
}

} // namespace

TfrxObjectAdapter::TfrxObjectAdapter(TfrxComponent* component, std::string prefix)
    : m_component(component), m_prefix(std::move(prefix))
{
}

TfrxObjectAdapter::~TfrxObjectAdapter() = default;

int TfrxObjectAdapter::FindMember(std::string_view name) const
{
    return indexIn(memberTable(), name);
}

std::string TfrxObjectAdapter::propName(int id) const
{
    std::string name = memberTable().at(static_cast<std::size_t>(id));
    if (name == "Memo" || name == "Lines")
        name = "Text";
    return m_prefix + name;
}

Variant TfrxObjectAdapter::GetMember(int id)
{
    const std::string prop = propName(id);
    if (prop == "Visible")
        return Variant(m_component->Visible());
    if (prop == "Text" || prop == "Caption" || prop == "Name")
        return Variant(m_component->Prop(prop));
    return valueOf(m_component->Prop(prop));
}

void TfrxObjectAdapter::SetMember(int id, const Variant& value)
{
    const std::string prop = propName(id);
    if (value.VarType() == TVarType::varBoolean)
        m_component->SetPropBool(prop, value.AsBoolean());
    else if (value.VarType() == TVarType::varDouble || value.VarType() == TVarType::varInt64 ||
             value.VarType() == TVarType::varInteger || value.VarType() == TVarType::varCurrency)
        m_component->SetPropFloat(prop, value.AsFloat());
    else
        m_component->SetProp(prop, value.AsString());
}

Variant TfrxObjectAdapter::CallMember(int id, const TScriptArgs&)
{
    const std::string& name = memberTable().at(static_cast<std::size_t>(id));
    if (name == "Clear")
        m_component->SetProp(m_prefix + "Text", std::string());
    if (name == "Clear" || name == "SetFocus" || name == "Free")
        return Variant::Null();
    return GetMember(id);
}

TScriptObject* TfrxObjectAdapter::ObjectMember(int id)
{
    if (id < 0 || id >= kSubObjects)
        return nullptr;
    auto& child = m_children[id];
    if (!child)
        child = std::make_unique<TfrxObjectAdapter>(m_component, m_prefix + memberTable()[id] + ".");
    return child.get();
}

std::string TfrxObjectAdapter::ScriptClassName() const
{
    return m_prefix.empty() ? m_component->ClassName() : m_prefix.substr(0, m_prefix.size() - 1);
}

TfrxValueObject::TfrxValueObject(std::string className, std::vector<std::string> members, Getter get, Setter set)
    : m_className(std::move(className)), m_members(std::move(members)), m_get(std::move(get)), m_set(std::move(set))
{
}

int TfrxValueObject::FindMember(std::string_view name) const
{
    return indexIn(m_members, name);
}

Variant TfrxValueObject::GetMember(int id)
{
    return m_get(m_members.at(static_cast<std::size_t>(id)), nullptr);
}

void TfrxValueObject::SetMember(int id, const Variant& value)
{
    if (!m_set)
        TScriptObject::SetMember(id, value);
    else
        m_set(m_members.at(static_cast<std::size_t>(id)), value);
}

Variant TfrxValueObject::CallMember(int id, const TScriptArgs& args)
{
    return m_get(m_members.at(static_cast<std::size_t>(id)), &args);
}

const std::vector<std::string>& frxEngineMembers()
{
    static const std::vector<std::string> names = {"CurY", "CurX", "FreeSpace", "FinalPass", "PageHeight",
                                                   "PageWidth", "PageNo", "TotalPages", "ShowBand", "NewPage",
                                                   "NewColumn", "StopReport", "Terminated"};
    return names;
}

} // namespace lm
