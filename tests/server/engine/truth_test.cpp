// Answers that tell the truth: a value that does not fit writes nothing and names its
// line; a failed write says how far it got; a response belongs to its own request and is
// written only inside the working folder; the request file is read only when it is a
// small regular file; every node of a large network is listed against its own TEDS.

#include "serverfixture.h"

#include "sim/onewire/simscratcheeprom.h"
#include "tests/support/tedsnetwork.h"

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace server_test;
using platform::sim::RomCode;
using Lines = std::vector<std::string>;

const std::string k4k = RomCode::make(0x23, 0x104).nodeId();

bool contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class TruthTest : public ServerTest {
protected:
    void SetUp() override
    {
        load("node 23:000000000104\ntds demo-bridge.tds\n");
        startServer();
    }
    platform::sim::SimScratchEeprom& eeprom()
    {
        return dynamic_cast<platform::sim::SimScratchEeprom&>(*node(k4k));
    }
};

TEST_F(TruthTest, ATagValueThatDoesNotFitWritesNothingAndNamesItsLine)
{
    struct Row {
        std::string line;
        std::string why;  // the answer's reason; a prefix for the dates
    };
    const std::vector<Row> rows = {
        {"%SerialNumber=\"abc\"", "\"abc\" is not a number"},
        {"%SerialNumber=\"1e400\"", "\"1e400\" is out of range (0 to 16777215)"},
        {"%SerialNumber=\"" + std::string("4\0", 2) + "\"", "\"4\\x00\" is not a number"},
        {"%SerialNumber=\"99999999\"", "\"99999999\" is out of range (0 to 16777215)"},
        {"%SerialNumber=\"-5\"", "\"-5\" is out of range (0 to 16777215)"},
        {"%CalDate=\"31-02-2020\"", "\"31-02-2020\" is not a"},
        {"%CalInitials=\"ABCDEFGHIJKLMNOP\"", "\"ABCDEFGHIJKLMNOP\" is 16 characters long, the field holds 3"},
        {"%CalInitials=\"A\xE9\"", "\"\xE9\" cannot be written as CHR5"},
        {"%Sens@Ref=\"1e400\"", "\"1e400\" is out of range ("},
        {"%Direction=\"w\"", "\"w\" is no direction (X, Y, Z or n/a)"},
    };
    const auto memory = eeprom().memory();
    const int copies = eeprom().copies();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        ASSERT_TRUE(request({"CLEARLOG", "FAMILY 35", "UTID 919106", r.line, "WRITETEDS"}));
        const Lines answer = client.responseLines();
        const std::string prefix = "Error in assignment of tag in line: 5, " + r.why;
        EXPECT_TRUE(std::any_of(answer.begin(), answer.end(),
                                [&](const std::string& l) { return l.rfind(prefix, 0) == 0 && l.ends_with(", nothing written"); }))
            << testing::PrintToString(answer);
        EXPECT_FALSE(contains(answer, "OK"));
        EXPECT_EQ(logLines().back(), "Request ()  failed");
        EXPECT_EQ(eeprom().copies(), copies);
        EXPECT_EQ(eeprom().memory(), memory);
    }
    // The same request with values that fit is written.
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%SerialNumber=\"16777215\"", "%CalDate=\"27-05-2006\"",
                         "%CalInitials=\"abc\"", "WRITETEDS"}));
    EXPECT_EQ(client.responseLines().back(), "OK");
}

TEST_F(TruthTest, AFieldThatDoesNotFitAtTheWriteWritesNothing)
{
    // A row changed past the tag lines' check (as a window could): the write refuses it.
    const int copies = eeprom().copies();
    host.beforeWrite = [&] {
        auto* w = dynamic_cast<editor::TedsF*>(shell::record(shell::NodeIndexFromId(k4k))->obj.get());
        ASSERT_TRUE(w);
        for (auto& row : w->doc.rows)
            if (row.caption == "Serial number")
                row.value = "99999999";
    };
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "WRITETEDS"}));
    EXPECT_TRUE(contains(logLines(), "Error: Writing not succeded, node " + k4k +
                                         ": field \"Serial number\": \"99999999\" is out of range (0 to 16777215), "
                                         "nothing written"));
    EXPECT_EQ(eeprom().copies(), copies);
}

