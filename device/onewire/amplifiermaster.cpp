// The amplifier branch: one ":MLAN" payload per operation through the serial-line
// transport, the result read from the reply. AmpAddressing chooses addressing by ROM id
// (multi-drop) or Skip ROM on the channel's single node.

#include "device/onewire/onewiremaster.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "device/base/devicestate.h"
#include "device/memimage/hexbytes.h"
#include "device/onewire/byteio.h"
#include "device/onewire/mlanreply.h"
#include "device/amplink/peloxtransport.h"

#include <algorithm>
#include <cctype>

namespace device {

namespace {

constexpr int MaxReadBlock = 41;

std::string hex(int value) { return core::ByteToHex2(static_cast<unsigned>(value) & 0xFF); }

bool allHex(const std::string& s)
{
    for (unsigned char c : s)
        if (!std::isxdigit(c))
            return false;
    return true;
}

// The node id of a found reply: the 16 characters before its last one, ROM bytes in
// bus order, turned CRC first. Empty when the reply does not hold them after its quote.
std::string idFromReply(const std::string& reply)
{
    if (reply.size() < 17)
        return "";
    const auto q = reply.find('"');
    const std::size_t k = reply.size() - 17;
    if (q == std::string::npos || k < q + 1)
        return "";
    std::string bus = reply.substr(k, 16);
    if (!allHex(bus))
        return "";
    std::string id;
    for (int i = 7; i >= 0; --i)
        id += bus.substr(static_cast<std::size_t>(2 * i), 2);
    return core::upper(id);
}

// Reads n bytes into Data[first ..] from hex text; a text shorter than 2n characters
// is a failed read (the missing bytes become 0).
void takeBytes(const std::string& text, MemImage& image, int first, int last)
{
    const int n = last - first + 1;
    if (static_cast<int>(text.size()) < 2 * n)
        markIoError();
    Hex_To_Bytes(text, 1, image.Data, first, last);
}

class AmplifierMaster final : public OneWireMaster {
public:
    std::optional<bool> findNext(bool& Found, bool& Done, std::string& RomId, int& Family) override
    {
        DeviceState& ds = deviceState();
        std::string reply;
        if (ds.AmpAddressing) {
            reply = Mlan_Transaction("8081000085");
            const MlanReply r(reply);
            const std::string head = r.from(1);
            Done = head.rfind("80008101", 0) == 0 || head.rfind("8004", 0) == 0;
            Found = head.rfind("80008100", 0) == 0;
        } else {
            reply = Mlan_Transaction("800A02093385");
            Found = reply.rfind("28,\"0D80000A0933", 0) == 0 && reply.find("28,\"FFFFFFFFF") == std::string::npos;
            ds.SingleNodeToggle = !ds.SingleNodeToggle;
            Done = ds.SingleNodeToggle;
        }
        if (Done)
            Found = false;
        if (Found) {
            RomId = idFromReply(reply);
            if (RomId.empty())
                Found = false;
            else
                Family = leadingHexValue(RomId, 14, 2);
        }
        // On a multi-drop channel a reply that reports neither a node nor the end (empty,
        // unrecognised, or without a usable id) ends the pass, so a scan cannot run for ever.
        if (ds.AmpAddressing && !Found)
            Done = true;
        return Found && !Done;
    }

    // The amplifier's master answers for its own addressing: the proof asked for makes
    // no difference to the payloads.
    bool select(const std::string& RomId, NodeProof) override
    {
        if (deviceState().AmpAddressing) {
            std::string w;
            for (int pair = 8; pair >= 1; --pair)
                w += RomId.substr(std::min(RomId.size(), static_cast<std::size_t>(2 * pair - 2)), 2);
            if (Mlan_Transaction("0008" + w + "82").empty())
                markIoError();
        } else {
            Mlan_Send("800A0201CC");
        }
        return true;
    }

    void access() override { Mlan_Send(deviceState().AmpAddressing ? "82" : "800A0201CC"); }

    // The amplifier reads FFh from an empty line as from an erased node: a reset pulse
    // tells them apart. Its record is 80h and the presence status, 00h when a node
    // answered (on a multi-drop channel with other nodes that is any node).
    bool nodeAnswers() override
    {
        const MlanReply reply(Mlan_Transaction("8085"));
        return reply.byteAt(1) == 0x80 && reply.byteAt(2) == 0x00;
    }

    void end() override { Pelox_Send("MLAN OFF"); }

    std::uint8_t touchByte(int b) override
    {
        const MlanReply reply(Mlan_Transaction("0A0201" + hex(b) + "85"));
        const int v = reply.lastByte();
        if (v < 0) {
            markIoError();
            return 0;
        }
        return Clamp_Byte(v);
    }

    int touchBit(int b) override
    {
        // The bit read is the last byte before the closing quote, as for a byte.
        const MlanReply reply(Mlan_Transaction("090201" + hex(b) + "85"));
        const int v = reply.lastByte();
        if (v < 0) {
            markIoError();
            return 0;
        }
        return v;
    }

    void writeBlock(MemImage& image, int first, int last) override
    {
        const int n = last - first + 1;
        const std::string payload = "0A" + hex(n + 1) + hex(n) + Bytes_To_Hex(image.Data, first, last) + "85";
        const MlanReply reply(Mlan_Transaction(payload));
        // The bytes read back follow the command byte and the count, after the reply's
        // own count byte. Only whole bytes are looked at, so digits that straddle two
        // bytes of data cannot pass for the echo.
        const std::string key = "0A" + hex(n);
        std::size_t p = std::string::npos;
        for (std::size_t k = 2; k + key.size() <= reply.hex.size(); k += 2) {
            if (reply.hex.compare(k, key.size(), key) == 0) {
                p = k;
                break;
            }
        }
        if (p == std::string::npos) {
            markIoError();  // the sent bytes stay
            return;
        }
        takeBytes(reply.hex.substr(p + 4), image, first, last);
    }

    void readBlock(MemImage& image, int first, int last) override
    {
        for (int a = first; a <= last; a += MaxReadBlock) {
            const int b = std::min(a + MaxReadBlock - 1, last);
            const int n = b - a + 1;
            const MlanReply reply(Mlan_Transaction("0A01" + hex(n) + "85"));
            // Reply bytes: count, 0A, n, then the data.
            takeBytes(reply.from(3), image, a, b);
        }
    }

    void strongPullup(int ms) override
    {
        const std::string code = pullupCode(ms);
        if (code.empty())
            core::ShowMessage("Delay, maybe posible but not implemented here", platform::MsgOkOnly, "");
        Mlan_Transaction("03010B" + code + "0300");
    }

    // The link sends the pull-up as a payload of its own after the command.
    std::uint8_t touchByteThenPullup(int b, int ms) override
    {
        const std::uint8_t r = touchByte(b);
        strongPullup(ms);
        return r;
    }

    void writeBlockThenPullup(MemImage& image, int first, int last, int ms) override
    {
        writeBlock(image, first, last);
        strongPullup(ms);
    }

    int programByte(int, int, int, int&, int) override
    {
        core::ShowMessage("Function Program_Byte is not supported in Pelox", platform::MsgOkOnly, "");
        return 0;
    }
};

} // namespace

OneWireMaster& amplifierMaster()
{
    static AmplifierMaster master;
    return master;
}

} // namespace device
