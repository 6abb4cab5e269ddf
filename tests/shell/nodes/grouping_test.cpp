#include "tests/support/nodefakes.h"

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

// The scan keeps an index of the node-list records it tries; these are the moments it
// could go stale.

TEST_F(Grouping, AGroupWhoseMemberLeftTheBusFormsAgainWhenItIsBack)
{
    for (auto [id, fam] : {std::pair{list_, 0x2D}, {sw_, 0x12}, {temp_, 0x10}})
        bus.plug(id, fam);
    tickScan();
    ASSERT_EQ(tree().roots().size(), 1u);

    bus.unplug(temp_);
    for (int pass = 0; pass < 4 && !list().empty() && tree().roots().size() == 1u; ++pass)
        tickScan();
    // The thermometer ran out of lives: the group went with it; the others are back alone.
    EXPECT_EQ(idNode(temp_), shell::NodeTree::None);
    EXPECT_EQ(tree().roots().size(), 2u);
    EXPECT_EQ(list().size(), 3u);
    const int reads = window(0)->nodeListReads;
    tickScan();
    EXPECT_GT(window(0)->nodeListReads, reads);  // tried again at every step

    bus.plug(temp_, 0x10);
    tickScan();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_EQ(topOf(temp_), topOf(list_));
    EXPECT_EQ(text(tree().roots()[0]), "Bridge sensor");
}

// A TEDS window stores the selector it read into its record at any time (a read job):
// a node list that turns up in a record the scan already knew is grouped at the next step.
TEST_F(Grouping, ANodeListStoredIntoAKnownRecordIsTriedAtTheNextStep)
{
    factory.memories[list_].selector = -1;
    add(list_, 0x2D);
    add(sw_, 0x12);
    add(temp_, 0x10);
    shell::ConcatTransducers();
    EXPECT_EQ(tree().roots().size(), 3u);
    EXPECT_EQ(window(0)->nodeListReads, 0);

    shell::record(0)->selector = 1;
    shell::ConcatTransducers();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_TRUE(list()[0].grouped);

    // A record that no longer holds a node list is not read for one.
    const std::string other = nodeId(0x23, 6);
    factory.memories[other] = {4, 1, "", {nodeId(0x10, 7)}};
    add(other, 0x23);
    shell::ConcatTransducers();
    const int k = shell::NodeIndexFromId(other);
    EXPECT_EQ(window(k)->nodeListReads, 1);
    shell::record(k)->selector = 300;
    shell::ConcatTransducers();
    EXPECT_EQ(window(k)->nodeListReads, 1);
}

// Removing a lower record moves the others down: the index follows the records.
TEST_F(Grouping, ANodeListRecordMovedDownByARemovalIsStillGrouped)
{
    const std::string before = nodeId(0x01, 8);
    add(before, 0x01);
    add(list_, 0x2D);
    add(sw_, 0x12);
    shell::ConcatTransducers();
    EXPECT_EQ(window(1)->nodeListReads, 1);
    shell::Remove_transducer(before);
    ASSERT_EQ(list()[0].id, list_);

    add(temp_, 0x10);
    shell::ConcatTransducers();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_TRUE(list()[0].grouped);
    EXPECT_EQ(window(0)->nodeListReads, 2);
}

// With several node lists ready the first in the tree is grouped first; a transducer that
// went and came back comes last.
TEST_F(Grouping, SeveralReadyGroupsFormOnePerStepInTreeOrder)
{
    const std::string a = nodeId(0x23, 10), aMember = nodeId(0x10, 11);
    const std::string b = nodeId(0x23, 12), bMember = nodeId(0x10, 13);
    factory.memories[a] = {4, 1, "", {aMember}};
    factory.memories[b] = {4, 1, "", {bMember}};
    add(a, 0x23);
    add(b, 0x23);
    shell::ConcatTransducers();  // neither is complete
    shell::Remove_transducer(a);
    add(a, 0x23);
    add(aMember, 0x10);
    add(bMember, 0x10);

    shell::ConcatTransducers();
    EXPECT_EQ(topOf(bMember), topOf(b));
    EXPECT_NE(topOf(aMember), topOf(a));
    shell::ConcatTransducers();
    EXPECT_EQ(topOf(aMember), topOf(a));
    EXPECT_EQ(tree().roots().size(), 2u);
}

// Nested groups leave a node list first in a top-level node that comes before the
// top-level nodes of records made earlier: tree order decides, not record order.
TEST_F(Grouping, ReadyGroupsFormInTreeOrderNotInRecordOrder)
{
    const std::string p = nodeId(0x23, 20), s = nodeId(0x23, 21), r = nodeId(0x23, 22), o = nodeId(0x23, 23);
    const std::string sMember = nodeId(0x10, 24), rMember = nodeId(0x10, 25);
    factory.memories[p] = {4, 1, "", {r}};
    factory.memories[s] = {4, 1, "", {sMember}};
    factory.memories[r] = {4, 1, "", {rMember}};
    factory.memories[o] = {4, 1, "", {p}};
    add(p, 0x23);
    add(s, 0x23);
    add(r, 0x23);
    shell::ConcatTransducers();  // p groups r
    add(o, 0x23);
    shell::ConcatTransducers();  // s is not complete; o takes p out of p's top-level node
    ASSERT_EQ(tree().firstChild(topOf(r)), idNode(r));
    ASSERT_EQ(tree().roots().front(), topOf(r));

    add(sMember, 0x10);
    add(rMember, 0x10);
    shell::ConcatTransducers();
    EXPECT_EQ(topOf(rMember), topOf(r));
    EXPECT_NE(topOf(sMember), topOf(s));
    shell::ConcatTransducers();
    EXPECT_EQ(topOf(sMember), topOf(s));
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