TEST_F(TruthTest, AWriteThatLosesItsNodeSaysHowFarItGot)
{
    // Gone at once: nothing of the write reached it.
    host.beforeWrite = [&] { eeprom().faults().vanishAfterSlots = 1; };
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%SerialNumber=\"77\"", "WRITETEDS"}));
    EXPECT_TRUE(contains(client.responseLines(), "Error: Writing not succeded, node " + k4k + ": nothing reached the node"))
        << testing::PrintToString(client.responseLines());
    EXPECT_FALSE(contains(client.responseLines(), "OK"));

    // Gone halfway: the answer counts the pages, and the node reads as a failed checksum.
    eeprom().setConnected(true);
    host.beforeWrite = [&] { eeprom().faults().vanishAfterSlots = 6000; };
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%SerialNumber=\"78\"", "WRITETEDS"}));
    const Lines answer = client.responseLines();
    const std::string prefix = "Error: Writing not succeded, node " + k4k + ": ";
    // The log answers: its last such line is this request's.
    const auto line = std::find_if(answer.rbegin(), answer.rend(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    ASSERT_NE(line, answer.rend()) << testing::PrintToString(answer);
    EXPECT_TRUE(line->find(" of 16 changed pages reached the node") != std::string::npos) << *line;
    EXPECT_NE(*line, prefix + "nothing reached the node") << testing::PrintToString(answer);
    eeprom().setConnected(true);
    host.beforeWrite = nullptr;
    ASSERT_TRUE(request({"FAMILY 35", "LISTFULLTEDS"}));
    EXPECT_EQ(client.responseLines().back(), "Checksum is failed");
}

class StartTest : public ServerTest {};

TEST_F(StartTest, AnAckFoundAtTheStartIsAnsweredAsNotAnsweredNotWithTheLastAnswer)
{
    load("node 23:000000000104\ntds demo-bridge.tds\n");
    std::ofstream(work / "TEDS_res.txt") << "Node ID: " << k4k << "\r\nOK\r\n";
    client.send(testing_support::RequestClient::requestText({"FAMILY 35", "WRITETEDS"}));
    startServer();
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(client.responseLines(), Lines{server::kNotAnswered});
    // And the request is not carried out.
    step();
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
}

TEST_F(TruthTest, TheAnswerOfTheRequestBeforeGoesBeforeAnythingElseHappens)
{
    ASSERT_TRUE(request({"FAMILY 35", "READTEDS", "LISTFULLTEDS"}));
    ASSERT_TRUE(client.response());
    client.send(testing_support::RequestClient::requestText({"FAMILY 35", "LISTFULLTEDS"}));
    engine.ServerTimer_Timer();
    EXPECT_TRUE(client.ackPresent());
    EXPECT_FALSE(client.response());
}

TEST_F(TruthTest, ALinkPlantedAsTheResponseIsReplacedNotWrittenThrough)
{
    testing_support::TempDir outside;
    const fs::path target = outside / "elsewhere.txt";
    std::ofstream(target) << "untouched\r\n";
    host.beforeWrite = [&] {
        std::error_code ec;
        fs::remove(work / "TEDS_res.txt", ec);
        fs::create_symlink(target, work / "TEDS_res.txt");
    };
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%SerialNumber=\"4711\"", "WRITETEDS"}));
    EXPECT_EQ(testing_support::readAll(target), "untouched\r\n");
    EXPECT_FALSE(fs::is_symlink(work / "TEDS_res.txt"));
    EXPECT_EQ(client.responseLines(), (Lines{"Device DS2433", "Node ID: " + k4k, "OK"}));
    // Nothing else was left in the folder.
    for (const auto& e : fs::directory_iterator(work))
        EXPECT_TRUE(e.path().filename() == "TEDS_res.txt" || e.path().filename() == "TEDS_req.txt") << e.path();
}

TEST_F(TruthTest, NoResponseThatCanBeWrittenMeansNoWriteAndAnEndedRequest)
{
    const int copies = eeprom().copies();
    fs::create_directories(work / "TEDS_res.txt" / "inside");
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%SerialNumber=\"4711\"", "WRITETEDS"}));
    EXPECT_EQ(eeprom().copies(), copies);
    EXPECT_TRUE(fs::is_directory(work / "TEDS_res.txt"));
    EXPECT_EQ(logLines().back(), "Error: TEDS_res.txt cannot be written (it is a directory), request not carried out");
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    // Once it can be written, requests are served again.
    fs::remove_all(work / "TEDS_res.txt");
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%SerialNumber=\"4711\"", "WRITETEDS"}));
    EXPECT_EQ(client.responseLines().back(), "OK");
}

