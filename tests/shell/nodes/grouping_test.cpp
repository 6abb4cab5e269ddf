#include "nodefakes.h"

#include <set>

using namespace nodetest;

namespace {

class Grouping : public NodesFixture {
protected:
    // A transducer: a node-list memory naming a dual switch with a TEDS and a thermometer.
    void SetUp() override
    {
        factory.memories[list_] = {4, 1, "", {sw_, temp_}};
        factory.memories[sw_] = {3, 200, "Bridge sensor"};
    }
    std::string list_ = nodeId(0x2D, 1);
    std::string sw_ = nodeId(0x12, 2);
    std::string temp_ = nodeId(0x10, 3);
};

TEST_F(Grouping, GroupsOnceEveryListedNodeIsPresent)
{
    add(list_, 0x2D);
    add(sw_, 0x12);
    shell::ConcatTransducers();
    // The thermometer is missing: nothing changes, and the list is read again next time.
    EXPECT_EQ(tree().roots().size(), 2u);
    EXPECT_FALSE(list()[0].grouped);
    shell::ConcatTransducers();
    EXPECT_EQ(window(0)->nodeListReads, 2);

    add(temp_, 0x10);
    shell::ConcatTransducers();
    ASSERT_EQ(tree().roots().size(), 1u);
    const auto top = tree().roots()[0];
    EXPECT_EQ(top, topOf(list_));
    EXPECT_EQ(text(top), "Bridge sensor");
    EXPECT_EQ(tree().children(top), (std::vector<shell::NodeTree::Handle>{idNode(list_), idNode(sw_), idNode(temp_)}));
    EXPECT_TRUE(list()[0].grouped);
    EXPECT_TRUE(tree().node(top).expanded);

    // Every record node still names its own record: the switch's second node too.
    std::set<int> seen;
    for (auto S : tree().children(top))
        for (auto R : tree().children(S)) {
            const int k = shell::tagValue(tag(R));
            ASSERT_NE(shell::record(k), nullptr);
            EXPECT_EQ(list()[k].id, shell::record(shell::tagValue(tag(S)))->id);
            EXPECT_TRUE(seen.insert(k).second);
        }
    EXPECT_EQ(seen.size(), list().size());
    const auto& swRecords = tree().children(idNode(sw_));
    ASSERT_EQ(swRecords.size(), 2u);
    EXPECT_EQ(list()[shell::tagValue(tag(swRecords[1]))].name, "Switch w. prom (family 12H)");

    // Grouped once only.
    shell::ConcatTransducers();
    EXPECT_EQ(window(0)->nodeListReads, 3);
}

TEST_F(Grouping, RemovingAMemberRemovesTheGroupAndTheScanRegroups)
{
    for (auto [id, fam] : {std::pair{list_, 0x2D}, {sw_, 0x12}, {temp_, 0x10}})
        bus.plug(id, fam);
    tickScan();
    ASSERT_EQ(tree().roots().size(), 1u);

    shell::Remove_transducer(temp_);
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(tree().empty());
    EXPECT_TRUE(core::coreState().SwitchNodeId.empty());

    tickScan();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_EQ(text(tree().roots()[0]), "Bridge sensor");
    EXPECT_EQ(list().size(), 4u);
}

TEST_F(Grouping, AnIdListedTwiceIsMovedOnce)
{
    factory.memories[list_].nodeList = {temp_, temp_, "0000000000000000"};
    add(list_, 0x2D);
    add(temp_, 0x10);
    // An id not in the tree keeps the group from forming.
    shell::ConcatTransducers();
    EXPECT_EQ(tree().roots().size(), 2u);

    factory.memories[list_].nodeList = {temp_, temp_};
    shell::ConcatTransducers();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_EQ(tree().children(tree().roots()[0]).size(), 2u);
    EXPECT_EQ(tree().count(), 5);
}

TEST_F(Grouping, MovingANodeOutOfAnotherGroupKeepsThatGroupsOtherMembers)
{
    const std::string other = nodeId(0x23, 4);
    factory.memories[other] = {4, 1, "", {temp_}};
    add(other, 0x23);
    add(temp_, 0x10);
    shell::ConcatTransducers();
    ASSERT_EQ(tree().roots().size(), 1u);

    // A second node list names the same thermometer.
    factory.memories[list_].nodeList = {temp_};
    add(list_, 0x2D);
    shell::ConcatTransducers();
    EXPECT_EQ(tree().roots().size(), 2u);
    EXPECT_EQ(topOf(temp_), topOf(list_));
    EXPECT_NE(idNode(other), shell::NodeTree::None);
    // Every record still has its node.
    int recordNodes = 0;
    for (auto h : tree().allNodes())
        if (tree().node(h).key.empty())
            ++recordNodes;
    EXPECT_EQ(recordNodes, static_cast<int>(list().size()));
}

TEST_F(Grouping, ANodeMovedOutOfAGroupCanBeAddedAgainOnceItGoes)
{
    // The node list's own node is named by a second node list.
    const std::string outer = nodeId(0x23, 5);
    factory.memories[list_].nodeList = {temp_};
    factory.memories[outer] = {4, 1, "", {list_}};
    add(list_, 0x2D);
    add(temp_, 0x10);
    shell::ConcatTransducers();
    add(outer, 0x23);
    shell::ConcatTransducers();
    ASSERT_EQ(topOf(list_), topOf(outer));
    const auto rest = topOf(temp_);
    ASSERT_NE(rest, topOf(outer));
    EXPECT_EQ(tree().node(rest).key, "root" + temp_);

    // The outer group goes; the list node is found again and groups its thermometer.
    shell::Remove_transducer(outer);
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_NO_THROW(add(list_, 0x2D));
    shell::ConcatTransducers();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_EQ(topOf(temp_), topOf(list_));
    EXPECT_EQ(list().size(), 2u);
}

TEST_F(Grouping, GroupTitleComesFromTheFirstMemberWithATedsTitle)
{
    factory.memories[list_].nodeList = {temp_, sw_};
    add(list_, 0x2D);
    add(temp_, 0x10);
    add(sw_, 0x12);
    shell::ConcatTransducers();
    EXPECT_EQ(text(topOf(list_)), "Bridge sensor");
}

} // namespace
