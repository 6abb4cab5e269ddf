// Device commands of a request against the simulated network: the switch outputs, TEDS
// creation from a UTID with tag lines and its write, ROM programming only when allowed,
// erasing, two commands in one request, the end of the program on EXIT.

#include "serverfixture.h"

#include "core/base/settings.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simscratcheeprom.h"

namespace {

using namespace server_test;
using platform::sim::RomCode;

const std::string kSwitch = RomCode::make(0x12, 0x101).nodeId();
const std::string k4k = RomCode::make(0x23, 0x104).nodeId();
const std::string k1k = RomCode::make(0x2D, 0x105).nodeId();

class CommandTest : public ServerTest {
protected:
    void SetUp() override
    {
        load("node 12:000000000101\ntds demo-bridge.tds\n"
             "node 23:000000000104\ntds demo-bridge.tds\n"
             "node 2D:000000000105\ntds demo-bridge.tds\n");
        startServer();
    }
    platform::sim::SimDualSwitch& sw() { return dynamic_cast<platform::sim::SimDualSwitch&>(*node(kSwitch)); }
    platform::sim::SimScratchEeprom& eeprom(const std::string& id)
    {
        return dynamic_cast<platform::sim::SimScratchEeprom&>(*node(id));
    }
    // The value shown in the row titled caption of the node's TEDS window.
    std::string rowValue(const std::string& id, const std::string& caption)
    {
        const int k = shell::NodeIndexFromId(id);
        auto* w = k < 0 ? nullptr : dynamic_cast<editor::TedsF*>(shell::record(k)->obj.get());
        if (!w)
            return "(no window)";
        for (const auto& row : w->doc.rows)
            if (row.visible && row.caption == caption)
                return row.value;
        std::string all;
        for (const auto& row : w->doc.rows)
            all += row.caption + "=" + row.value + (row.visible ? "; " : "(hidden); ");
        return "(no row) " + w->doc.Title + ": " + all;
    }
    bool contains(const std::vector<std::string>& lines, const std::string& line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(CommandTest, SwitchOutputsAreSetThenRead)
{
    ASSERT_TRUE(request({"REQUESTDATETIME t1", "FAMILY 18", "SET_DS2406_PIOAB_10"}));
    EXPECT_TRUE(sw().flipFlopA());
    EXPECT_FALSE(sw().flipFlopB());
    EXPECT_EQ(client.responseLines(),
              (std::vector<std::string>{"Request (t1) for Set_DS2406_PIOAB_10 : NOW", "Request completed successfully"}));
    EXPECT_EQ(logLines(), (std::vector<std::string>{"Request (t1) for Set_DS2406_PIOAB_10 : NOW", "PIO_A=1", "PIO_B=0",
                                                    "Request (t1)  completed succesfully"}));
    ASSERT_TRUE(request({"FAMILY 18", "READ_DS2406_PIO"}));
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=1", "PIO_B=0"}));
}

TEST_F(CommandTest, TwoDeviceCommandsLeaveTheAnswerOfTheSecond)
{
    ASSERT_TRUE(request({"FAMILY 18", "SET_DS2406_PIOAB_01", "READ_DS2406_PIO"}));
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=0", "PIO_B=1"}));
    // An abort after a command keeps that command's answer and its success.
    ASSERT_TRUE(request({"FAMILY 18", "READ_DS2406_PIO", "FAMILY 99"}));
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=0", "PIO_B=1"}));
    EXPECT_EQ(logLines().back(), "Request ()  completed succesfully");
}

TEST_F(CommandTest, SwitchCommandOnAnotherFamilyFails)
{
    ASSERT_TRUE(request({"FAMILY 35", "SET_DS2406_PIOAB_11"}));
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"Request () for Set_DS2406_PIOAB_11 : NOW",
                                                                "Error: Node " + k4k + " is not a DS2406",
                                                                "Error: Request not completed successfully"}));
    EXPECT_EQ(logLines().back(), "Request ()  failed");
    // Without a node nothing is touched.
    ASSERT_TRUE(request({"SET_DS2406_PIOAB_00"}));
    EXPECT_TRUE(contains(logLines(), "UTID and/or Node not specified in request"));
    EXPECT_TRUE(sw().flipFlopA());
}

