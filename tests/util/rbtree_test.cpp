// Tests of TRBTree and TRBTreeObject; the invariant checker runs after every insertion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "util/rbtree.h"
#include "util/rbtreeobject.h"

using namespace lm;

namespace {

template <typename Node>
int height(const Node* node, const Node* nill)
{
    return node == nill ? 0 : 1 + std::max(height(node->Left, nill), height(node->Right, nill));
}

// An entry ordered by its key that counts its destructions.
struct Entry : TDataObject {
    Entry(int key, int& deaths) : key(key), deaths(deaths) {}
    ~Entry() override { ++deaths; }
    int Compare(const TDataObject* other) const override
    {
        const int k = static_cast<const Entry*>(other)->key;
        return key < k ? -1 : key > k ? 1 : 0;
    }
    int key;
    int& deaths;
};

} // namespace

TEST(RBTree, SecondInsertOfAValueReturnsItsNode)
{
    TRBTree tree(16);
    TRBTree::TRBNode* node = tree.InsertNode(Currency::FromRaw(12345));
    EXPECT_TRUE(tree.Inserted());
    EXPECT_EQ(node->Color(), ncBlack);  // the root
    tree.InsertNode(Currency::FromRaw(1));
    EXPECT_EQ(tree.InsertNode(Currency::FromRaw(12345)), node);
    EXPECT_FALSE(tree.Inserted());
    EXPECT_EQ(tree.Count(), 2);
    EXPECT_TRUE(tree.Find(Currency::FromRaw(1)));
    EXPECT_FALSE(tree.Find(Currency::FromRaw(2)));
    EXPECT_EQ(tree.CheckInvariants(), "");
}

TEST(RBTree, AscendingInsertsStayBalancedInTenBlocks)
{
    TRBTree tree(100);
    for (int i = 1; i <= 1000; ++i) {
        tree.InsertNode(Currency::FromInt(i));
        ASSERT_EQ(tree.CheckInvariants(), "") << "after " << i;
    }
    EXPECT_EQ(tree.Count(), 1000);
    EXPECT_EQ(tree.BlockCount(), 10);
    EXPECT_LE(height(tree.Root(), TRBTree::NILL()), 2 * std::log2(1000.0));
    for (int i = 0; i <= 1001; ++i)
        EXPECT_EQ(tree.Find(Currency::FromInt(i)), i >= 1 && i <= 1000) << i;
}

TEST(RBTree, RandomInsertsKeepTheRulesAndMatchASet)
{
    std::mt19937_64 rng(2026);
    for (int round = 0; round < 20; ++round) {
        const int blockSize = 1 + static_cast<int>(rng() % 50);
        const int64_t range = round % 2 ? 200 : 1'000'000'000'000;  // with and without repeats
        TRBTree tree(blockSize);
        std::set<int64_t> model;
        for (int i = 0; i < 600; ++i) {
            const int64_t raw = static_cast<int64_t>(rng() % range) - range / 2;
            const bool added = model.insert(raw).second;
            TRBTree::TRBNode* node = tree.InsertNode(Currency::FromRaw(raw));
            ASSERT_EQ(tree.Inserted(), added);
            ASSERT_EQ(node->Data.Raw(), raw);
            ASSERT_EQ(tree.CheckInvariants(), "") << "round " << round << " insert " << i;
        }
        ASSERT_EQ(tree.Count(), static_cast<int>(model.size()));
        for (int i = 0; i < 200; ++i) {
            const int64_t raw = static_cast<int64_t>(rng() % range) - range / 2;
            ASSERT_EQ(tree.Find(Currency::FromRaw(raw)), model.count(raw) == 1);
        }
    }
}

TEST(RBTree, ClearForgetsEntriesAndReusesTheBlocks)
{
    TRBTree tree(4);
    TRBTree::TRBNode* first = tree.InsertNode(Currency::FromInt(10));
    for (int i = 0; i < 9; ++i)
        tree.InsertNode(Currency::FromInt(i));
    EXPECT_EQ(tree.BlockCount(), 3);
    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.Root(), TRBTree::NILL());
    EXPECT_FALSE(tree.Find(Currency::FromInt(10)));
    EXPECT_EQ(tree.CheckInvariants(), "");
    EXPECT_EQ(tree.InsertNode(Currency::FromInt(77)), first);
    for (int i = 0; i < 11; ++i)
        tree.InsertNode(Currency::FromInt(100 + i));
    EXPECT_EQ(tree.BlockCount(), 3);
    tree.InsertNode(Currency::FromInt(1));
    EXPECT_EQ(tree.BlockCount(), 4);
    EXPECT_EQ(tree.CheckInvariants(), "");
}

