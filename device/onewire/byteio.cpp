#include "device/onewire/byteio.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/memimage/hexbytes.h"
#include "device/onewire/mlanreply.h"
#include "device/onewire/onewirestate.h"
#include "device/amplink/peloxtransport.h"

#include <algorithm>
#include <string>

namespace device {

namespace {

constexpr int MaxWriteBlock = 32;
constexpr int MaxReadBlock = 41;

bool tmexBranch() { return deviceState().InterfaceType == 0; }

void ioFailed() { oneWireState().IoError = true; }

std::string hex(int value) { return core::ByteToHex2(static_cast<unsigned>(value) & 0xFF); }

// Reads n bytes into Data[first ..] from hex text; a text shorter than 2n characters
// is a failed read (the missing bytes become 0).
void takeBytes(const std::string& text, MemImage& image, int first, int last)
{
    const int n = last - first + 1;
    if (static_cast<int>(text.size()) < 2 * n)
        ioFailed();
    Hex_To_Bytes(text, 1, image.Data, first, last);
}

void blockWriteAmplifier(MemImage& image, int first, int last)
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
        ioFailed();  // the sent bytes stay
        return;
    }
    takeBytes(reply.hex.substr(p + 4), image, first, last);
}

void blockReadAmplifier(MemImage& image, int first, int last)
{
    for (int a = first; a <= last; a += MaxReadBlock) {
        const int b = std::min(a + MaxReadBlock - 1, last);
        const int n = b - a + 1;
        const MlanReply reply(Mlan_Transaction("0A01" + hex(n) + "85"));
        // Reply bytes: count, 0A, n, then the data.
        takeBytes(reply.from(3), image, a, b);
    }
}

} // namespace

std::uint8_t Touch_Byte(int b)
{
    if (tmexBranch()) {
        const std::int16_t r = platform::TMTouchByte(oneWireState().SessionHandle, static_cast<std::int16_t>(b));
        if (r < 0)
            ioFailed();
        return Clamp_Byte(r);
    }
    const MlanReply reply(Mlan_Transaction("0A0201" + hex(b) + "85"));
    const int v = reply.lastByte();
    if (v < 0) {
        ioFailed();
        return 0;
    }
    return Clamp_Byte(v);
}

int Touch_Bit(int b)
{
    if (tmexBranch()) {
        const std::int16_t r = platform::TMTouchBit(oneWireState().SessionHandle, static_cast<std::int16_t>(b));
        if (r < 0)
            ioFailed();
        return r;
    }
    // The bit read is the last byte before the closing quote, as for a byte.
    const MlanReply reply(Mlan_Transaction("090201" + hex(b) + "85"));
    const int v = reply.lastByte();
    if (v < 0) {
        ioFailed();
        return 0;
    }
    return v;
}

void Block_IO(MemImage& image, bool WriteFlag, int first, int last)
{
    const int n = last - first + 1;
    if (WriteFlag && n > MaxWriteBlock) {
        const std::string text = "Error page too large for write, please report error - job canceled";
        core::ShowMessage(text, platform::MsgOkOnly, "");
        core::Tracewindow(text);
        ioFailed();
        return;
    }
    if (n <= 0 || first < 0)
        return;
    if (static_cast<int>(image.Data.size()) <= last)
        image.Data.resize(static_cast<std::size_t>(last) + 1, 0);

    if (tmexBranch()) {
        for (int i = first; i <= last; ++i) {
            auto& byte = image.Data[static_cast<std::size_t>(i)];
            byte = Touch_Byte(WriteFlag ? byte : 0xFF);
        }
        return;
    }
    if (WriteFlag)
        blockWriteAmplifier(image, first, last);
    else
        blockReadAmplifier(image, first, last);
}

void Block_IO_Page(MemImage& image, bool WriteFlag, int page)
{
    const int first = (page - 1) * image.PageSize + 1;
    Block_IO(image, WriteFlag, first, first + image.PageSize - 1);
}

std::string pullupCode(int ms)
{
    if (ms <= 32)
        return "80";
    switch (ms) {
    case 64:
        return "81";
    case 128:
        return "82";
    case 512:
        return "83";
    case 1024:
        return "84";
    default:
        return "";
    }
}

void Strong_Pullup(int ms)
{
    if (tmexBranch()) {
        const std::int32_t session = oneWireState().SessionHandle;
        if (platform::TMOneWireLevel(session, 0, 1, 0) < 0)
            ioFailed();
        core::Delay(ms);
        if (platform::TMOneWireLevel(session, 0, 0, 0) < 0)
            ioFailed();
        return;
    }
    const std::string code = pullupCode(ms);
    if (code.empty())
        core::ShowMessage("Delay, maybe posible but not implemented here", platform::MsgOkOnly, "");
    Mlan_Transaction("03010B" + code + "0300");
}

int Program_Byte(int value, int address, int memoryType, int& bits, int zeros)
{
    if (tmexBranch()) {
        OneWireState& ow = oneWireState();
        auto b = static_cast<std::int16_t>(bits);
        const std::int16_t r = platform::TMProgramByte(ow.SessionHandle, ow.TmexState, static_cast<std::int16_t>(value),
                                                       static_cast<std::int16_t>(address),
                                                       static_cast<std::int16_t>(memoryType), b,
                                                       static_cast<std::int16_t>(zeros));
        bits = b;
        return Clamp_Byte(r);
    }
    core::ShowMessage("Function Program_Byte is not supported in Pelox", platform::MsgOkOnly, "");
    return 0;
}

} // namespace device
