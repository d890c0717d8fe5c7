// Tree operations: list lookups and errors, searches, links, moves, replacement and sorting.
#include <gtest/gtest.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/fastlist.h"
#include "xml/xmlnode.h"

#include "../util/messageof.h"

using namespace lm;

namespace {

std::string names(const TXMLNode& n)
{
    std::string out;
    for (const TXMLNode* c : n.Nodes()) {
        if (!out.empty())
            out += ',';
        out += c->Name.empty() ? c->GetAttr("id") : c->Name;
    }
    return out;
}

std::string ids(const TXMLNode& n)
{
    std::string out;
    for (const TXMLNode* c : n.Nodes()) {
        if (!out.empty())
            out += ',';
        out += c->GetAttr("id");
    }
    return out;
}

} // namespace

TEST(XmlTree, ListLookupsAndTheListError)
{
    auto r = TXMLNode::Create("<r><a id=\"1\" k=\"x\"/><a id=\"2\"/><b id=\"1\" k=\"y\"/></r>");
    TXMLNodeList& nodes = r->Nodes();
    EXPECT_EQ(nodes.NodebyNameAttr("a", "id", "2"), nodes.GetNode(1));
    EXPECT_EQ(nodes.NodebyNameAttr("a", "k", ""), nodes.GetNode(1));  // lacking the attribute matches
    EXPECT_EQ(nodes.NodebyNameAttr("A", "id", "2"), nullptr);
    EXPECT_EQ(nodes.NodebyAttrs({"id", "k"}, {"1", "y"}), nodes.GetNode(2));
    EXPECT_EQ(nodes.NodebyAttrs({"id", "k"}, {"2", ""}), nodes.GetNode(1));
    EXPECT_EQ(test::messageOf([&] { nodes.NodebyAttrs({"id"}, {}); }),
              std::string("Количество атрибутов и значений различно"_w));
    EXPECT_EQ(test::messageOf<EListError>([&] { nodes.GetNode(5); }), "XML List Error:List index out of bounds (5)");
    EXPECT_THROW(r->DeleteNode(-1), EListError);
    EXPECT_EQ(nodes.GetCreateNode("b"), nodes.GetNode(2));
    EXPECT_EQ(nodes.GetCreateNode("c")->Parent, r.get());
    EXPECT_EQ(names(*r), "a,a,b,c");
}

TEST(XmlTree, AddSetValueStoresTheValueByKind)
{
    auto r = TXMLNode::Create("r", ntNode, nullptr, "");
    EXPECT_EQ(r->Nodes().AddSetValue("e", "v", ntNode)->Code(), "<e>v</e>");
    EXPECT_EQ(r->Nodes().AddSetValue("e", "", ntNode)->GetCount(), 0);
    EXPECT_EQ(r->Nodes().AddSetValue("", "t", ntText)->Value, "t");
    EXPECT_EQ(r->Nodes().AddSetValue("#comment", "c", ntComment)->Value, "");
}

TEST(XmlTree, DeleteNodesKeepsOrDropsByName)
{
    auto r = TXMLNode::Create("<r><a/><b/><a/><c/></r>");
    r->Nodes().DeleteNodes("a", false);
    EXPECT_EQ(names(*r), "b,c");
    r->Nodes().DeleteNodes("b", true);
    EXPECT_EQ(names(*r), "b");
    r->Nodes().DeleteNode(r->GetNodebyIndex(0));
    EXPECT_EQ(r->GetCount(), 0);
}

TEST(XmlTree, SearchesWalkTheTreeInDocumentOrder)
{
    auto r = TXMLNode::Create("<r><a id=\"1\"><b id=\"2\"><c id=\"3\"/></b></a><d id=\"4\"><c id=\"5\"/></d></r>");
    const TXMLNode* c3 = r->NodebyName("a/b/c");
    EXPECT_EQ(c3->FullName("/"), "r/a/b/c");
    EXPECT_EQ(c3->Root(), r.get());
    EXPECT_EQ(c3->NextSibling()->GetAttr("id"), "4");  // up to the nearest ancestor with a sibling
    EXPECT_EQ(r->NextSibling()->GetAttr("id"), "1");
    EXPECT_EQ(r->NodebyName("d/c")->NextSibling(), nullptr);
    EXPECT_EQ(r->NextNode(), nullptr);
    EXPECT_EQ(r->FindNode("c", "id", "5")->GetAttr("id"), "5");
    EXPECT_EQ(r->FindNode("c", "id", "9"), nullptr);
    EXPECT_EQ(TXMLNode::FindNodebyAttr(r.get(), "id", "3"), c3);
    EXPECT_EQ(TXMLNode::RecursiveFind(r.get(), "c")->GetAttr("id"), "3");
    EXPECT_EQ(r->NodebyAttr("id", "4")->Name, "d");
    TFastList list;
    list.Add("old");
    r->NodebyName("a/b")->NodesToStrings("c", "id", list);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.Get(0), "3");
}

TEST(XmlTree, UnionNodeValuesSkipsEmptyValues)
{
    auto r = TXMLNode::Create("<r><i id=\"1\">x</i><i/><i id=\"3\">z</i><j id=\"4\"/></r>");
    EXPECT_EQ(r->UnionNodeValues("", "id", ", "), "1, 3, 4");
    EXPECT_EQ(r->UnionNodeValues("i", "id", ", "), "1, 3");
    EXPECT_EQ(r->UnionNodeValues("i", "", ";"), "x;z");
    EXPECT_EQ(r->UnionNodeValues("none", "id", ", "), "");
}

