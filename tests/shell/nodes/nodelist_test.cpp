#include "tests/support/nodefakes.h"

#include "shell/nodes/familytable.h"

using namespace nodetest;
using shell::NodeTree;

namespace {

class NodeList : public NodesFixture {};

struct FamilyCase {
    const char* label;
    int family;
    std::int32_t reported;  // state the TEDS window reports (memories)
    const char* idText;     // id node text before " (" & id & ")"
    std::vector<std::string> recordTexts;
    std::vector<std::string> windows;
    std::int32_t state;
};

TEST_F(NodeList, EachFamilyGetsItsRecordsWindowsAndTexts)
{
    const std::vector<FamilyCase> cases = {
        {"thermometer", 0x10, 0, "Thermometer", {"Thermometer"}, {"TemperatureF"}, 5},
        {"switch TEDS", 0x12, 3, "Switch & PROM", {"TEDS", "Switch"}, {"TedsF", "SwitchF"}, 3},
        {"switch state 0", 0x12, 0, "Switch & PROM", {"?", "Switch"}, {"TedsF", "SwitchF"}, 0},
        {"switch node list", 0x12, 4, "Switch & PROM", {"Nodelist", "Switch"}, {"TedsF", "SwitchF"}, 4},
        {"2430 CRC error", 0x14, 2, "PROM & E2-PROM Memory", {"CRC error"}, {"TedsF"}, 2},
        {"2430 state 0", 0x14, 0, "PROM & E2-PROM Memory", {"Unknown TEDS selector"}, {"TedsF"}, 0},
        {"2433 not assigned", 0x23, 1, "E2-PROM Memory", {"memory not assigned"}, {"TedsF"}, 1},
        {"2431 odd state", 0x2D, 7, "E2-PROM Memory", {"?"}, {"TedsF"}, 7},
        {"1kbit ROM", 0x09, 0, "1kbit ROM", {"not supported"}, {"Not_SupportedF"}, 0},
        {"DS2401", 0x81, 0, "DS2401", {"not supported"}, {"Not_SupportedF"}, 0},
        {"DS2502", 0x89, 0, "1kbit ROM", {"DS2502 IEEE 1394 serial no."}, {"Not_SupportedF"}, 0},
        {"unknown family", 0x28, 0, "", {""}, {"Not_SupportedF"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        shell::resetNodesState();
        const std::string id = nodeId(c.family, 5);
        factory.memories[id] = {c.reported, c.reported == 3 ? 20 : -1, "Bridge"};
        const auto index = add(id, c.family);

        EXPECT_EQ(index, idNode(id));
        EXPECT_EQ(text(index), std::string(c.idText) + " (" + id + ")");
        EXPECT_EQ(childTexts(index), c.recordTexts);
        ASSERT_EQ(list().size(), c.windows.size());
        for (std::size_t k = 0; k < list().size(); ++k) {
            EXPECT_EQ(list()[k].obj->name(), c.windows[k]);
            EXPECT_EQ(list()[k].id, id);
            EXPECT_EQ(list()[k].lives, 4);
            EXPECT_EQ(tag(tree().children(index)[k]), std::to_string(k));
        }
        EXPECT_EQ(list()[0].state, c.state);
        EXPECT_EQ(list()[0].family, c.family);
        EXPECT_TRUE(list()[0].aging);
        EXPECT_EQ(tag(index), "0");
        EXPECT_EQ(tag(topOf(id)), "root");
        EXPECT_TRUE(tree().node(topOf(id)).expanded);
    }
}

TEST_F(NodeList, DualSwitchSecondRecordDoesNotAgeAndIsBoundToItsWindow)
{
    const std::string id = nodeId(0x12, 1);
    factory.memories[id] = {3, 300, "Accelerometer"};
    add(id, 0x12);
    ASSERT_EQ(list().size(), 2u);
    const auto& sw = list()[1];
    EXPECT_FALSE(sw.aging);
    EXPECT_EQ(sw.family, 18);
    EXPECT_EQ(sw.state, 5);
    EXPECT_EQ(sw.name, "Switch w. prom (family 12H)");
    EXPECT_EQ(factory.counters.log, (std::vector<std::string>{"TedsF Inititiate 0", "SwitchF Inititiate 1"}));
    // A TEDS with a title names the transducer.
    EXPECT_EQ(text(topOf(id)), "Accelerometer");
    EXPECT_EQ(list()[0].selector, 300);
}

TEST_F(NodeList, MemoryTitleNamesTheTransducerOnlyForATeds)
{
    const std::string teds = nodeId(0x2D, 1), crc = nodeId(0x2D, 2);
    factory.memories[teds] = {3, 40, "Microphone"};
    factory.memories[crc] = {2, 40, "Microphone"};
    add(teds, 0x2D);
    add(crc, 0x2D);
    EXPECT_EQ(text(topOf(teds)), "Microphone");
    EXPECT_EQ(text(topOf(crc)), "New node");
}

TEST_F(NodeList, AdapterIdChipStaysCollapsedAndOnlyTheFirstCounts)
{
    host.ds9097u = true;
    const std::string chip = nodeId(0x09, 1), other = nodeId(0x09, 2);
    add(chip, 0x09);
    add(other, 0x09);
    EXPECT_EQ(text(topOf(chip)), "Dallas DS9097/U");
    EXPECT_EQ(childTexts(idNode(chip)), (std::vector<std::string>{"programming not supported"}));
    EXPECT_FALSE(tree().node(topOf(chip)).expanded);
    EXPECT_EQ(core::coreState().AdapterId9097U, chip);
    EXPECT_EQ(text(topOf(other)), "New node");
    EXPECT_EQ(childTexts(idNode(other)), (std::vector<std::string>{"not supported"}));
    EXPECT_TRUE(tree().node(topOf(other)).expanded);
    EXPECT_EQ(window(0)->familyLabel, "Family code h09");

    // Without its driver item the DS2401 is an ordinary node.
    const std::string usb = nodeId(0x81, 3);
    add(usb, 0x81);
    EXPECT_EQ(text(topOf(usb)), "New node");
    shell::Remove_transducer(usb);
    host.ds9490r = true;
    add(usb, 0x81);
    EXPECT_EQ(text(topOf(usb)), "Dallas DS9490/R");
    EXPECT_EQ(core::coreState().AdapterId9490R, usb);
}

TEST_F(NodeList, SwitchNodeStaysCollapsedAndItsRemovalClearsTheGlobal)
{
    const std::string id = nodeId(0x12, 9);
    core::coreState().SwitchNodeId = id;
    add(id, 0x12);
    EXPECT_FALSE(tree().node(topOf(id)).expanded);
    shell::Remove_transducer(id);
    EXPECT_EQ(core::coreState().SwitchNodeId, "");
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(tree().empty());
}

TEST_F(NodeList, RemovalRenumbersTagsAndDefersWindowDestruction)
{
    const std::string a = nodeId(0x10, 1), b = nodeId(0x12, 2), c = nodeId(0x2D, 3);
    add(a, 0x10);
    add(b, 0x12);
    add(c, 0x2D);
    ASSERT_EQ(list().size(), 4u);
    FakeWindow* gone = window(0);
    shell::Remove_transducer(a);
    ASSERT_EQ(list().size(), 3u);
    EXPECT_EQ(tag(idNode(b)), "0");
    EXPECT_EQ(tag(tree().children(idNode(b))[0]), "0");
    EXPECT_EQ(tag(tree().children(idNode(b))[1]), "1");
    EXPECT_EQ(tag(idNode(c)), "2");
    EXPECT_EQ(tag(tree().children(idNode(c))[0]), "2");
    EXPECT_EQ(list()[0].id, b);

    // The window is hidden at once and destroyed later.
    EXPECT_TRUE(gone->unloaded());
    EXPECT_EQ(factory.counters.destroyed, 0);
    EXPECT_EQ(shell::collectDeferred(), 1);
    EXPECT_EQ(factory.counters.destroyed, 1);
}

TEST_F(NodeList, LookupsOfAMissingId)
{
    const std::string id = nodeId(0x23, 4);
    add(id, 0x23);
    NodeTree::Handle index = 77;
    bool found = true;
    shell::NodeInList("0000000000000023", index, found);
    EXPECT_FALSE(found);
    EXPECT_EQ(shell::GetTRName("0000000000000023"), "Transducer not found");
    EXPECT_EQ(shell::GetTRName(id), "New node");
    shell::UpdateTRName("0000000000000023", "x");
    shell::Remove_transducer("0000000000000023");
    EXPECT_EQ(list().size(), 1u);
    shell::NodeWindow* obj = nullptr;
    EXPECT_FALSE(shell::GetTedsObject("0000000000000023", "TEDS", obj));

    EXPECT_EQ(shell::NodeIndexFromId(id), 0);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(shell::NodeIndexFromId("0000000000000023"), -1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error should not occure: ID not found in Database, please report to ", 0), 0u);
}

TEST_F(NodeList, GetTedsObjectFindsTheRecordNodeByText)
{
    const std::string id = nodeId(0x12, 1);
    factory.memories[id] = {3, 20, "T"};
    add(id, 0x12);
    shell::NodeWindow* obj = nullptr;
    ASSERT_TRUE(shell::GetTedsObject(id, "TEDS", obj));
    EXPECT_EQ(obj, list()[0].obj.get());
    ASSERT_TRUE(shell::GetTedsObject(id, "Switch", obj));
    EXPECT_EQ(obj, list()[1].obj.get());
    EXPECT_FALSE(shell::GetTedsObject(id, "Nodelist", obj));
}

TEST_F(NodeList, NewTransducerIsAllOrNothing)
{
    const std::string id = nodeId(0x12, 1);
    for (const char* kind : {"TedsF", "SwitchF"}) {
        SCOPED_TRACE(kind);
        factory.failKind = kind;
        NodeTree::Handle index = 5;
        EXPECT_THROW(shell::New_Transducer("New node", id, 0x12, index), std::runtime_error);
        EXPECT_EQ(index, NodeTree::None);
        EXPECT_TRUE(list().empty());
        EXPECT_TRUE(tree().empty());
    }
    // A window whose Inititiate fails is taken back too.
    factory.failKind.clear();
    factory.throwInitKind = "SwitchF";
    NodeTree::Handle index = 0;
    EXPECT_THROW(shell::New_Transducer("New node", id, 0x12, index), std::runtime_error);
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(tree().empty());
    shell::collectDeferred();
    EXPECT_EQ(factory.counters.created, 3);
    EXPECT_EQ(factory.counters.destroyed, 3);

    // An id already in the tree leaves the existing node alone.
    factory.throwInitKind.clear();
    add(id, 0x12);
    EXPECT_THROW(shell::New_Transducer("New node", id, 0x12, index), shell::NodeTreeError);
    EXPECT_EQ(list().size(), 2u);
    EXPECT_EQ(tree().count(), 4);
}

TEST_F(NodeList, RecordsWithoutATreeNodeAreRemovedByIndex)
{
    const std::string a = nodeId(0x10, 1), b = nodeId(0x2D, 2);
    add(a, 0x10);
    add(b, 0x2D);
    // The tree lost a's node (the record stays behind).
    tree().remove(topOf(a));
    shell::Remove_transducer(a);
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(list()[0].id, b);
    EXPECT_EQ(tag(idNode(b)), "0");

    add(a, 0x10);
    tree().clear();
    EXPECT_EQ(shell::removeAllTransducers(), 2);
    EXPECT_TRUE(list().empty());
}

TEST_F(NodeList, FamilyCodeLabelAndRecordNames)
{
    EXPECT_EQ(shell::familyRecordName(0x01), "");
    EXPECT_EQ(shell::recordNodeText(0x01, 0), "");
    const std::string id = nodeId(0x01, 1);
    add(id, 0x01);
    EXPECT_EQ(text(idNode(id)), " (" + id + ")");
    EXPECT_EQ(window(0)->familyLabel, "Family code h01");
}

} // namespace

namespace {

TEST_F(NodeList, ReleaseAtProgramEndDestroysEveryWindowAtOnce)
{
    add(nodeId(0x10, 1), 0x10);
    add(nodeId(0x12, 2), 0x12);
    shell::Remove_transducer(nodeId(0x10, 1));
    shell::releaseAllNodes();
    EXPECT_EQ(factory.counters.created, 3);
    EXPECT_EQ(factory.counters.destroyed, 3);
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(tree().empty());
    EXPECT_EQ(shell::deferredCount(), 0);
}

} // namespace
