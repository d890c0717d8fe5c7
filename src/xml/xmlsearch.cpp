// TXMLNode searches over the tree, links between trees, and the sorts of a node's children.
#include "xml/xmlnode.h"

#include <utility>

#include "util/strings.h"
#include "util/sysutils.h"
#include "util/qstr.h"

namespace lm {

TXMLNode* TXMLNode::NodebyAttr(std::string_view attr, std::string_view value) const
{
    for (TXMLNode* child : Nodes())
        if (child->GetAttr(attr) == value)
            return child;
    return nullptr;
}

std::string TXMLNode::FullName(std::string_view separator, std::string_view) const
{
    std::vector<const TXMLNode*> chain;
    for (const TXMLNode* n = this; n; n = n->Parent)
        chain.push_back(n);
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin())
            out.append(separator);
        out.append((*it)->Name);
    }
    return out;
}

TXMLNode* TXMLNode::Root() const
{
    const TXMLNode* n = this;
    while (n->Parent)
        n = n->Parent;
    return const_cast<TXMLNode*>(n);
}

TXMLNode* TXMLNode::NextNode() const
{
    if (!Parent)
        return nullptr;
    const TXMLNodeList& siblings = std::as_const(*Parent).Nodes();
    const int index = siblings.IndexOf(this);
    if (index < 0 || index + 1 >= siblings.Count())
        return nullptr;
    return siblings.GetNode(index + 1);
}

TXMLNode* TXMLNode::NextSibling() const
{
    if (GetCount() > 0)
        return Nodes().First();
    for (const TXMLNode* n = this; n; n = n->Parent)
        if (TXMLNode* next = n->NextNode())
            return next;
    return nullptr;
}

TXMLNode* TXMLNode::FindNode(std::string_view name, std::string_view attr, std::string_view value) const
{
    if (TXMLNode* found = Nodes().NodebyNameAttr(name, attr, value))
        return found;
    for (const TXMLNode* child : Nodes())
        if (TXMLNode* found = child->FindNode(name, attr, value))
            return found;
    return nullptr;
}

TXMLNode* TXMLNode::RecursiveFind(const TXMLNode* node, std::string_view path)
{
    if (!node)
        return nullptr;
    if (TXMLNode* found = node->NodebyName(path))
        return found;
    for (const TXMLNode* child : node->Nodes())
        if (TXMLNode* found = RecursiveFind(child, path))
            return found;
    return nullptr;
}

TXMLNode* TXMLNode::FindNodebyAttr(const TXMLNode* node, std::string_view attr, std::string_view value)
{
    if (!node)
        return nullptr;
    for (TXMLNode* child : node->Nodes()) {
        if (child->GetAttr(attr) == value)
            return child;
        if (TXMLNode* found = FindNodebyAttr(child, attr, value))
            return found;
    }
    return nullptr;
}

void TXMLNode::NodesToStrings(std::string_view name, std::string_view attr, TStrings& list) const
{
    list.Clear();
    for (const TXMLNode* child : Nodes())
        if (child->Name == name)
            list.Add(child->GetAttr(attr));
}

std::string TXMLNode::UnionNodeValues(std::string_view name, std::string_view attr, std::string_view separator) const
{
    std::string out;
    for (const TXMLNode* child : Nodes()) {
        if (!name.empty() && child->Name != name)
            continue;
        const std::string v = attr.empty() ? child->GetValue() : child->GetAttr(attr);
        if (v.empty())
            continue;
        out += v;
        out.append(separator);
    }
    out.resize(out.size() >= separator.size() ? out.size() - separator.size() : 0);
    return Trim(out);
}

void TXMLNode::SetLinks(std::string_view name, std::string_view attr, const TXMLNode* target, std::string_view targetAttr)
{
    for (TXMLNode* child : Nodes()) {
        if (child->Name == name) {
            const std::string v = child->GetAttr(attr);
            if (!v.empty())
                child->Link = target ? target->NodebyAttr(targetAttr, v) : nullptr;
        }
        child->SetLinks(name, attr, target, targetAttr);
    }
}

void TXMLNode::SortBy(std::string_view keys, bool ascending, bool byNode, bool asInteger)
{
    std::vector<std::string> names;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= keys.size(); ++i) {
        if (i == keys.size() || keys[i] == ',' || keys[i] == ';') {
            if (i > from)
                names.emplace_back(keys.substr(from, i - from));
            from = i + 1;
        }
    }
    auto key = [&](const TXMLNode* n, const std::string& k) { return byNode ? n->GetNode(k) : n->GetAttr(k); };
    Nodes().Sort(
        [&](const TXMLNode* a, const TXMLNode* b) {
            for (const std::string& k : names) {
                int r;
                if (asInteger) {
                    // Compared, not subtracted: a difference of two ints can overflow.
                    const int x = StrToInt(key(a, k)), y = StrToInt(key(b, k));
                    r = (x > y) - (x < y);
                } else {
                    r = Q_CompText(key(a, k), key(b, k));
                }
                if (r != 0)
                    return r;
            }
            return 0;
        },
        ascending);
}

void TXMLNode::SortbyAttr(std::string_view keys, bool ascending) { SortBy(keys, ascending, false, false); }
void TXMLNode::SortbyIntAttr(std::string_view keys, bool ascending) { SortBy(keys, ascending, false, true); }
void TXMLNode::SortbyNode(std::string_view keys, bool ascending) { SortBy(keys, ascending, true, false); }
void TXMLNode::SortbyIntNode(std::string_view keys, bool ascending) { SortBy(keys, ascending, true, true); }

} // namespace lm