TEST_F(TruthTest, TheRequestFileIsReadOnlyWhenItIsASmallRegularFile)
{
    struct Case {
        const char* name;
        std::function<void()> make;
        std::string error;
    };
    const fs::path req = work / "TEDS_req.txt";
    const std::vector<Case> cases = {
        {"fifo", [&] { ASSERT_EQ(::mkfifo(req.c_str(), 0644), 0); }, "Error: TEDS_req.txt is not a regular file, request not read"},
        {"device", [&] { fs::create_symlink("/dev/zero", req); }, "Error: TEDS_req.txt is not a regular file, request not read"},
        {"large", [&] { std::ofstream(req) << testing_support::RequestClient::requestText({std::string(20000, 'x')}); },
         "Error: TEDS_req.txt is larger than 16384 bytes, request not read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ec;
        fs::remove(req, ec);
        c.make();
        client.acknowledge();
        ASSERT_TRUE(client.waitForAnswer(std::chrono::seconds(20), [this] { step(); }));
        const Lines answer = client.responseLines();
        EXPECT_TRUE(contains(answer, c.error)) << testing::PrintToString(answer);
        EXPECT_TRUE(contains(answer, "Error in TEDS_req.txt file, in line : 0"));
    }
}

TEST_F(TruthTest, EchoedTextAndNumbersAreBounded)
{
    ASSERT_TRUE(request({"REQUESTDATETIME " + std::string(300, 'd'), "FAMILY 35", "LISTFULLTEDS"}));
    EXPECT_TRUE(contains(client.responseLines(), "Error: REQUESTDATETIME is longer than 256 characters, in line: 2"));
    EXPECT_EQ(logLines().back(), "Request ()  failed");
    for (const char* family : {"1e300", "-1e300", "nan"}) {
        ASSERT_TRUE(request({std::string("FAMILY ") + family}));
        EXPECT_TRUE(contains(client.responseLines(), "Error: Device specified not found")) << family;
    }
}

TEST_F(TruthTest, TheLogKeepsItsLastLines)
{
    for (std::size_t i = 0; i < server::kLogLinesMax + 700; ++i)
        engine.addLog("line " + std::to_string(i));
    const Lines log = logLines();
    EXPECT_LE(log.size(), server::kLogLinesMax + server::kLogLinesMax / 4);
    EXPECT_GE(log.size(), server::kLogLinesMax);
    EXPECT_EQ(log.back(), "line " + std::to_string(server::kLogLinesMax + 699));
    engine.addLog(std::string(3 << 20, 'x'));
    EXPECT_LE(engine.status.size(), server::kLogBytesMax + server::kLogBytesMax / 4 + (3 << 20));
    engine.addLog("after");
    EXPECT_LE(engine.status.size(), server::kLogBytesMax + server::kLogBytesMax / 4);
}

class LargeNetwork : public ServerTest {};

// The template of the shipped bridge-sensor TEDS.
const char* doctestBridge() { return "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range"; }

TEST_F(LargeNetwork, FortyMemoryNodesAreEachListedWithTheirOwnTeds)
{
    load(testing_support::tedsNodesDescription(testing_support::dataDir() / "demo-bridge.tds", 40, 5000, 0x300));
    startServer();
    std::string title;
    for (int i = 0; i < 40; ++i) {
        const std::string id = RomCode::make(0x2D, 0x300 + static_cast<unsigned>(i)).nodeId();
        SCOPED_TRACE(id);
        ASSERT_TRUE(request({"NODEID " + id, "LISTFULLTEDS"}));
        const Lines listing = client.responseLines();
        ASSERT_FALSE(listing.empty());
        EXPECT_EQ(listing.front(), "Node ID " + id);
        // Every node holds the TEDS of the same template.
        ASSERT_GE(listing.size(), 2u);
        if (i == 0)
            title = listing[1];
        EXPECT_EQ(listing[1], title);
        EXPECT_EQ(title, std::string("Title ") + doctestBridge());
        EXPECT_TRUE(contains(listing, "%SerialNumber, \"Serial number\", \"" + std::to_string(5000 + i) + "\""))
            << testing::PrintToString(listing);
        EXPECT_EQ(listing.back(), "Checksum is ok");
    }
}

} // namespace
