// Request files from the client's side: what the log, the response file and the ack
// file show for version lines, empty and incomplete requests, keywords in any case,
// node selection and its errors, and the error path.

#include "serverfixture.h"

#include "platform/onewiresim/simnode.h"

#include <algorithm>

namespace {

using namespace server_test;
using platform::sim::RomCode;

const std::string kSwitch = RomCode::make(0x12, 0x101).nodeId();
const std::string k4k = RomCode::make(0x23, 0x104).nodeId();
const std::string k1k = RomCode::make(0x2D, 0x105).nodeId();

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class ProtocolTest : public ServerTest {
protected:
    void SetUp() override
    {
        load("node 12:000000000101\ntds demo-bridge.tds\n"
             "node 23:000000000104\ntds demo-bridge.tds\n"
             "node 2D:000000000105\ntds demo-bridge.tds\n");
        startServer();
    }
};

TEST_F(ProtocolTest, WrongVersionLineIsIgnoredWithoutResponse)
{
    for (const char* first : {"T-block server request file version 1.0.0 ", "T-block server request file version 1.0.1",
                              "t-block server request file version 1.0.0"}) {
        SCOPED_TRACE(first);
        const std::size_t from = logLines().size();
        ASSERT_TRUE(send(std::string(first) + "\r\nFAMILY 35\r\nREAD_DS2406_PIO\r\n"));
        EXPECT_EQ(logLines(from), (std::vector<std::string>{"Wrong version T-block server requestfile, required version: 1.0.0",
                                                            "acknowledge ignored, request ignored"}));
        EXPECT_FALSE(client.response());
        EXPECT_TRUE(engine.ServerTimerEnabled);
    }
}

TEST_F(ProtocolTest, AckWithoutRequestIsAnsweredWithTheLog)
{
    client.acknowledge();
    ASSERT_TRUE(client.waitForAnswer(std::chrono::seconds(5), [this] { step(); }));
    EXPECT_EQ(client.responseLines(), std::vector<std::string>{"Error request file not found: TEDS_req.txt"});
    EXPECT_TRUE(engine.ServerTimerEnabled);
}

TEST_F(ProtocolTest, EmptyRequestFileEndsThroughTheErrorPath)
{
    ASSERT_TRUE(send(""));
    EXPECT_EQ(logLines(), std::vector<std::string>{"Error in TEDS_req.txt file, in line : 0"});
    EXPECT_EQ(client.responseLines(), logLines());
    EXPECT_TRUE(engine.ServerTimerEnabled);
}

// Request lines -> the log lines of the run (headers and dates fixed to NOW).
struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> log;
};