TEST_F(CommandTest, SwitchThatDoesNotAnswerFails)
{
    client.send(testing_support::RequestClient::requestText({"FAMILY 18", "SET_DS2406_PIOAB_00"}));
    engine.ServerTimer_Timer();
    // The scans find the switch; it leaves the bus before the request job runs.
    auto& q = shell::jobQueue();
    ASSERT_EQ(q.JobQueLast(), 2);
    q.Do_and_remove_job();
    q.Do_and_remove_job();
    sw().setConnected(false);
    q.tick();
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(client.responseLines().back(), "Error: Request not completed successfully");
    EXPECT_EQ(logLines().back(), "Request ()  failed");
}

TEST_F(CommandTest, UtidAndTagsMakeANewTedsThatIsWrittenAndReadBack)
{
    const int copies = eeprom(k4k).copies();
    ASSERT_TRUE(request({"REQUESTDATETIME r1", "FAMILY 35", "UTID 919106", "%SerialNumber=\"4711\"",
                         "%CalInitials=\"ABC\"", "%MeasID=\"12\"", "WRITETEDS"}));
    EXPECT_EQ(client.responseLines(),
              (std::vector<std::string>{"Requestdatetime r1", "Device DS2433", "Node ID: " + k4k, "OK"}));
    EXPECT_GT(eeprom(k4k).copies(), copies);
    EXPECT_EQ(logLines().back(), "Request (r1)  completed succesfully");
    // The next request's scan reads the node again.
    ASSERT_TRUE(request({"FAMILY 35", "LISTFULLTEDS"}));
    const auto listing = client.responseLines();
    for (const char* line : {"%SerialNumber, \"Serial number\", \"4711\"", "%CalInitials, \"Calibration initials\", \"ABC\"",
                             "%MeasID, \"Measurement location ID\", \"12\""})
        EXPECT_TRUE(contains(listing, line)) << line;
    EXPECT_EQ(listing.back(), "Checksum is ok");
    EXPECT_EQ(rowValue(k4k, "Serial number"), "4711");
}

TEST_F(CommandTest, FullListingOfTheOneDs2431)
{
    ASSERT_TRUE(request({"REQUESTDATETIME l1", "FAMILY 45", "LISTFULLTEDS"}));
    const std::vector<std::string> expected{
        "Requestdatetime l1",
        "Device DS2431",
        "Node ID " + k1k,
        "Title IEEE 1451.4 Bridge sensor, acceleration m/s\xB2"", Single range",
        "UTID 31574082",
        "UGID 29362242",
        "abstract IEEE 1451.4 standard template 33",
        "abstract Bridge sensor",
        "abstract Measurand 7, acceleration in m/s\xB2""; output range in single-precision values",
        "%Manufacturer, \"Manufacturer ID\", \"HBM (Hottinger Baldwin Messtechnik)\"",
        "%Model, \"Model number\", \"393\"",
        "%VersionLetter, \"Version letter\", \" \"",
        "%VersionNumber, \"Version number\", \"0\"",
        "%SerialNumber, \"Serial number\", \"0\"",
        "%MinPhysVal, \"Minimum physical value\", \"0 m/s\xB2""\"",
        "%MaxPhysVal, \"Maximum physical value\", \"0 m/s\xB2""\"",
        "%MinElecVal, \"Minimum electrical output\", \"0 V/V\"",
        "%MaxElecVal, \"Maximum electrical output\", \"0 V/V\"",
        "%BridgeType, \"Bridge type (0 quarter, 1 half, 2 full)\", \"1\"",
        "%SensorImped, \"Bridge element impedance\", \"40 Ohm\"",
        "%RespTime, \"Response time\", \"1E-06 s\"",
        "%ExciteAmplNom, \"Excitation level, nominal\", \"2.5 V\"",
        "%ExciteAmplMin, \"Excitation level, minimum\", \"1 V\"",
        "%ExciteAmplMax, \"Excitation level, maximum\", \"6 V\"",
        "%CalDate, \"Calibration date\", \"December 31, 2099\"",
        "%CalInitials, \"Calibration initials\", \" \"",
        "%CalPeriod, \"Calibration period (days)\", \"0\"",
        "%MeasID, \"Measurement location ID\", \"0\"",
        "%UserData, \"User data\", \"\"",
        "Checksum is ok"};
    EXPECT_EQ(client.responseLines(), expected);
    EXPECT_EQ(logLines(), (std::vector<std::string>{"Request (l1) for ListFullTEDS : NOW", "Request (l1)  completed succesfully"}));
    // "prefix" anywhere in the parameter, in any case, asks for the listing with tag prefixes.
    ASSERT_TRUE(request({"FAMILY 45", "LISTFULLTEDS with Prefix"}));
    EXPECT_NE(client.responseLines(), std::vector<std::string>(expected.begin() + 1, expected.end()));
    EXPECT_EQ(client.responseLines().back(), "Checksum is ok");
    // Every line ends in CR LF.
    const std::string bytes = *client.response();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
}

