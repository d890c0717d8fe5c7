// Template filling with macros, and instance skeletons from W3C XML Schema declarations.
#include "xml/xmltemplate.h"

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/qstr.h"

namespace lm {

namespace {

std::string substitute(std::string text, const std::vector<std::string>& macros, const std::vector<std::string>& values)
{
    const std::size_t n = macros.size() < values.size() ? macros.size() : values.size();
    for (std::size_t i = 0; i < n; ++i)
        text = Q_ReplaceStr(text, macros[i], values[i]);
    return text;
}

// The child of the schema root called kind whose "name" is name; null when none.
const TXMLNode* schemaDefinition(const TXMLNode* root, std::string_view kind, std::string_view name)
{
    for (const TXMLNode* child : root->Nodes())
        if (child->Name == kind && child->GetAttr("name") == name)
            return child;
    return nullptr;
}

constexpr int kMaxLevels = 10;
// Ten levels of a type that holds itself several times grow geometrically; a skeleton this
// large comes only from such a schema and is refused rather than filling the memory.
constexpr int kMaxElements = 100000;

class TemplateBuilder {
public:
    TemplateBuilder(const TXMLNode* root, bool withOptional) : m_root(root), m_withOptional(withOptional) {}

    void expand(const TXMLNode* def, TXMLNode* target, int depth) const
    {
        if (depth > kMaxLevels)
            return;
        bool taken = false;
        const bool choice = def->Name == "xsd:choice";
        for (const TXMLNode* c : def->Nodes()) {
            if (taken && choice)
                return;
            const bool optional = !m_withOptional && c->GetAttr("minOccurs") == "0";
            if (c->Name == "xsd:sequence") {
                if (optional)
                    continue;
                expand(c, target, depth + 1);
                taken = true;
            } else if (c->Name == "xsd:element") {
                taken = true;
                if (!optional)
                    element(c, target, depth);
            } else if (c->Name == "xsd:complexType" || c->Name == "xsd:choice" || c->Name == "xsd:simpleContent") {
                expand(c, target, depth + 1);
                taken = true;
            }
        }
    }

private:
    TXMLNode* add(TXMLNode* target, const std::string& name) const
    {
        if (++m_made > kMaxElements)
            throw Exception(Format("Шаблон XML слишком велик: более %d элементов"_w, {kMaxElements}));
        return target->Nodes().AddNode(name, std::string(), ntNode);
    }

    void element(const TXMLNode* c, TXMLNode* target, int depth) const
    {
        const std::string ref = c->GetAttr("ref");
        if (!ref.empty()) {
            TXMLNode* made = add(target, ref);
            if (const TXMLNode* def = schemaDefinition(m_root, "xsd:element", ref))
                expand(def, made, depth + 1);
            return;
        }
        const std::string type = c->GetAttr("type");
        TXMLNode* made = add(target, c->GetAttr("name"));
        if (type.compare(0, 4, "xsd:") == 0)
            return;
        if (type.empty()) {
            expand(c, made, depth + 1);
        } else if (const TXMLNode* def = schemaDefinition(m_root, "xsd:complexType", type)) {
            expand(def, made, depth + 1);
        }
    }

    const TXMLNode* m_root;
    bool m_withOptional;
    mutable int m_made = 0;
};

} // namespace

void ApplyXMLTemplate(const TXMLNode* templ, TXMLNode* target, const std::vector<std::string>& macros,
                      const std::vector<std::string>& values)
{
    if (!templ || !target)
        return;
    // Snapshots first: the template may be the target itself or lie inside it.
    std::vector<std::pair<std::string, std::string>> attrs;
    for (const TXMLNode* attr : templ->Attrs())
        attrs.emplace_back(attr->Name, attr->Value);
    const std::vector<const TXMLNode*> children(templ->Nodes().begin(), templ->Nodes().end());
    for (const auto& [name, value] : attrs)
        target->SetAttr(name, substitute(value, macros, values));
    for (const TXMLNode* t : children) {
        if (t->NodeType != ntNode)
            continue;
        const std::string value = t->GetValue();
        if (!value.empty())
            target->SetNode(t->Name, substitute(value, macros, values));
        if (t->GetCount() > 0)
            ApplyXMLTemplate(t, target->Nodes().GetCreateNode(t->Name), macros, values);
    }
}

std::unique_ptr<TXMLNode> CreateXMLTemplate(const TXMLNode* element, bool withOptional)
{
    if (!element)
        return TXMLNode::Create(std::string_view());
    const TXMLNode* root = element->Root();
    std::unique_ptr<TXMLNode> result = TXMLNode::Create(element->GetAttr("name"), ntNode, nullptr, std::string());
    const std::string type = element->GetAttr("type");
    const TXMLNode* def = element;
    if (!type.empty() && type.compare(0, 4, "xsd:") != 0)
        def = schemaDefinition(root, "xsd:complexType", type);
    if (def)
        TemplateBuilder(root, withOptional).expand(def, result.get(), 1);
    return result;
}

} // namespace lm
