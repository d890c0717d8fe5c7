// Property texts, their typed forms and the child list of report objects.
#include "report/frxcomponent.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "util/cp1251.h"

namespace lm {

TfrxComponent::~TfrxComponent() = default;

const std::string& TfrxComponent::Prop(std::string_view name) const
{
    static const std::string empty;
    for (const TfrxProperty& p : m_props)
        if (p.Name == name)
            return p.Value;
    return empty;
}

bool TfrxComponent::HasProp(std::string_view name) const
{
    return std::any_of(m_props.begin(), m_props.end(), [&](const TfrxProperty& p) { return p.Name == name; });
}

void TfrxComponent::SetProp(std::string_view name, std::string value)
{
    for (TfrxProperty& p : m_props)
        if (p.Name == name) {
            p.Value = std::move(value);
            return;
        }
    m_props.push_back({std::string(name), std::move(value)});
}

void TfrxComponent::RemoveProp(std::string_view name)
{
    std::erase_if(m_props, [&](const TfrxProperty& p) { return p.Name == name; });
}

double TfrxComponent::PropFloat(std::string_view name, double def) const
{
    const std::string& s = Prop(name);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(v) ? v : def;
}

void TfrxComponent::SetPropFloat(std::string_view name, double value)
{
    // Positions come from unit conversions; six decimals keep them exact enough and readable.
    double rounded = std::round(value * 1e6) / 1e6;
    if (rounded == 0)
        rounded = 0;  // no "-0"
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, rounded);
    SetProp(name, std::string(buf, ec == std::errc() ? end : buf));
}

int TfrxComponent::PropInt(std::string_view name, int def) const
{
    const std::string& s = Prop(name);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() ? v : def;
}

void TfrxComponent::SetPropInt(std::string_view name, long long value)
{
    SetProp(name, std::to_string(value));
}

bool TfrxComponent::PropBool(std::string_view name, bool def) const
{
    const std::string& s = Prop(name);
    if (s.empty())
        return def;
    const std::string up = upperCase(s);
    if (up == "TRUE" || up == "-1" || up == "1")
        return true;
    if (up == "FALSE" || up == "0")
        return false;
    return def;
}

void TfrxComponent::SetPropBool(std::string_view name, bool value)
{
    SetProp(name, value ? "True" : "False");
}

void TfrxComponent::SetBounds(double left, double top, double width, double height)
{
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

TfrxComponent* TfrxComponent::Add(std::unique_ptr<TfrxComponent> child)
{
    return Insert(Count(), std::move(child));
}

TfrxComponent* TfrxComponent::Insert(int index, std::unique_ptr<TfrxComponent> child)
{
    child->m_parent = this;
    index = std::clamp(index, 0, Count());
    return m_children.insert(m_children.begin() + index, std::move(child))->get();
}

std::unique_ptr<TfrxComponent> TfrxComponent::Take(TfrxComponent* child)
{
    for (auto it = m_children.begin(); it != m_children.end(); ++it)
        if (it->get() == child) {
            auto out = std::move(*it);
            m_children.erase(it);
            out->m_parent = nullptr;
            return out;
        }
    return nullptr;
}

std::vector<TfrxComponent*> TfrxComponent::AllObjects() const
{
    std::vector<TfrxComponent*> out;
    std::vector<const TfrxComponent*> stack{this};
    while (!stack.empty()) {
        const TfrxComponent* c = stack.back();
        stack.pop_back();
        if (c != this)
            out.push_back(const_cast<TfrxComponent*>(c));
        for (auto it = c->m_children.rbegin(); it != c->m_children.rend(); ++it)
            stack.push_back(it->get());
    }
    return out;
}

TfrxComponent* TfrxComponent::FindObject(std::string_view name) const
{
    const std::string key = upperCase(name);
    for (TfrxComponent* c : AllObjects())
        if (upperCase(c->Name()) == key)
            return c;
    return nullptr;
}

bool TfrxComponent::SameAs(const TfrxComponent& o) const
{
    if (m_className != o.m_className || Content != o.Content || m_props.size() != o.m_props.size() ||
        m_children.size() != o.m_children.size())
        return false;
    for (const TfrxProperty& p : m_props)
        if (!o.HasProp(p.Name) || o.Prop(p.Name) != p.Value)
            return false;
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (!m_children[i]->SameAs(*o.m_children[i]))
            return false;
    return true;
}

std::string frxJoinLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

std::vector<std::string> frxSplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t from = 0;
    for (;;) {
        const std::size_t eol = text.find_first_of("\r\n", from);
        if (eol == std::string::npos) {
            lines.push_back(text.substr(from));
            return lines;
        }
        lines.push_back(text.substr(from, eol - from));
        from = eol + (text.compare(eol, 2, "\r\n") == 0 ? 2 : 1);
    }
}

} // namespace lm
