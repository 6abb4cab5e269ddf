// The serial-line transport against an in-memory port on virtual time.

#include "device/amplink/peloxtransport.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/state/devicelayer.h"
#include "platform/base/scopedhook.h"
#include "sim/serial/memoryserialport.h"
#include "scripteddevice.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/freshstate.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using device::deviceState;
using testing_support::ScriptedDevice;

namespace {

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.attach(&far);
        ASSERT_TRUE(port.setPortOpen(true));
    }

    long elapsedMs() const { return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(vclock.elapsed()).count()); }
    void mark() { start = vclock.elapsed(); }
    long sinceMarkMs() const { return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(vclock.elapsed() - start).count()); }
    // The device answers each complete line for which f gives text.
    void answerLines(std::function<std::string(const std::string&)> f)
    {
        far.answer = [f](const std::string& line, bool complete) { return complete ? f(line) : std::string(); };
    }

    testing_support::FreshState<device::resetDeviceLayer> fresh;
    platform::VirtualClock vclock;
    platform::ScopedClock scoped{vclock};
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, true};
    ScriptedDevice far;
    platform::MemorySerialPort port;
    platform::ScopedHook<platform::SerialPort*> portHook{&device::setPeloxPort, &port};
    platform::Micros start{0};
};

TEST_F(TransportTest, EmptySendClearsOutputOnly)
{
    device::Pelox_Send("");
    device::Pelox_Send_NoTerm("");
    EXPECT_EQ(port.written(), "");
    EXPECT_TRUE(trace.lines.empty());
    EXPECT_EQ(port.outputClears(), 2);
}

TEST_F(TransportTest, SendPacesCharactersByTheirEcho)
{
    device::Pelox_Send("conf?");
    EXPECT_EQ(far.received, "conf?\n");
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "Send: conf?");
    EXPECT_EQ(port.outputClears(), 1);
    // Every echo was taken off the line, and reads return everything again.
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_EQ(port.InputLen(), 0);
    // Six echoes of about 1 ms, then the 50 ms pause.
    EXPECT_GE(elapsedMs(), 56);
    EXPECT_LT(elapsedMs(), 70);
}

TEST_F(TransportTest, MissingEchoCostsEachCharacterItsWait)
{
    far.echo = false;
    device::Pelox_Send("ab");
    EXPECT_EQ(far.received, "ab\n");
    EXPECT_GE(elapsedMs(), 3 * 100 + 50);
    EXPECT_LT(elapsedMs(), 3 * 102 + 55);
}

TEST_F(TransportTest, LateEchoIsTakenAsTheNextCharacterEcho)
{
    // An echo later than 100 ms is not waited for; it is dropped by a later wait.
    far.echoDelay = 150ms;
    device::Pelox_Send("x");
    EXPECT_EQ(far.received, "x\n");
    EXPECT_GE(elapsedMs(), 100 + 50);
    EXPECT_LT(elapsedMs(), 100 + 50 + 60);
}

TEST_F(TransportTest, NoTermSendsTextAsItIs)
{
    device::Pelox_Send_NoTerm("PELOX00 IDRESET");
    EXPECT_EQ(far.received, "PELOX00 IDRESET");
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "Send noTE: PELOX00 IDRESET");
}

TEST_F(TransportTest, SendDropsStaleInputAndReceiveReadsTheReply)
{
    answerLines([](const std::string& l) { return l == "s_b?" ? "0\n" : ""; });
    port.deliver("stale text\n");
    device::Pelox_Send("s_b?");
    EXPECT_EQ(device::Pelox_Receive(100), "0");
    EXPECT_EQ(trace.lines.back(), "reci: 0");
}

TEST_F(TransportTest, ReceiveWithoutLineEndKeepsEveryCharacter)
{
    port.deliver("12,\"AB");
    mark();
    EXPECT_EQ(device::Pelox_Receive(10000), "12,\"AB");
    EXPECT_GE(sinceMarkMs(), 10000);
    EXPECT_LT(sinceMarkMs(), 10010);
}

TEST_F(TransportTest, ReceiveOnSilentLineIsEmptyAfterTimeout)
{
    mark();
    EXPECT_EQ(device::Pelox_Receive(500), "");
    EXPECT_GE(sinceMarkMs(), 500);
    EXPECT_EQ(trace.lines.back(), "reci: ");
}