TEST(XmlTree, SetLinksPointsEachReferenceAtItsTarget)
{
    auto doc = TXMLNode::Create("<r><ref to=\"b\"/><g><ref to=\"a\"/><ref to=\"zz\"/><ref/></g></r>");
    auto targets = TXMLNode::Create("<t><x key=\"a\"/><x key=\"b\"/></t>");
    doc->SetLinks("ref", "to", targets.get(), "key");
    EXPECT_EQ(doc->GetNodebyIndex(0)->Link, targets->GetNodebyIndex(1));
    EXPECT_EQ(doc->NodebyName("g/[0]")->Link, targets->GetNodebyIndex(0));
    EXPECT_EQ(doc->NodebyName("g/[1]")->Link, nullptr);
    EXPECT_EQ(doc->NodebyName("g/[2]")->Link, nullptr);
}

TEST(XmlTree, MoveNodeSwapsNeighboursWithinBounds)
{
    auto r = TXMLNode::Create("<r><a/><b/><c/></r>");
    EXPECT_FALSE(r->MoveNode(r->GetNodebyIndex(0), false));
    EXPECT_FALSE(r->MoveNode(r->GetNodebyIndex(2), true));
    EXPECT_EQ(names(*r), "a,b,c");
    EXPECT_TRUE(r->MoveNode(r->GetNodebyIndex(0), true));
    EXPECT_EQ(names(*r), "b,a,c");
    EXPECT_TRUE(r->MoveNode(r->GetNodebyIndex(2), false));
    EXPECT_EQ(names(*r), "b,c,a");
    auto other = TXMLNode::Create("<o/>");
    EXPECT_EQ(test::messageOf([&] { r->MoveNode(other.get(), true); }),
              std::string("Узел для перемещения не найден"_w));
}

TEST(XmlTree, ReplaceAndMoveChildrenKeepParentsRight)
{
    auto r = TXMLNode::Create("<r><a/><b/></r>");
    auto fresh = TXMLNode::Create("<n/>");
    TXMLNode* n = fresh.get();
    r->ReplaceNode(r->GetNodebyIndex(0), std::move(fresh));
    EXPECT_EQ(names(*r), "n,b");
    EXPECT_EQ(n->Parent, r.get());
    auto stray = TXMLNode::Create("<s/>");
    auto outsider = TXMLNode::Create("<o/>");
    EXPECT_EQ(test::messageOf([&] { r->ReplaceNode(outsider.get(), std::move(stray)); }), "Replaced node not found");
    EXPECT_NE(stray, nullptr);  // still the caller's

    auto target = TXMLNode::Create("<t><x/></t>");
    r->MoveChildsTo(target.get());
    EXPECT_EQ(r->GetCount(), 0);
    EXPECT_EQ(names(*target), "x,n,b");
    EXPECT_EQ(target->GetNodebyIndex(2)->Parent, target.get());
    // Into the own subtree would make a cycle: refused, nothing moved.
    TXMLNode* x = target->GetNodebyIndex(0);
    EXPECT_THROW(target->MoveChildsTo(x), Exception);
    EXPECT_EQ(names(*target), "x,n,b");
}

TEST(XmlTree, SortsByTextIgnoringCaseAndByIntegerKeys)
{
    auto r = TXMLNode::Create(
        "<r><i id=\"1\" s=\"b\" n=\"2000000000\"><k>10</k></i><i id=\"2\" s=\"A\" n=\"-2000000000\"><k>9</k></i>"
        "<i id=\"3\" s=\"a\" n=\"0\"><k>9</k></i><i id=\"4\" s=\"Б\" n=\"5\"><k>1</k></i></r>"_w);
    r->SortbyIntAttr("n", true);
    EXPECT_EQ(ids(*r), "2,3,4,1");  // compared, not subtracted: no overflow
    r->SortbyIntAttr("n", false);
    EXPECT_EQ(ids(*r), "1,4,3,2");
    r->SortbyIntNode("k;@id", true);
    EXPECT_EQ(ids(*r), "4,2,3,1");
    r->SortbyNode("k", true);
    EXPECT_EQ(ids(*r).substr(0, 4), "4,1,");  // "10" before "9" as text
    r->SortbyAttr("s,id", true);
    EXPECT_EQ(ids(*r), "2,3,1,4");
    r->SortbyAttr("s,id", false);
    EXPECT_EQ(ids(*r), "4,1,3,2");
    EXPECT_THROW(r->SortbyIntAttr("s", true), EConvertError);
}

TEST(XmlTree, SortSurvivesAComparisonThatContradictsItself)
{
    auto r = TXMLNode::Create("<r><a/><b/><c/><d/><e/><f/><g/></r>");
    r->Nodes().Sort([](const TXMLNode*, const TXMLNode*) { return -1; }, true);
    EXPECT_EQ(r->GetCount(), 7);
    r->Nodes().Sort([](const TXMLNode*, const TXMLNode*) { return 1; }, false);
    EXPECT_EQ(r->GetCount(), 7);
}