TEST_F(CommandTest, TagErrorsNameTheLine)
{
    ASSERT_TRUE(request({"FAMILY 35", "UTID 919106", "%NoSuchTag=\"1\"", "WRITETEDS"}));
    EXPECT_TRUE(contains(logLines(), "Error in assignment of tag in line: 4, property not found"));
    EXPECT_EQ(logLines().back(), "Request ()  failed");
    EXPECT_EQ(client.responseLines().back(), "Request is cancled: NOW");
}

TEST_F(CommandTest, Ds2406IsProgrammedOnlyWhenTheRequestAllowsIt)
{
    // An empty EPROM, programmed only with no other family on the bus.
    net->removeNode(RomCode::make(0x23, 0x104));
    net->removeNode(RomCode::make(0x2D, 0x105));
    net->removeNode(RomCode::make(0x12, 0x101));
    auto blank = platform::sim::makeNode(RomCode::make(0x12, 0x201));
    net->addNode(blank);
    auto& eprom = dynamic_cast<platform::sim::SimDualSwitch&>(*blank);
    const std::string id = blank->rom().nodeId();
    ASSERT_TRUE(request({"FAMILY 18", "UTID 919106", "%SerialNumber=\"99\"", "WRITETEDS"}));
    EXPECT_EQ(eprom.programPulses(), 0);
    // Nothing written: the answer is the log.
    EXPECT_EQ(client.responseLines(),
              (std::vector<std::string>{"Request () for WriteTEDS : NOW",
                                        "MsgBox suppressed: Are you sure you will program the DS2406 ROM ?",
                                        "Error: Writing not succeded, node " + id + ": nothing reached the node",
                                        "Request is cancled: NOW due to incomplete request"}));
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(logLines().back(), "Request ()  failed");
    // The permission lasts for its own request only.
    EXPECT_FALSE(engine.AllowRomProgramming);
    EXPECT_FALSE(device::driverState().RomProgrammingAllowed);

    ASSERT_TRUE(request({"FAMILY 18", "ALLOWROMPROGRAMMING", "UTID 919106", "%SerialNumber=\"99\"", "WRITETEDS"}));
    EXPECT_GT(eprom.programPulses(), 0);
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"Device DS2406", "Node ID: " + id, "OK"}));
}

