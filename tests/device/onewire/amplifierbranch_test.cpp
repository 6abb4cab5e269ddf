// The amplifier branch of the 1-Wire access: the exact ":MLAN" lines of each
// operation and the reading of the replies, against a scripted amplifier line.
#include "device/onewire/byteio.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/amplink/peloxtransport.h"
#include "device/state/devicelayer.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "platform/base/scopedhook.h"
#include "tests/device/onewire/mlanfake.h"
#include "tests/support/freshstate.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

using namespace device;
using testing_support::mlanLine;
using Lines = std::vector<std::string>;

namespace {

// A search reply that reports a node: count byte, reset and search records, the ROM
// register record with the ROM in bus order.
std::string foundReply(const std::string& busRom) { return "30,\"0E800081000008" + busRom + "\""; }

class AmplifierBranch : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    void SetUp() override
    {
        DeviceState& ds = deviceState();
        ds.InterfaceType = device::InterfaceType::AmplifierLink;
        ds.SelectedAmplifier = 1;
        ds.SelectedChannel = 3;
        ds.AmpAddressing = true;
        ASSERT_TRUE(port.setPortOpen(true));
    }

    // Lines of a transaction: the payload line and the query.
    Lines tx(const std::string& payload) const { return {mlanLine(3, payload), "I_C_3:MLAN?"}; }

    testing_support::FreshState<resetDeviceLayer> fresh;
    testing_support::MlanFake amp;
    platform::MemorySerialPort port{&amp};
    platform::ScopedHook<platform::SerialPort*> portHook{&setPeloxPort, &port};
};

} // namespace

TEST_F(AmplifierBranch, LineFormatOfTheSearchPayload)
{
    EXPECT_EQ(mlanLine(3, "8081000085"), "I_C_3:MLAN 12, \"058081000085\"");
    bool found, done;
    std::string id;
    int family;
    uLAN_FindNext(found, done, id, family);
    EXPECT_EQ(amp.lines, (Lines{"I_C_3:MLAN 12, \"058081000085\"", "I_C_3:MLAN?"}));
}

struct SearchRow {
    const char* name;
    std::string reply;
    bool result, found, done;
    std::string id;
    int family;
};

class MultiDropSearch : public AmplifierBranch, public ::testing::WithParamInterface<SearchRow> {};

TEST_P(MultiDropSearch, ReplyDecidesFoundAndDone)
{
    const SearchRow& r = GetParam();
    amp.replies.push_back(r.reply);
    bool found = true, done = true;
    std::string id = "stale";
    int family = 99;
    const std::optional<bool> result = uLAN_FindNext(found, done, id, family);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, r.result);
    EXPECT_EQ(found, r.found);
    EXPECT_EQ(done, r.done);
    EXPECT_EQ(id, r.id);
    EXPECT_EQ(family, r.family);
    EXPECT_EQ(amp.lines, tx("8081000085"));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, MultiDropSearch,
    ::testing::Values(
        SearchRow{"found", foundReply("10010203040506A7"), true, true, false, "A706050403020110", 16},
        SearchRow{"found_lower_case_id", foundReply("2d010203040506a7"), true, true, false, "A70605040302012D", 45},
        SearchRow{"done", "12,\"0580008101\"", false, false, true, "", 0},
        SearchRow{"done_8004_whatever_follows", "28,\"0C8004810010010203040506A7\"", false, false, true, "", 0},
        // Neither a node nor the end: the pass ends rather than searching for ever.
        SearchRow{"empty_reply_ends_the_pass", "", false, false, true, "", 0},
        SearchRow{"unrecognised_reply_ends_the_pass", "12,\"0512345678\"", false, false, true, "", 0},
        SearchRow{"found_without_an_id_ends_the_pass", "12,\"0580008100\"", false, false, true, "", 0},
        SearchRow{"one_digit_count", "9,\"0C8000810010010203040506A7\"", true, true, false, "A706050403020110", 16}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AmplifierBranch, MultiDropSearchPassOverThreeNodes)
{
    const char* roms[] = {"10010203040506A7", "2D11121314151617", "2322232425262728"};
    for (const char* rom : roms)
        amp.replies.push_back(foundReply(rom));
    amp.replies.push_back("12,\"0580008101\"");

    std::vector<std::string> ids;
    bool found = false, done = false;
    int steps = 0;
    while (!done && steps < 10) {
        std::string id;
        int family;
        uLAN_FindNext(found, done, id, family);
        if (found)
            ids.push_back(id);
        ++steps;
    }
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(ids, (Lines{"A706050403020110", "171615141312112D", "2827262524232223"}));
}