TEST_F(TransportTest, ReceiveCutsAtFirstLineEnd)
{
    struct Row {
        const char* input;
        const char* first;
        const char* second;
    };
    const Row rows[] = {
        {"OK\n", "OK", ""},
        {"OK\r\n", "OK\r", ""},        // only the LF is removed
        {"OK\nJUNK", "OK", "JUNK"},    // what follows stays waiting
        {"A\nB\n", "A", "B"},
        {"\n", "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.input);
        device::resetTransportState();
        port.Input();
        port.deliver(r.input);
        EXPECT_EQ(device::Pelox_Receive(50), r.first);
        EXPECT_EQ(device::Pelox_Receive(50), r.second);
    }
}

TEST_F(TransportTest, LeftoverAfterLineEndIsDroppedByTheNextSend)
{
    port.deliver("OK\nJUNK");
    EXPECT_EQ(device::Pelox_Receive(50), "OK");
    device::Pelox_Send("x");
    EXPECT_EQ(device::Pelox_Receive(50), "");
}

TEST_F(TransportTest, ReceiveLetsAReplyTrickleIn)
{
    answerLines([](const std::string& l) { return l == "Iden?" ? "Type 6181\n" : ""; });
    far.charInterval = 20ms;
    device::Pelox_Send("Iden?");
    EXPECT_EQ(device::Pelox_Receive(1000), "Type 6181");
}

TEST_F(TransportTest, ReceiveCountTakesEverythingWaiting)
{
    port.deliver("PELOX01XY");
    mark();
    EXPECT_EQ(device::Pelox_Receive_Count(7, 300), "PELOX01XY");
    EXPECT_LT(sinceMarkMs(), 5);
    EXPECT_EQ(trace.lines.back(), "reci: PELOX01XY");
}

TEST_F(TransportTest, ReceiveCountEndsWhenTrickledCharactersAreComplete)
{
    far.answer = [](const std::string& l, bool) { return l == "go" ? std::string("OK") : std::string(); };
    // "K" arrives well after the send's closing pause.
    far.charInterval = 80ms;
    device::Pelox_Send_NoTerm("go");
    mark();
    EXPECT_EQ(device::Pelox_Receive_Count(2, 10000), "OK");
    EXPECT_LT(sinceMarkMs(), 100);
}

TEST_F(TransportTest, ReceiveCountZeroReadsOnceWithoutWaiting)
{
    mark();
    EXPECT_EQ(device::Pelox_Receive_Count(0, 10000), "");
    EXPECT_LT(sinceMarkMs(), 2);
    port.deliver("abc");
    EXPECT_EQ(device::Pelox_Receive_Count(0, 10000), "abc");
}

TEST_F(TransportTest, ReceiveCountTimesOutWithWhatCame)
{
    port.deliver("O");
    mark();
    EXPECT_EQ(device::Pelox_Receive_Count(2, 300), "O");
    EXPECT_GE(sinceMarkMs(), 300);
}

TEST_F(TransportTest, ErrorQueryFollowsEveryReadWhileSwitchedOn)
{
    answerLines([](const std::string& l) { return l == "Err?" ? "0,\"No error\"\n" : ""; });
    port.deliver("OK\n");
    deviceState().ErrAfterSend = true;
    EXPECT_EQ(device::Pelox_Receive(100), "OK");
    EXPECT_EQ(far.received, "Err?\n");
    const std::vector<std::string> expected = {"reci: OK", "Send: Err?", "received: 0,\"No error\""};
    EXPECT_EQ(trace.lines, expected);
}

TEST_F(TransportTest, ErrorQueryNeedsTheTraceAndTheSwitch)
{
    deviceState().ErrAfterSend = true;
    core::setTraceOn(false);
    device::Pelox_Receive(10);
    device::Pelox_Receive_Count(1, 10);
    EXPECT_EQ(far.received, "");
    core::setTraceOn(true);
    deviceState().ErrAfterSend = false;
    device::Pelox_Receive(10);
    device::Pelox_Query_Error();
    EXPECT_EQ(far.received, "");
}

// An unaddressed amplifier: answers the address command with its new name, takes the
// address when the name comes back, and says OK.
struct AddressingDevice {
    int addressed = 0;
    int capacity = 1;
    std::string pending;
    std::string operator()(const std::string& line, bool complete)
    {
        if (complete)
            return "";
        if (line.size() == 15 && line.rfind("PELOX00 IDNUM", 0) == 0 && addressed < capacity) {
            pending = "PELOX" + line.substr(13);
            return pending;
        }
        if (!pending.empty() && line == pending) {
            pending.clear();
            ++addressed;
            return "OK";
        }
        return "";
    }
};

TEST_F(TransportTest, AssignAddressTakesTheOkExchange)
{
    auto dev = std::make_shared<AddressingDevice>();
    far.answer = [dev](const std::string& l, bool c) { return (*dev)(l, c); };
    std::string reply;
    EXPECT_TRUE(device::Pelox_Assign_Address(1, &reply));
    EXPECT_EQ(reply, "PELOX01");
    EXPECT_EQ(far.received, "PELOX00 IDNUM01PELOX01\n");
    EXPECT_EQ(dev->addressed, 1);
}

TEST_F(TransportTest, AssignAddressWithoutAnswerSendsTheIdentificationLine)
{
    std::string reply = "x";
    mark();
    EXPECT_FALSE(device::Pelox_Assign_Address(3, &reply));
    EXPECT_EQ(reply, "");
    // The raw "PELOX01" is on the line before " Iden?" and its LF.
    EXPECT_EQ(far.received, "PELOX00 IDNUM03PELOX01 Iden?\n");
    EXPECT_EQ(port.written(), far.received);
    EXPECT_GE(sinceMarkMs(), 300 + 500);
}

TEST_F(TransportTest, AssignAddressFailsOnAnythingButOk)
{
    far.answer = [](const std::string& l, bool c) {
        if (!c && l == "PELOX00 IDNUM02")
            return std::string("PELOX02");
        if (!c && l == "PELOX02")
            return std::string("NO");
        return std::string();
    };
    EXPECT_FALSE(device::Pelox_Assign_Address(2));
    EXPECT_EQ(far.received, "PELOX00 IDNUM02PELOX02\n");
}

TEST_F(TransportTest, MlanLineCarriesCountAndByteCount)
{
    struct Row {
        const char* payload;
        int channel;
        const char* line;
    };
    const Row rows[] = {
        {"8081000085", 3, "I_C_3:MLAN 12, \"058081000085\""},
        {"82", 16, "I_C_16:MLAN 4, \"0182\""},
        {"", 1, "I_C_1:MLAN 2, \"00\""},
        {"123", 1, "I_C_1:MLAN 5, \"02123\""},     // 1.5 rounds to 2
        {"12345", 1, "I_C_1:MLAN 7, \"0212345\""}, // 2.5 rounds to 2
    };
    for (const auto& r : rows)
        EXPECT_EQ(device::Mlan_Line(r.payload, r.channel), r.line) << r.payload;
}

TEST_F(TransportTest, MlanSendGoesToTheSelectedChannel)
{
    deviceState().SelectedAmplifier = 1;
    deviceState().SelectedChannel = 3;
    mark();
    device::Mlan_Send("8081000085");
    EXPECT_EQ(far.received, "I_C_3:MLAN 12, \"058081000085\"\n");
    EXPECT_EQ(trace.lines.back(), "Send: I_C_3:MLAN 12, \"058081000085\"");
    EXPECT_GE(sinceMarkMs(), 50 + 100);
}

TEST_F(TransportTest, NothingGoesOutForMlanWithoutAmplifier)
{
    deviceState().SelectedAmplifier = 0;
    device::Mlan_Send("8081000085");
    EXPECT_EQ(far.received, "");
    EXPECT_EQ(device::Mlan_Answer(), "");
    // The transaction still sends its query (for channel 0) and reads nothing.
    answerLines([](const std::string&) { return std::string("4,\"0100\"\n"); });
    EXPECT_EQ(device::Mlan_Transaction("8081000085"), "");
    EXPECT_EQ(far.received, "I_C_0:MLAN?\n");
}

TEST_F(TransportTest, MlanAnswerForms)
{
    struct Row {
        const char* reply;
        const char* answer;
    };
    const Row rows[] = {
        {"26,\"0C80008100000810010203040506A7\"", "26,\"0C80008100000810010203040506A7\""},
        {"I_C_2:MLAN 0", ""},
        {"I_C_2:MLAN 8, \"030A017F\"", "8,\"030A017F\""},
        {"I_C_2:MLAN   8,\"030A017F\"", "8,\"030A017F\""},
        {"I_C_2:MLAN 8", ""},                    // count but no data
        {"I_C_2:MLAN 4, \"030A017F\"", "4,\"030A\""}, // cut at the count
        {"I_C_3:MLAN 4, \"0100\"", "I_C_3:MLAN 4, \"0100\""}, // another channel's header: as it is
        {"", ""},
    };
    deviceState().SelectedAmplifier = 1;
    deviceState().SelectedChannel = 2;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.reply);
        port.Input();
        port.deliver(std::string(r.reply) + "\n");
        EXPECT_EQ(device::Mlan_Answer(), r.answer);
    }
}

