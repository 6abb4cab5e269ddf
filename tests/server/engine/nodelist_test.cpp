// The node-list commands of a request against the simulated network: the generator's
// list built and listed, its write into the one device present (refused with none,
// several, without VERSION or when too long), and the check of a stored list.

#include "serverfixture.h"

#include "sim/onewire/simscratcheeprom.h"

#include <algorithm>

namespace {

using namespace server_test;
using platform::sim::RomCode;
using Lines = std::vector<std::string>;

const std::string k4k = RomCode::make(0x23, 0x104).nodeId();
const std::string k1k = RomCode::make(0x2D, 0x105).nodeId();
const std::string kA = RomCode::make(0x12, 0x201).nodeId();
const std::string kB = RomCode::make(0x23, 0x202).nodeId();

class NodeListRequest : public ServerTest {
protected:
    void SetUp() override { startServer(); }
    bool has(const Lines& lines, const std::string& line) const
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    platform::sim::SimScratchEeprom& eeprom(const std::string& id)
    {
        return dynamic_cast<platform::sim::SimScratchEeprom&>(*node(id));
    }
};

TEST_F(NodeListRequest, ListIsBuiltClearedAndListed)
{
    load("node 23:000000000104\ntds demo-bridge.tds\n");
    ASSERT_TRUE(request({"REQUESTDATETIME n1", "CLEARNODELIST", "ADDNODE " + kA, "ADDNODE " + kB, "LISTNODELIST"}));
    EXPECT_EQ(client.responseLines(), (Lines{"Requestdatetime n1", kA, kB}));
    EXPECT_EQ(logLines(), (Lines{"Request (n1) for ListNodeList : NOW", "Nodes in NodeList:", kA, kB,
                                 "Request (n1)  completed succesfully"}));

    // READNODES takes the network's devices instead; ADDNODES appends them.
    engine.cbClearLog_Click();
    ASSERT_TRUE(request({"READNODES", "ADDNODES", "LISTNODELIST"}));
    EXPECT_EQ(client.responseLines(), (Lines{k4k, k4k}));

    engine.cbClearLog_Click();
    ASSERT_TRUE(request({"CLEARNODELIST", "LISTNODELIST"}));
    EXPECT_TRUE(client.responseLines().empty());
    EXPECT_EQ(logLines(), (Lines{"Request () for ListNodeList : NOW", "Nodes in NodeList:", "Nodelist empty",
                                 "Request ()  completed succesfully"}));
}

TEST_F(NodeListRequest, WriteNeedsTheVersionAndExactlyOneDevice)
{
    // Without VERSION nothing is written.
    load("node 23:000000000104\ntds demo-bridge.tds\nnode 2D:000000000105\ntds demo-bridge.tds\n");
    auto other = net->removeNode(RomCode::make(0x2D, 0x105));
    const auto before = eeprom(k4k).memory();
    ASSERT_TRUE(request({"ADDNODE " + kA, "WRITENODELIST"}));
    EXPECT_EQ(client.responseLines(),
              (Lines{"Request () for WriteNodelist : NOW", "Error: only IEEE P1451.4 V0.9x is supported"}));
    EXPECT_EQ(logLines().back(), "Request ()  failed");
    EXPECT_EQ(eeprom(k4k).memory(), before);

    // Two devices: refused, nothing written into either.
    net->addNode(other);
    engine.cbClearLog_Click();
    ASSERT_TRUE(request({"VERSION V0.9x", "CLEARNODELIST", "ADDNODE " + kA, "WRITENODELIST"}));
    EXPECT_EQ(client.responseLines(),
              (Lines{"Request () for WriteNodelist : NOW", "Error: Request not completed successfully"}));
    EXPECT_TRUE(has(logLines(), "MsgBox suppressed: Error: More than one device present on the microLAN"));
    EXPECT_EQ(eeprom(k4k).memory(), before);
    EXPECT_EQ(eeprom(k1k).copies(), 0);

    // None.
    net->removeNode(RomCode::make(0x23, 0x104));
    net->removeNode(RomCode::make(0x2D, 0x105));
    engine.cbClearLog_Click();
    ASSERT_TRUE(request({"VERSION V0.9x", "WRITENODELIST"}));
    EXPECT_EQ(client.responseLines().back(), "Error: Request not completed successfully");
    EXPECT_TRUE(has(logLines(), "MsgBox suppressed: Error: No device present on the microLAN"));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(NodeListRequest, WrittenListIsShownAndChecked)
{
    load("node 23:000000000104\ntds demo-bridge.tds\n");
    ASSERT_TRUE(request({"REQUESTDATETIME w", "VERSION V0.9X", "CLEARNODELIST", "ADDNODE " + kA, "ADDNODE " + kB,
                         "WRITENODELIST"}));
    EXPECT_EQ(client.responseLines(), (Lines{"Request (w) for WriteNodelist : NOW", "Request completed successfully"}));
    EXPECT_EQ(logLines().back(), "Request (w)  completed succesfully");

    engine.cbClearLog_Click();
    ASSERT_TRUE(request({"NODEID " + k4k, "SHOWNODELIST"}));
    const Lines shown = client.responseLines();
    ASSERT_EQ(shown.size(), 8u) << testing::PrintToString(shown);
    EXPECT_EQ(shown[0], "Request () for ShowNodelist : NOW");
    EXPECT_TRUE(shown[1].starts_with("Template: ")) << shown[1];
    EXPECT_EQ(Lines(shown.begin() + 2, shown.end()),
              (Lines{"No. of nodes in transducer: 3", "Node no. 1,  Node ID: " + k4k + "   (Present device)",
                     "Node no. 2,  Node ID: " + kA, "Node no. 3,  Node ID: " + kB, "CRC ok", "Nodelist ok"}));
    EXPECT_EQ(logLines().back(), "Request ()  completed succesfully");

    // A node that holds a TEDS, not a list.
    load("node 2D:000000000105\ntds demo-bridge.tds\n");
    net->removeNode(RomCode::make(0x23, 0x104));
    ASSERT_TRUE(request({"NODEID " + k1k, "SHOWNODELIST"}));
    EXPECT_EQ(client.responseLines().back(), "Error: Nodelist not found in present device: " + k1k);
}

TEST_F(NodeListRequest, CountBeyondTheImageIsAnErrorNotARead)
{
    load("node 23:000000000104\ntds demo-bridge.tds\n");
    ASSERT_TRUE(request({"VERSION V0.9X", "CLEARNODELIST", "ADDNODE " + kA, "WRITENODELIST"}));
    ASSERT_EQ(client.responseLines().back(), "Request completed successfully");
    // The stored count byte names 255 nodes: the image holds far fewer.
    auto& mem = eeprom(k4k).memory();
    const auto at = std::find(mem.begin(), mem.end(), std::uint8_t{2});
    ASSERT_NE(at, mem.end());
    *at = 0xFF;
    ASSERT_TRUE(request({"NODEID " + k4k, "SHOWNODELIST"}));
    const Lines shown = client.responseLines();
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown.back().starts_with("Error: Nodelist names 255 nodes, the memory holds at most "))
        << testing::PrintToString(shown);
    EXPECT_EQ(logLines().back(), "Request ()  failed");
}

TEST_F(NodeListRequest, ListLongerThanTheDeviceHoldsIsNotWritten)
{
    load("node 2D:000000000105\ntds demo-bridge.tds\n");
    const auto before = eeprom(k1k).memory();
    std::vector<std::string> lines{"VERSION V0.9X", "CLEARNODELIST"};
    for (int i = 0; i < 40; ++i)
        lines.push_back("ADDNODE " + RomCode::make(0x12, 0x300 + static_cast<std::uint64_t>(i)).nodeId());
    lines.push_back("WRITENODELIST");
    ASSERT_TRUE(request(lines));
    EXPECT_EQ(client.responseLines().back(), "Error: Request not completed successfully");
    EXPECT_EQ(eeprom(k1k).memory(), before);
    EXPECT_EQ(eeprom(k1k).copies(), 0);
}

TEST_F(NodeListRequest, ShowWithoutDevicesOrSelection)
{
    ASSERT_TRUE(request({"SHOWNODELIST"}));
    EXPECT_EQ(client.responseLines(), (Lines{"Request () for ShowNodelist : NOW", "Error: No devices present !"}));
    load("node 23:000000000104\ntds demo-bridge.tds\nnode 2D:000000000105\ntds demo-bridge.tds\n");
    ASSERT_TRUE(request({"SHOWNODELIST"}));
    EXPECT_EQ(client.responseLines().back(), "Error: Selected node lost !");
    factory.shared().ActualNodeID = "0000000000000000";
    net->removeNode(RomCode::make(0x2D, 0x105));
    ASSERT_TRUE(request({"SHOWNODELIST"}));
    EXPECT_EQ(client.responseLines().back(), "Error: Node lost !");
}

} // namespace