TEST_F(AmplifierBranch, NoAmplifierSelectedEndsAMultiDropPass)
{
    deviceState().SelectedAmplifier = 0;
    bool found, done;
    std::string id;
    int family;
    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_FALSE(found);
    EXPECT_TRUE(done);
    // The query still goes out for the selected channel; no payload line does.
    EXPECT_EQ(amp.lines, (Lines{"I_C_3:MLAN?"}));
}

TEST_F(AmplifierBranch, SingleNodeScanAlternates)
{
    DeviceState& ds = deviceState();
    ds.AmpAddressing = false;
    ds.SingleNodeToggle = true;
    const std::string node = "28,\"0D80000A093310010203040506A7\"";
    for (int i = 0; i < 3; ++i)
        amp.replies.push_back(node);

    bool found, done;
    std::string id;
    int family;
    EXPECT_TRUE(*uLAN_FindNext(found, done, id, family));
    EXPECT_TRUE(found);
    EXPECT_FALSE(done);
    EXPECT_EQ(id, "A706050403020110");
    EXPECT_EQ(family, 0x10);

    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_FALSE(found);
    EXPECT_TRUE(done);
    EXPECT_EQ(id, "");

    EXPECT_TRUE(*uLAN_FindNext(found, done, id, family));  // flag not reset: reports again
    EXPECT_EQ(amp.lines.size(), 6u);
    EXPECT_EQ(amp.lines[0], mlanLine(3, "800A02093385"));
}

TEST_F(AmplifierBranch, SingleNodeScanRejectsTheAllOnesReply)
{
    DeviceState& ds = deviceState();
    ds.AmpAddressing = false;
    ds.SingleNodeToggle = true;
    amp.replies.push_back("28,\"FFFFFFFFFFFFFFFFFFFFFFFFFFFF\"");
    bool found, done;
    std::string id;
    int family;
    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_FALSE(found);
    EXPECT_FALSE(done);

    // Without an amplifier the reply is empty; Done still alternates.
    ds.SelectedAmplifier = 0;
    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_TRUE(done);
    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_FALSE(done);
}

TEST_F(AmplifierBranch, OtherInterfaceTypeDoesNothingAndEndsThePass)
{
    deviceState().InterfaceType = device::InterfaceType::None;
    bool found = true, done = false;
    std::string id = "x";
    int family = 3;
    EXPECT_FALSE(uLAN_FindNext(found, done, id, family).has_value());
    EXPECT_FALSE(found);
    EXPECT_TRUE(done);
    EXPECT_EQ(id, "");
    EXPECT_EQ(family, 0);
    EXPECT_TRUE(amp.lines.empty());
}

TEST_F(AmplifierBranch, DeviceJobMultiDrop)
{
    amp.replies = {"26,\"0C000810010203040506A78200\"", "8,\"030A01AA\""};
    EXPECT_TRUE(uLAN_SelectNode_Access("A706050403020110"));
    EXPECT_EQ(Touch_Byte(0xCC), 0xAA);
    uLAN_Access();
    uLAN_End();
    EXPECT_EQ(amp.lines, (Lines{mlanLine(3, "000810010203040506A782"), "I_C_3:MLAN?", mlanLine(3, "0A0201CC85"),
                                "I_C_3:MLAN?", mlanLine(3, "82"), "MLAN OFF"}));
    EXPECT_EQ(amp.lines[0], "I_C_3:MLAN 24, \"0B000810010203040506A782\"");
    EXPECT_FALSE(oneWireState().IoError);
}

TEST_F(AmplifierBranch, DeviceJobSingleNode)
{
    deviceState().AmpAddressing = false;
    EXPECT_TRUE(uLAN_SelectNode_Access("A706050403020110"));
    uLAN_Access();
    uLAN_End();
    EXPECT_EQ(amp.lines, (Lines{mlanLine(3, "800A0201CC"), mlanLine(3, "800A0201CC"), "MLAN OFF"}));
}

TEST_F(AmplifierBranch, TouchByteReadsTheLastPairBeforeTheQuote)
{
    amp.replies = {"8,\"030A017F\"", "", "3,\"7"};
    EXPECT_EQ(Touch_Byte(0xFF), 127);
    EXPECT_FALSE(oneWireState().IoError);
    EXPECT_EQ(Touch_Byte(0xFF), 0);  // empty reply
    EXPECT_TRUE(oneWireState().IoError);
    oneWireState().IoError = false;
    EXPECT_EQ(Touch_Byte(0x01), 0);  // no whole pair
    EXPECT_TRUE(oneWireState().IoError);
    EXPECT_EQ(amp.commands(), (Lines{mlanLine(3, "0A0201FF85"), mlanLine(3, "0A0201FF85"), mlanLine(3, "0A02010185")}));
}