TEST_F(CommandTest, Ds2430aRegisterIsLockedOnlyWhenTheRequestAllowsIt)
{
    load("node 14:000000000109\nmemory 00 01 02 03\n");
    auto& chip = dynamic_cast<platform::sim::SimDs2430&>(*node(RomCode::make(0x14, 0x109).nodeId()));
    ASSERT_FALSE(chip.locked());
    // A template that fits the chip's 39 bytes, in the layout that uses the register.
    std::string utid;
    const auto& lib = core::tdlState();
    for (int t = 0; t <= lib.TemplateLast && utid.empty(); ++t) {
        const auto& rec = lib.Templates[static_cast<std::size_t>(t)];
        if (rec.UTIDT >= 2 && rec.lengthBits > 64 && rec.lengthBits <= 39 * 8)
            utid = rec.UTID.text();
    }
    ASSERT_FALSE(utid.empty());
    ASSERT_TRUE(request({"FAMILY 20", "UTID " + utid, "WRITETEDS"}));
    EXPECT_FALSE(chip.locked());
    EXPECT_TRUE(
        contains(logLines(), "MsgBox suppressed: Are you sure you will program the application register (ROM) in DS2430 ?"));
    ASSERT_TRUE(request({"FAMILY 20", "ALLOWROMPROGRAMMING", "UTID " + utid, "WRITETEDS"}));
    EXPECT_TRUE(chip.locked());
    EXPECT_EQ(client.responseLines().back(), "OK");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CommandTest, WritingTwiceLosesTheNodeTheFirstWriteRemoved)
{
    ASSERT_TRUE(request({"FAMILY 35", "WRITETEDS", "WRITETEDS"}));
    EXPECT_TRUE(contains(logLines(), "Error: Selected node lost !"));
    EXPECT_EQ(client.responseLines().back(), "OK");
}

TEST_F(CommandTest, DeleteMemoryErasesTheSelectedNodeOfItsOwnFamily)
{
    ASSERT_TRUE(request({"FAMILY 18", "DELETE_MEMORY"}));
    EXPECT_EQ(client.responseLines(),
              (std::vector<std::string>{"Request () for Delete_memory : NOW",
                                        "Error: Only DS2430, DS2431 and DS2433 is supported for this command (Delete_memory)",
                                        "Error: Request not completed successfully"}));
    // A family that does not match the selected node is refused.
    ASSERT_TRUE(request({"NODEID " + k1k, "FAMILY 35", "DELETE_MEMORY"}));
    ASSERT_TRUE(request({"FAMILY 35", "NODEID " + k1k, "DELETE_MEMORY"}));
    EXPECT_EQ(client.responseLines()[1], "Error: Node " + k1k + " is not of family 35 (Delete_memory)");
    EXPECT_NE(eeprom(k1k).memory()[5], 0xFF);

    ASSERT_TRUE(request({"FAMILY 35", "DELETE_MEMORY"}));
    EXPECT_EQ(client.responseLines().back(), "Request completed successfully");
    const auto& mem = eeprom(k4k).memory();
    EXPECT_TRUE(std::all_of(mem.begin(), mem.begin() + 512, [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_NE(eeprom(k1k).memory()[5], 0xFF);
}

TEST_F(CommandTest, ExitEndsTheProgramAfterTheAnswerAndSavesTheSettings)
{
    engine.PoolTime_Change("2,5");
    engine.PoolTime_Commit();
    ASSERT_TRUE(request({"EXIT", "FAMILY 18", "READ_DS2406_PIO"}));
    EXPECT_EQ(host.ended, 1);
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=1", "PIO_B=1"}));
    std::string saved;
    core::Inifile_Read_String_Value(core::coreState().IniPath, "T-block pooltime", saved);
    EXPECT_EQ(saved, "2.5");
    EXPECT_FALSE(engine.suppressing());
}

TEST_F(CommandTest, ExitDoesNotTurnAFailureIntoSuccess)
{
    struct Row { std::vector<std::string> lines; const char* last; };
    const Row rows[] = {
        {{"EXIT"}, "Request ()  completed succesfully"},
        {{"FAMILY 35", "READ_DS2406_PIO", "EXIT"}, "Request ()  failed"},
        {{"EXIT", "FAMILY 35", "READ_DS2406_PIO"}, "Request ()  failed"},
        {{"EXIT", "FAMILY 99"}, "Request ()  failed"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.lines.front() + " ... " + r.lines.back());
        engine.Form_Load();
        host.ended = 0;
        ASSERT_TRUE(request(r.lines));
        EXPECT_EQ(logLines().back(), r.last);
        EXPECT_EQ(host.ended, 1);
    }
}

} // namespace