TEST_F(TransportTest, MlanTransactionSendsPayloadThenQuery)
{
    deviceState().SelectedAmplifier = 2;
    deviceState().SelectedChannel = 1;
    answerLines([](const std::string& l) { return l == "I_C_1:MLAN?" ? std::string("I_C_1:MLAN 8, \"040A017F\"\n") : std::string(); });
    EXPECT_EQ(device::Mlan_Transaction("0A0201FF85"), "8,\"040A017F\"");
    EXPECT_EQ(far.received, "I_C_1:MLAN 12, \"050A0201FF85\"\nI_C_1:MLAN?\n");
}

TEST(TransportWithoutPort, SilentLine)
{
    platform::VirtualClock vclock;
    platform::ScopedClock scoped(vclock);
    testing_support::FreshState<device::resetDeviceLayer> fresh;
    device::setPeloxPort(nullptr);
    device::Pelox_Send("conf?");
    EXPECT_EQ(device::Pelox_Receive(200), "");
    EXPECT_FALSE(device::Pelox_Assign_Address(1));

    platform::MemorySerialPort closed;
    device::setPeloxPort(&closed);
    device::Pelox_Send("conf?");
    EXPECT_EQ(closed.written(), "");
    EXPECT_EQ(device::Pelox_Receive(10), "");
    device::setPeloxPort(nullptr);
}

} // namespace