TEST_F(AmplifierBranch, TouchBitReadsTheLastByteBeforeTheQuote)
{
    // Records: count, 09, bit count, the bits read; or the bit alone.
    amp.replies = {"8,\"03090101\"", "8,\"03090100\"", "2,\"01\"", ""};
    EXPECT_EQ(Touch_Bit(1), 1);
    EXPECT_EQ(Touch_Bit(1), 0);
    EXPECT_EQ(Touch_Bit(1), 1);
    EXPECT_FALSE(oneWireState().IoError);
    EXPECT_EQ(Touch_Bit(0), 0);
    EXPECT_TRUE(oneWireState().IoError);
    EXPECT_EQ(amp.commands()[0], mlanLine(3, "0902010185"));
    EXPECT_EQ(amp.commands()[3], mlanLine(3, "0902010085"));
}

TEST_F(AmplifierBranch, BlockWriteOf32BytesIsOnePayload)
{
    MemImage mi;
    mi.Data.assign(33, 0);
    std::string data;
    for (int i = 1; i <= 32; ++i) {
        mi.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        data += core::ByteToHex2(static_cast<unsigned>(i));
    }
    std::string back;
    for (int i = 1; i <= 32; ++i)
        back += core::ByteToHex2(static_cast<unsigned>(0x80 + i));
    amp.replies.push_back("70,\"220A20" + back + "\"");
    Block_IO(mi, true, 1, 32);
    ASSERT_EQ(amp.commands().size(), 1u);
    EXPECT_EQ(amp.commands()[0], mlanLine(3, "0A2120" + data + "85"));
    EXPECT_EQ(mi.Data[1], 0x81);
    EXPECT_EQ(mi.Data[32], 0xA0);
    EXPECT_FALSE(oneWireState().IoError);
}

TEST_F(AmplifierBranch, BlockWriteReplyWithoutTheEchoKeepsTheSentBytes)
{
    MemImage mi;
    mi.Data = {0, 0x66, 0x00, 0xFF};
    amp.replies.push_back("8,\"0A0366\"");  // "0A03" only before position 7
    Block_IO(mi, true, 1, 3);
    EXPECT_EQ(amp.commands()[0], mlanLine(3, "0A04036600FF85"));
    EXPECT_EQ(mi.Data, (ByteArray{0, 0x66, 0x00, 0xFF}));
    EXPECT_TRUE(oneWireState().IoError);
}

TEST_F(AmplifierBranch, BlockWriteEchoMustStartOnAWholeByte)
{
    MemImage mi;
    mi.Data = {0, 0x66};
    // "0A01" appears only across byte boundaries (B0 A0 1F): no echo.
    amp.replies.push_back("14,\"05B0A01F22\"");
    Block_IO(mi, true, 1, 1);
    EXPECT_EQ(mi.Data, (ByteArray{0, 0x66}));
    EXPECT_TRUE(oneWireState().IoError);

    oneWireState().IoError = false;
    amp.replies.push_back("14,\"05B00A0122\"");  // the echo as the second byte after the count
    Block_IO(mi, true, 1, 1);
    EXPECT_EQ(mi.Data, (ByteArray{0, 0x22}));
    EXPECT_FALSE(oneWireState().IoError);
}

TEST_F(AmplifierBranch, BlockWriteOf33BytesIsRefused)
{
    MemImage mi;
    mi.Data.assign(34, 0x42);
    Block_IO(mi, true, 1, 33);
    const std::string text = "Error page too large for write, please report error - job canceled";
    EXPECT_EQ(box.prompts(), (Lines{text}));
    EXPECT_EQ(trace.lines, (Lines{text}));
    EXPECT_TRUE(amp.lines.empty());
    EXPECT_EQ(mi.Data, ByteArray(34, 0x42));
}

TEST_F(AmplifierBranch, BlockReadChunksOf41Bytes)
{
    struct Row {
        int first, last;
        Lines payloads;
    };
    const Row rows[] = {
        {1, 41, {"0A012985"}},
        {1, 42, {"0A012985", "0A010185"}},
        {1, 128, {"0A012985", "0A012985", "0A012985", "0A010585"}},
    };
    for (const Row& r : rows) {
        amp.lines.clear();
        MemImage mi;
        mi.Data.assign(static_cast<std::size_t>(r.last) + 1, 0x55);
        Block_IO(mi, false, r.first, r.last);
        Lines expected;
        for (const auto& p : r.payloads)
            expected.push_back(mlanLine(3, p));
        EXPECT_EQ(amp.commands(), expected) << r.last;
        EXPECT_EQ(mi.Data[1], 0);  // empty replies give 0 bytes
        EXPECT_TRUE(oneWireState().IoError);
    }
}

