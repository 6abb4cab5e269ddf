#include "shell/nodes/nodetree.h"

#include <gtest/gtest.h>

using shell::NodeTree;

namespace {

struct Recorder final : NodeTree::Listener {
    void nodeAdded(NodeTree::Handle h) override { events.push_back("add " + std::to_string(h)); }
    void nodeRemoved(NodeTree::Handle h) override { events.push_back("remove " + std::to_string(h)); }
    void nodeChanged(NodeTree::Handle h) override { events.push_back("change " + std::to_string(h)); }
    void nodeMoved(NodeTree::Handle h) override { events.push_back("move " + std::to_string(h)); }
    void treeCleared() override { events.push_back("clear"); }
    std::vector<std::string> events;
};

TEST(NodeTree, KeysAreUniqueAndFreedWithTheirBranch)
{
    NodeTree t;
    const auto top = t.add(NodeTree::None, "rootA", "New node");
    const auto id = t.add(top, "idA", "");
    t.add(id, "", "TEDS");
    t.add(id, "", "Switch");  // nodes without a key do not clash
    EXPECT_THROW(t.add(NodeTree::None, "idA", "again"), shell::NodeTreeError);
    EXPECT_THROW(t.add(999, "x", ""), shell::NodeTreeError);
    EXPECT_EQ(t.findKey("idA"), id);
    EXPECT_EQ(t.count(), 4);

    t.remove(top);
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(t.findKey("idA"), NodeTree::None);
    EXPECT_NO_THROW(t.add(NodeTree::None, "idA", ""));
    t.remove(top);  // gone already: nothing happens
}

TEST(NodeTree, MoveKeepsHandlesAndOrder)
{
    NodeTree t;
    Recorder rec;
    t.setListener(&rec);
    const auto a = t.add(NodeTree::None, "rootA", "A");
    const auto aid = t.add(a, "idA", "a");
    const auto b = t.add(NodeTree::None, "rootB", "B");
    const auto bid = t.add(b, "idB", "b");
    t.move(bid, a);
    EXPECT_EQ(t.children(a), (std::vector<NodeTree::Handle>{aid, bid}));
    EXPECT_TRUE(t.children(b).empty());
    EXPECT_EQ(t.parent(bid), a);
    EXPECT_EQ(rec.events.back(), "move " + std::to_string(bid));
    EXPECT_THROW(t.move(a, aid), shell::NodeTreeError);  // into its own branch
    EXPECT_EQ(t.allNodes(), (std::vector<NodeTree::Handle>{a, aid, bid, b}));
}

TEST(NodeTree, SetKeyMovesTheKeyOrRefusesOneInUse)
{
    NodeTree t;
    const auto a = t.add(NodeTree::None, "rootA", "");
    t.add(NodeTree::None, "rootB", "");
    EXPECT_THROW(t.setKey(a, "rootB"), shell::NodeTreeError);
    EXPECT_EQ(t.findKey("rootA"), a);
    t.setKey(a, "rootC");
    EXPECT_EQ(t.findKey("rootA"), NodeTree::None);
    EXPECT_EQ(t.findKey("rootC"), a);
    t.setKey(a, "");
    EXPECT_EQ(t.findKey("rootC"), NodeTree::None);
    EXPECT_NO_THROW(t.add(NodeTree::None, "rootA", ""));
}

TEST(NodeTree, EnsureVisibleExpandsTheAncestorsOnly)
{
    NodeTree t;
    const auto top = t.add(NodeTree::None, "r", "");
    const auto id = t.add(top, "i", "");
    const auto rec = t.add(id, "", "");
    t.ensureVisible(rec);
    EXPECT_TRUE(t.node(top).expanded);
    EXPECT_TRUE(t.node(id).expanded);
    EXPECT_FALSE(t.node(rec).expanded);
}

TEST(NodeTree, TagValueReadsLeadingDigits)
{
    EXPECT_EQ(shell::tagValue("root"), 0);
    EXPECT_EQ(shell::tagValue(""), 0);
    EXPECT_EQ(shell::tagValue("12"), 12);
    EXPECT_EQ(shell::tagValue("7x"), 7);
}

} // namespace
