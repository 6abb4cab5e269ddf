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
            oneWireWindow().Set_CommModeWindow();
            Apply_Speed();
            if (!ds.SetupDone)
                ds.SetupDone = platform::TMSetup(ow.SessionHandle) == 1;
            const std::int16_t r = platform::TMNext(ow.SessionHandle, ow.TmexState);
            platform::processEvents();
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
        platform::TMRom(ow.SessionHandle, ow.TmexState, ow.RomBuffer);
        // The search proves the node once per job; the later accesses only match it.
        const std::int16_t r = proof == NodeProof::Search ? platform::TMAccess(ow.SessionHandle, ow.TmexState)
                                                          : platform::TMMatchAccess(ow.SessionHandle, ow.TmexState);
        if (r == 1)
            return true;
        markIoError();
        core::Tracewindow("uLAN_SelectNode_Access failed: " + TMEX_Error_Text(r));
        // Leave no session open behind a node that did not answer.
        platform::TMEndSession(ow.SessionHandle);
        return false;
    }

    void access() override
    {
        OneWireState& ow = oneWireState();
        const std::int16_t r = platform::TMMatchAccess(ow.SessionHandle, ow.TmexState);
        if (r != 1) {
            markIoError();
            core::Tracewindow("uLAN_Access failed: " + TMEX_Error_Text(r));
        }
    }

    bool nodeAnswers() override
    {
        OneWireState& ow = oneWireState();
        const std::int16_t r = platform::TMAccess(ow.SessionHandle, ow.TmexState);
        if (r != 1) {
            markIoError();
            core::Tracewindow("uLAN_Access failed: " + TMEX_Error_Text(r));
        }
        return !ow.IoError;
    }

    void end() override { platform::TMEndSession(oneWireState().SessionHandle); }

    std::uint8_t touchByte(int b) override
    {
        const std::int16_t r = platform::TMTouchByte(oneWireState().SessionHandle, static_cast<std::int16_t>(b));
        if (r < 0)
            markIoError();
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
        for (int i = first; i <= last; ++i) {
            auto& byte = image.Data[static_cast<std::size_t>(i)];
            byte = touchByte(byte);
        }
    }

    void readBlock(MemImage& image, int first, int last) override
    {
        for (int i = first; i <= last; ++i)
            image.Data[static_cast<std::size_t>(i)] = touchByte(0xFF);
    }

    void strongPullup(int ms) override
    {
        const std::int32_t session = oneWireState().SessionHandle;
        if (platform::TMOneWireLevel(session, 0, 1, 0) < 0)
            markIoError();
        core::Delay(ms);
        if (platform::TMOneWireLevel(session, 0, 0, 0) < 0)
            markIoError();
    }

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