TEST_F(AmplifierBranch, BlockReadTakesTheBytesAfterTheHeader)
{
    MemImage mi;
    mi.Data.assign(4, 0);
    amp.replies = {"12,\"040A03112233\"", "8,\"020A01AB\""};
    Block_IO(mi, false, 1, 3);
    EXPECT_EQ(mi.Data, (ByteArray{0, 0x11, 0x22, 0x33}));
    EXPECT_FALSE(oneWireState().IoError);
    Block_IO(mi, false, 2, 2);  // one byte: a one-digit count
    EXPECT_EQ(mi.Data, (ByteArray{0, 0x11, 0xAB, 0x33}));
    EXPECT_FALSE(oneWireState().IoError);

    amp.replies = {"8,\"040A0311\""};  // two bytes short
    Block_IO(mi, false, 1, 3);
    EXPECT_EQ(mi.Data, (ByteArray{0, 0x11, 0x00, 0x00}));
    EXPECT_TRUE(oneWireState().IoError);
}

TEST_F(AmplifierBranch, BlockIoPageCoversOnePage)
{
    MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.dimension(0xFF);
    Block_IO_Page(mi, false, 3);
    EXPECT_EQ(amp.commands(), (Lines{mlanLine(3, "0A012085")}));
    EXPECT_EQ(mi.Data[64], 0xFF);
    EXPECT_EQ(mi.Data[65], 0x00);
    EXPECT_EQ(mi.Data[96], 0x00);
    EXPECT_EQ(mi.Data[97], 0xFF);
}

TEST_F(AmplifierBranch, StrongPullupDurationCodes)
{
    const std::pair<int, const char*> rows[] = {{-5, "80"}, {0, "80"}, {10, "80"}, {32, "80"}, {64, "81"},
                                                {128, "82"}, {512, "83"}, {1024, "84"}};
    for (auto [ms, code] : rows) {
        amp.lines.clear();
        Strong_Pullup(ms);
        EXPECT_EQ(amp.commands(), (Lines{mlanLine(3, std::string("03010B") + code + "0300")})) << ms;
    }
    EXPECT_TRUE(box.shown.empty());

    amp.lines.clear();
    Strong_Pullup(256);
    EXPECT_EQ(box.prompts(), (Lines{"Delay, maybe posible but not implemented here"}));
    EXPECT_EQ(amp.commands(), (Lines{mlanLine(3, "03010B0300")}));
}

TEST_F(AmplifierBranch, ACommandWithThePullupIsItsUsualPayloadThenThePullupPayload)
{
    MemImage mi;
    mi.Data = {0, 0x55, 0x40, 0x00, 0x1F};
    Block_IO_Pullup(mi, 1, 4, 5);
    Touch_Byte_Pullup(0x44, 1024);
    EXPECT_EQ(amp.commands(), (Lines{mlanLine(3, "0A05045540001F85"), mlanLine(3, "03010B800300"),
                                     mlanLine(3, "0A02014485"), mlanLine(3, "03010B840300")}));
    EXPECT_TRUE(box.shown.empty());

    amp.lines.clear();
    mi.Data.assign(34, 0x42);
    Block_IO_Pullup(mi, 1, 33, 5);  // too large: refused as a block write, no pull-up either
    EXPECT_EQ(box.prompts(), (Lines{"Error page too large for write, please report error - job canceled"}));
    EXPECT_TRUE(amp.lines.empty());
}

TEST_F(AmplifierBranch, ProgramByteIsRefused)
{
    int bits = 8;
    EXPECT_EQ(Program_Byte(0x12, 0, 0, bits, 0), 0);
    EXPECT_EQ(box.prompts(), (Lines{"Function Program_Byte is not supported in Pelox"}));
    EXPECT_TRUE(amp.lines.empty());
}

TEST_F(AmplifierBranch, AnyInterfaceTypeButZeroTakesTheAmplifierBranch)
{
    deviceState().InterfaceType = device::InterfaceType{7};
    amp.replies.push_back("8,\"030A0142\"");
    EXPECT_EQ(Touch_Byte(0x00), 0x42);
    uLAN_End();
    EXPECT_EQ(amp.lines.back(), "MLAN OFF");
}