TEST_F(ProtocolTest, RequestsWithoutDeviceCommandAnswerWithTheLog)
{
    const Case cases[] = {
        {"selection only", {"REQUESTDATETIME 2026-12-10 10:00", "FAMILY 35"},
         {"Request is cancled: NOW due to incomplete request", "Request (2026-12-10 10:00)  failed"}},
        {"unknown keyword in line 3", {"REQUESTDATETIME d", "FOO 1", "FAMILY 35"},
         {"Error in TEDS_req.txt file, in line  : 3", "Request is cancled: NOW", "Request (d)  failed"}},
        {"no such family", {"FAMILY 16"}, {"Error: Device specified not found", "Request is cancled: NOW", "Request ()  failed"}},
        {"unknown device name", {"DEVICE DS2450"},
         {"Error: Device specified not found", "Request is cancled: NOW", "Request ()  failed"}},
        {"device names are case-sensitive", {"NODE ds2433"},
         {"Error: Device specified not found", "Request is cancled: NOW", "Request ()  failed"}},
        {"node id in lower case", {"NODEID " + lower(k1k)},
         {"Error: specified node not found", "Request is cancled: NOW", "Request ()  failed"}},
        {"node id after two blanks", {"NODEID  " + k4k},
         {"Error: specified node not found", "Request is cancled: NOW", "Request ()  failed"}},
        {"tag line without a node", {"%SerialNumber=\"12\""},
         {"UTID and/or Node not specified in request", "Request is cancled: NOW", "Request ()  failed"}},
        {"tag line without =", {"FAMILY 35", "%SerialNumber"},
         {"Error in TEDS_req.txt file, in line  : 3", "Request is cancled: NOW", "Request ()  failed"}},
        {"listing without a node", {"LISTFULLTEDS"},
         {"UTID and/or Node not specified in request", "Request is cancled: NOW", "Request ()  failed"}},
        {"unknown UTID", {"FAMILY 35", "UTID 4711"},
         {"Error: template for requested UTID not found, UTID: 4711", "Request is cancled: NOW", "Request ()  failed"}},
        {"wrong IEEE version", {"VERSION V1.0"},
         {"Error: only IEEE version supported: V0.9X", "Request is cancled: NOW", "Request ()  failed"}},
        {"IEEE version in any case, empty lines", {"", "version v0.9x", ""},
         {"Request is cancled: NOW due to incomplete request", "Request ()  failed"}},
        {"READTEDS finds the one TEDS of the family", {"FAMILY 45", "READTEDS"},
         {"Request () for readTEDS : NOW", "Request is cancled: NOW due to incomplete request", "Request ()  failed"}},
        {"READTEDS among three TEDS", {"READTEDS"},
         {"Request () for readTEDS : NOW", "Warning no. of TEDS are 3", "Error: TEDS not found",
          "Request is cancled: NOW", "Request ()  failed"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.cbClearLog_Click();
        ASSERT_TRUE(request(c.lines));
        EXPECT_EQ(logLines(), c.log);
        // The response is the log up to the cancel line.
        auto expected = c.log;
        expected.pop_back();
        EXPECT_EQ(client.responseLines(), expected);
        EXPECT_TRUE(engine.ServerTimerEnabled);
    }
}

TEST_F(ProtocolTest, KeywordsInAnyCaseSelectAndReadTheSwitch)
{
    ASSERT_TRUE(request({"requestDateTime x", "Family 18", "read_ds2406_pio"}));
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=1", "PIO_B=1"}));
    EXPECT_EQ(logLines().back(), "Request (x)  completed succesfully");
}

TEST_F(ProtocolTest, SelectionByNameAndIdSetsTheDefaultWindowsNodeIds)
{
    ASSERT_TRUE(request({"DEVICE DS2431", "READ_DS2406_PIO"}));
    EXPECT_EQ(factory.shared().ActualNodeID, k1k);
    EXPECT_EQ(factory.shared().SelectedNodeID, k1k);
    // The PIO read of a memory that is no switch fails in the response.
    EXPECT_EQ(client.responseLines(), std::vector<std::string>{"Error reading PIO in DS2406"});
    ASSERT_TRUE(request({"ULANID " + k4k, "READ_DS2406_PIO"}));
    EXPECT_EQ(factory.shared().ActualNodeID, k4k);
    // A poll tick clears the selected id; an id that is not found clears the actual one.
    ASSERT_TRUE(request({"NODEID 0000000000000000"}));
    EXPECT_EQ(factory.shared().ActualNodeID, "");
    EXPECT_EQ(factory.shared().SelectedNodeID, "");
}

TEST_F(ProtocolTest, TwoDevicesOfTheFamilyAreRefused)
{
    net->addNode(platform::sim::makeNode(RomCode::make(0x23, 0x999)));
    ASSERT_TRUE(request({"FAMILY 35", "READ_DS2406_PIO"}));
    EXPECT_EQ(logLines().front(), "Error: More than one device found");
    EXPECT_EQ(logLines().back(), "Request ()  failed");
}

TEST_F(ProtocolTest, RequestLinesEndInAnyLineEnd)
{
    ASSERT_TRUE(send("T-block server request file version 1.0.0\nFAMILY 18\rREAD_DS2406_PIO\n"));
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=1", "PIO_B=1"}));
}

TEST_F(ProtocolTest, ChannelSelectionIsIgnoredOnTheAdapter)
{
    ASSERT_TRUE(request({"SELECT_CHANNEL 2", "FAMILY 18", "READ_DS2406_PIO"}));
    EXPECT_EQ(logLines().back(), "Request ()  completed succesfully");
}

} // namespace