TEST(RBTree, CheckerReportsBrokenTrees)
{
    TRBTree tree(8);
    for (int i = 0; i < 20; ++i)
        tree.InsertNode(Currency::FromInt(i));
    TRBTree::TRBNode* root = tree.Root();
    root->SetColor(ncRed);
    EXPECT_EQ(tree.CheckInvariants(), "the root is red");
    root->SetColor(ncBlack);
    std::swap(root->Data, root->Left->Data);
    EXPECT_EQ(tree.CheckInvariants(), "entries are out of order");
    std::swap(root->Data, root->Left->Data);
    TRBTree::TRBNode* leaf = root;
    while (leaf->Left != TRBTree::NILL())
        leaf = leaf->Left;
    leaf->SetColor(leaf->Color() == ncRed ? ncBlack : ncRed);
    EXPECT_NE(tree.CheckInvariants(), "");
}

TEST(RBTree, LargeBlocksWorkLikeSmallOnes)
{
    // Blocks of 2 MB and more come from their own mappings.
    TRBTree tree(100000);
    for (int i = 0; i < 250000; ++i)
        tree.InsertNode(Currency::FromRaw(int64_t{i} * 7919 % 250000));
    EXPECT_EQ(tree.BlockCount(), 3);
    EXPECT_EQ(tree.Count(), 250000);
    EXPECT_EQ(tree.CheckInvariants(), "");
    tree.Clear();
    tree.InsertNode(Currency::FromRaw(5));
    EXPECT_TRUE(tree.Find(Currency::FromRaw(5)));
    EXPECT_FALSE(tree.Find(Currency::FromRaw(6)));
}

TEST(RBTree, BlockSizeBelowOneIsTakenAsOne)
{
    TRBTree tree(0);
    EXPECT_EQ(tree.BlockSize(), 1);
    for (int i = 0; i < 5; ++i)
        tree.InsertNode(Currency::FromInt(i));
    EXPECT_EQ(tree.BlockCount(), 5);
    EXPECT_EQ(tree.CheckInvariants(), "");
}

TEST(RBTreeObject, OwnsInsertedObjectsAndFreesThemOnce)
{
    int deaths = 0;
    std::vector<int> keys(300);
    for (int i = 0; i < 300; ++i)
        keys[i] = (i * 7919) % 300;
    {
        TRBTreeObject tree(32);
        for (int key : keys) {
            tree.InsertNode(new Entry(key, deaths));
            ASSERT_EQ(tree.CheckInvariants(), "");
        }
        Entry probe(150, deaths);
        EXPECT_EQ(static_cast<Entry*>(tree.Find(&probe))->key, 150);
        auto* twin = new Entry(150, deaths);
        TRBTreeObject::TRBNode* node = tree.InsertNode(twin);
        EXPECT_FALSE(tree.Inserted());
        EXPECT_NE(node->Data, twin);
        delete twin;  // not taken: still the caller's
        Entry absent(300, deaths);
        EXPECT_EQ(tree.Find(&absent), nullptr);
        EXPECT_TRUE(TRBTreeObject::CompLT(&probe, &absent));
        EXPECT_TRUE(TRBTreeObject::CompEQ(&probe, node->Data));
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 1 + 300 + 2);  // the twin, the entries, the two probes
}

TEST(RBTreeObject, ClearLeavesObjectsToTheCaller)
{
    int deaths = 0;
    Entry a(1, deaths);
    Entry b(2, deaths);
    {
        TRBTreeObject tree(2);
        tree.InsertNode(&a);
        tree.InsertNode(&b);
        tree.Clear();
        EXPECT_EQ(tree.Find(&a), nullptr);
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 0);  // cleared entries are not freed by the destructor either
}
