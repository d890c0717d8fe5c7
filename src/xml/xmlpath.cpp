// The path language of TXMLNode: a small subset of XPath for finding, reading and creating nodes.
//
// A path is a list of steps separated by "/": a child name (lookup honours IgnoreCase), "."
// (stay), ".." (parent), "@name" (an attribute; ends the path), or a bracket step
// "name[cond]" where cond is "last()", a 0-based index, or "key=value" with key itself a path
// relative to the child (quotes around value are dropped). An empty name in a bracket step
// means any child, as does "*" with "=". A path starting with "//" or ".//" searches the
// whole tree from its root. Bracket steps compare names exactly and never create nodes.
#include <cctype>
#include <map>
#include <tuple>
#include <utility>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "xml/xmlnode.h"
#include "util/sysutils.h"

namespace lm {

namespace {

// The child selected by a bracket step, or null; skip is set when the condition selects
// nothing to test and the step leaves the node as it is.
TXMLNode* bracketStep(TXMLNode* c, std::string_view step, bool& skip)
{
    const std::size_t open = step.find('[');
    const std::string_view name = step.substr(0, open);
    const std::string_view inside = step.substr(open + 1);
    const std::string condText = Trim(inside.substr(0, inside.find(']')));
    const std::string_view cond = condText;
    skip = false;
    if (cond.empty()) {
        skip = true;
        return c;
    }
    const TXMLNodeList& children = std::as_const(*c).Nodes();
    if (cond == "last()") {
        TXMLNode* found = nullptr;
        for (TXMLNode* child : children)
            if (name.empty() || child->Name == name)
                found = child;
        return found;
    }
    if (std::isdigit(static_cast<unsigned char>(cond[0]))) {
        long long index = 0;
        for (char ch : cond) {
            if (!std::isdigit(static_cast<unsigned char>(ch)) || index > (1LL << 31))
                return nullptr;
            index = index * 10 + (ch - '0');
        }
        for (TXMLNode* child : children)
            if ((name.empty() || child->Name == name) && index-- == 0)
                return child;
        return nullptr;
    }
    const std::size_t eq = cond.find('=');
    if (eq == std::string_view::npos) {
        skip = true;
        return c;
    }
    const std::string_view key = cond.substr(0, eq);
    std::string_view expected = cond.substr(eq + 1);
    if (!expected.empty() && expected.front() == '"') {
        expected.remove_prefix(1);
        if (!expected.empty() && expected.back() == '"')
            expected.remove_suffix(1);
    }
    for (TXMLNode* child : children)
        if ((name.empty() || name == "*" || child->Name == name) && child->GetNode(key) == expected)
            return child;
    return nullptr;
}

// Results of whole-tree searches during one outermost search. A "//" or ".//" step searches
// from the root whatever node it is met at, so its result depends only on the root and the rest
// of the path; remembering it keeps paths that repeat such steps from taking exponential time.
// The tree does not change during a search (nothing is created below a "//").
struct SearchMemo {
    int depth = 0;
    std::map<std::tuple<const TXMLNode*, const char*, std::size_t>, TXMLNode*> results;
};
thread_local SearchMemo memo;

TXMLNode* searchFromRoot(const TXMLNode* root, std::string_view rest)
{
    const auto key = std::make_tuple(root, rest.data(), rest.size());
    if (memo.depth > 0)
        if (auto it = memo.results.find(key); it != memo.results.end())
            return it->second;
    struct Scope {
        Scope() { ++memo.depth; }
        ~Scope()
        {
            if (--memo.depth == 0)
                memo.results.clear();
        }
    } scope;
    TXMLNode* found = TXMLNode::RecursiveFind(root, rest);
    if (memo.depth > 1)
        memo.results.emplace(key, found);
    return found;
}

} // namespace

TXMLNode* TXMLNode::FindPath(std::string_view path, bool create, const std::string& value)
{
    TXMLNode* c = this;
    for (;;) {
        if (path.empty() || !c) {
            if (c && create)
                c->SetValue(value);
            return c;
        }
        if (path.substr(0, 2) == "//")
            return searchFromRoot(c->Root(), path.substr(2));
        if (path.substr(0, 3) == ".//")
            return searchFromRoot(c->Root(), path.substr(2));
        const std::size_t slash = path.find('/');
        const std::string_view step = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (step.empty())
            continue;
        if (step.front() == '@') {
            const std::string_view attr = step.substr(1);
            if (!create)
                return c->AttrNode(attr);
            if (attr.empty())  // a bare "@" names no attribute: nothing is made
                return nullptr;
            c->SetAttr(std::string(attr), value);
            return c;
        }
        if (step == ".")
            continue;
        if (step == "..") {
            c = c->Parent;
            continue;
        }
        if (step.find('[') == std::string_view::npos) {
            TXMLNode* child = std::as_const(*c).Nodes().NodebyName(step);
            if (!child && create)
                child = c->Nodes().AddNode(std::string(step), std::string(), ntNode);
            c = child;
            continue;
        }
        bool skip = false;
        TXMLNode* next = bracketStep(c, step, skip);
        if (!skip)
            c = next;
    }
}

TXMLNode* TXMLNode::NodebyName(std::string_view path, bool create, const std::string& value)
{
    return FindPath(path, create, value);
}

TXMLNode* TXMLNode::NodebyName(std::string_view path) const
{
    // Without create the walk changes nothing.
    return const_cast<TXMLNode*>(this)->FindPath(path, false, std::string());
}

TXMLNode* TXMLNode::NodeByNameEx(std::string_view path) const
{
    TXMLNode* node = NodebyName(path);
    if (!node)
        throw Exception("Раздел \""_w + std::string(path) + "\" не найден!"_w);
    return node;
}

std::string TXMLNode::GetNode(std::string_view path) const
{
    const TXMLNode* node = NodebyName(path);
    return node ? node->GetValue() : std::string();
}

void TXMLNode::SetNode(std::string_view path, const std::string& value)
{
    FindPath(path, true, value);
}

} // namespace lm
