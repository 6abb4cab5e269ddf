// The 1-Wire adapter branch: the TMEX-like calls on the session a job's selection opens.

#include "device/onewire/onewiremaster.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/memimage/hexbytes.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/onewirewindow.h"
#include "device/onewire/session.h"
#include "device/onewire/tmexerror.h"
#include "platform/base/clock.h"

#include <algorithm>
#include <vector>

namespace device {

namespace {

// Session start with one immediate retry.
std::int32_t startSession()
{
    const DeviceState& ds = deviceState();
    const auto portNum = static_cast<std::int16_t>(ds.PortNum);
    const auto portType = static_cast<std::int16_t>(ds.PortType);
    std::int32_t handle = platform::TMExtendedStartSession(portNum, portType, 0);
    if (handle <= 0)
        handle = platform::TMExtendedStartSession(portNum, portType, 0);
    return handle;
}

// Longest run TMBlockStream takes in one call.
constexpr std::size_t MaxStream = 0x7FFF;

// A failed exchange of the job: marked, and a shorted bus told once.
void ioFailed(int code)
{
    markIoError();
    if (code == platform::TMEX_BUS_SHORT)
        Report_Bus_Short();
}

void accessFailed(int code)
{
    ioFailed(code);
    core::Tracewindow("uLAN_Access failed: " + TMEX_Error_Text(code));
}

// Sends the bytes over the job's session, one exchange per block; each byte is replaced
// by the byte read in its slots. A failed exchange ends the session: the I/O error is
// marked and the bytes read as 0 (what a failed byte call gives).
bool stream(std::vector<std::uint8_t>& bytes)
{
    const std::int32_t session = oneWireState().SessionHandle;
    for (std::size_t done = 0; done < bytes.size();) {
        const auto n = static_cast<std::int16_t>(std::min(MaxStream, bytes.size() - done));
        if (const std::int16_t r = platform::TMBlockStream(session, bytes.data() + done, n); r != n) {
            ioFailed(r);
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(done), bytes.end(), 0);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The bytes, then the strong pull-up from the end of the last byte's last slot (primed:
// the adapter switches it on itself, as a parasite-powered node needs it within
// microseconds), held for ms and ended; the adapter confirms the end.
bool streamThenPullup(ByteArray& bytes, int ms)
{
    const std::int32_t session = oneWireState().SessionHandle;
    platform::TMSetPullupTime(session, static_cast<std::int16_t>(std::clamp(ms, 0, 0x7FFF)));
    if (platform::TMOneWireLevel(session, 0, 1, platform::TMEX_PRIME_AFTER_BYTE) < 0) {
        markIoError();
        std::fill(bytes.begin(), bytes.end(), 0);
        return false;
    }
    const auto n = static_cast<std::int16_t>(bytes.size());
    const std::int16_t r = platform::TMBlockStream(session, bytes.data(), n);
    if (r != n) {
        ioFailed(r);  // no pull-up to hold
        std::fill(bytes.begin(), bytes.end(), 0);
        return false;
    }
    core::Delay(ms);
    if (platform::TMOneWireLevel(session, 0, 0, 0) != 0) {
        markIoError();
        return false;
    }
    return true;
}

class AdapterMaster final : public OneWireMaster {
public:
    std::optional<bool> findNext(bool& Found, bool& Done, std::string& RomId, int& Family) override
    {
        OneWireState& ow = oneWireState();
        DeviceState& ds = deviceState();
        bool result = false;
        ow.SessionHandle = startSession();
        platform::processEvents();
        if (ow.SessionHandle <= 0) {
            Report_Session_Error(static_cast<std::int16_t>(ow.SessionHandle));
        } else {
            result = true;
            Session_Opened();
            oneWireWindow().Set_CommModeWindow();
            Apply_Speed();
            if (!ds.SetupDone)
                ds.SetupDone = platform::TMSetup(ow.SessionHandle) == 1;
            const std::int16_t r = platform::TMNext(ow.SessionHandle, ow.TmexState);
            platform::processEvents();
            // A shorted bus is told once; the session stays valid, so the pass ends. The line
            // works when a node was found, or when a search found none; the step that ends
            // the pass behind its last node searches nothing (a short a job met since stays).
            if (r == platform::TMEX_BUS_SHORT)
                Report_Bus_Short();
            else if (r == 1 || (r == 0 && !ow.LastStepFound))
                Bus_Working();
            ow.LastStepFound = r == 1;
            Found = r == 1;
            if (Found) {
                platform::TmexRom rom{};
                rom[0] = 0;
                platform::TMRom(ow.SessionHandle, ow.TmexState, rom);
                platform::processEvents();
                RomId = romToNodeId(rom.data());
                Family = rom[0] & 0xFF;
            } else {
                Done = platform::TMValidSession(ow.SessionHandle) == 1;
            }
        }
        platform::TMEndSession(ow.SessionHandle);
        return result;
    }

    bool select(const std::string& RomId, NodeProof proof) override
    {
        OneWireState& ow = oneWireState();
        for (int i = 0; i <= 7; ++i) {
            const std::size_t pos = static_cast<std::size_t>(14 - 2 * i);  // pair 8 - i
            ow.RomBuffer[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(leadingHexValue(RomId, pos, 2));
        }
        // TMRom reads the current node instead of loading one when element 0 is 0: an
        // id without a family code must not select whatever node is current.
        if (ow.RomBuffer[0] == 0) {
            markIoError();
            core::Tracewindow("uLAN_SelectNode_Access failed");
            return false;
        }
        ow.SessionHandle = startSession();
        if (ow.SessionHandle <= 0) {
            markIoError();
            core::Tracewindow("uLAN_SelectNode_Access failed");
            Report_Session_Error(static_cast<std::int16_t>(ow.SessionHandle));
            return false;
        }
        Session_Opened();
        platform::TMRom(ow.SessionHandle, ow.TmexState, ow.RomBuffer);
        // The search proves the node once per job; the later accesses only match it.
        const std::int16_t r = proof == NodeProof::Search ? platform::TMAccess(ow.SessionHandle, ow.TmexState)
                                                          : platform::TMMatchAccess(ow.SessionHandle, ow.TmexState);
        if (r == 1)
            return true;
        markIoError();
        if (r == platform::TMEX_BUS_SHORT)
            Report_Bus_Short();
        core::Tracewindow("uLAN_SelectNode_Access failed: " + TMEX_Error_Text(r));
        // Leave no session open behind a node that did not answer.
        platform::TMEndSession(ow.SessionHandle);
        return false;
    }

    void access() override
    {
        OneWireState& ow = oneWireState();
        const std::int16_t r = platform::TMMatchAccess(ow.SessionHandle, ow.TmexState);
        if (r != 1)
            accessFailed(r);
    }

    bool nodeAnswers() override
    {
        OneWireState& ow = oneWireState();
        const std::int16_t r = platform::TMAccess(ow.SessionHandle, ow.TmexState);
        if (r != 1)
            accessFailed(r);
        return !ow.IoError;
    }

    void end() override { platform::TMEndSession(oneWireState().SessionHandle); }

    std::uint8_t touchByte(int b) override
    {
        const std::int16_t r = platform::TMTouchByte(oneWireState().SessionHandle, static_cast<std::int16_t>(b));
        if (r < 0)
            ioFailed(r);
        return Clamp_Byte(r);
    }

    int touchBit(int b) override
    {
        const std::int16_t r = platform::TMTouchBit(oneWireState().SessionHandle, static_cast<std::int16_t>(b));
        if (r < 0)
            markIoError();
        return r;
    }

    void writeBlock(MemImage& image, int first, int last) override
    {
        std::vector<std::uint8_t> bytes(image.Data.begin() + first, image.Data.begin() + last + 1);
        stream(bytes);
        std::copy(bytes.begin(), bytes.end(), image.Data.begin() + first);
    }

    void readBlock(MemImage& image, int first, int last) override
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(last - first + 1), 0xFF);
        stream(bytes);
        std::copy(bytes.begin(), bytes.end(), image.Data.begin() + first);
    }

    void strongPullup(int ms) override
    {
        const std::int32_t session = oneWireState().SessionHandle;
        if (platform::TMOneWireLevel(session, 0, 1, 0) < 0)
            markIoError();
        core::Delay(ms);
        if (platform::TMOneWireLevel(session, 0, 0, 0) != 0)
            markIoError();
    }

    std::uint8_t touchByteThenPullup(int b, int ms) override
    {
        ByteArray bytes{static_cast<std::uint8_t>(b & 0xFF)};
        return streamThenPullup(bytes, ms) ? bytes[0] : 0;
    }

    void writeBlockThenPullup(MemImage& image, int first, int last, int ms) override
    {
        ByteArray bytes(image.Data.begin() + first, image.Data.begin() + last + 1);
        streamThenPullup(bytes, ms);
        std::copy(bytes.begin(), bytes.end(), image.Data.begin() + first);
    }

    bool mergesBlocks() const override { return true; }

    void sendBlock(const ByteArray& bytes) override
    {
        const std::int32_t session = oneWireState().SessionHandle;
        for (std::size_t done = 0; done < bytes.size();) {
            const auto n = static_cast<std::int16_t>(std::min(MaxStream, bytes.size() - done));
            const std::int16_t r = platform::TMBlockSend(session, bytes.data() + done, n);
            if (r != n) {
                ioFailed(r);
                return;
            }
            done += static_cast<std::size_t>(n);
        }
    }

    void exchangeBlock(ByteArray& bytes) override { stream(bytes); }

    int programByte(int value, int address, int memoryType, int& bits, int zeros) override
    {
        OneWireState& ow = oneWireState();
        auto b = static_cast<std::int16_t>(bits);
        const std::int16_t r = platform::TMProgramByte(ow.SessionHandle, ow.TmexState, static_cast<std::int16_t>(value),
                                                       static_cast<std::int16_t>(address),
                                                       static_cast<std::int16_t>(memoryType), b,
                                                       static_cast<std::int16_t>(zeros));
        bits = b;
        return Clamp_Byte(r);
    }
};

} // namespace

OneWireMaster& adapterMaster()
{
    static AdapterMaster master;
    return master;
}

} // namespace device
