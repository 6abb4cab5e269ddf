#include "device/onewire/session.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/memimage/hexbytes.h"
#include "device/onewire/mlanreply.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/onewirewindow.h"
#include "device/onewire/tmexerror.h"
#include "device/amplink/peloxtransport.h"

#include <algorithm>
#include <cctype>

namespace device {

namespace {

bool tmexBranch() { return deviceState().InterfaceType == 0; }

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

std::optional<bool> findNextTmex(bool& Found, bool& Done, std::string& RomId, int& Family)
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

std::optional<bool> findNextAmplifier(bool& Found, bool& Done, std::string& RomId, int& Family)
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

} // namespace

std::string romToNodeId(const std::int16_t* rom)
{
    std::string id;
    for (int i = 7; i >= 0; --i)
        id += core::ByteToHex2(static_cast<unsigned>(rom[i]) & 0xFF);
    return id;
}

std::optional<bool> uLAN_FindNext(bool& Found, bool& Done, std::string& RomId, int& Family)
{
    Found = false;
    Done = false;
    RomId.clear();
    Family = 0;
    const int type = deviceState().InterfaceType;
    if (type == 0)
        return findNextTmex(Found, Done, RomId, Family);
    if (type == 1)
        return findNextAmplifier(Found, Done, RomId, Family);
    // No interface: nothing to search, and the pass is over.
    Done = true;
    return std::nullopt;
}

bool uLAN_SelectNode_Access(const std::string& RomId)
{
    OneWireState& ow = oneWireState();
    const DeviceState& ds = deviceState();
    ow.IoError = false;
    if (tmexBranch()) {
        for (int i = 0; i <= 7; ++i) {
            const std::size_t pos = static_cast<std::size_t>(14 - 2 * i);  // pair 8 - i
            ow.RomBuffer[static_cast<std::size_t>(i)] =
                static_cast<std::int16_t>(leadingHexValue(RomId, pos, 2));
        }
        // TMRom reads the current node instead of loading one when element 0 is 0: an
        // id without a family code must not select whatever node is current.
        if (ow.RomBuffer[0] == 0) {
            ow.IoError = true;
            core::Tracewindow("uLAN_SelectNode_Access failed");
            return false;
        }
        ow.SessionHandle = startSession();
        if (ow.SessionHandle <= 0) {
            ow.IoError = true;
            core::Tracewindow("uLAN_SelectNode_Access failed");
            Report_Session_Error(static_cast<std::int16_t>(ow.SessionHandle));
            return false;
        }
        platform::TMRom(ow.SessionHandle, ow.TmexState, ow.RomBuffer);
        const std::int16_t r = platform::TMAccess(ow.SessionHandle, ow.TmexState);
        if (r == 1)
            return true;
        ow.IoError = true;
        core::Tracewindow("uLAN_SelectNode_Access failed: " + TMEX_Error_Text(r));
        // Leave no session open behind a node that did not answer.
        platform::TMEndSession(ow.SessionHandle);
        return false;
    }

    if (ds.AmpAddressing) {
        std::string w;
        for (int pair = 8; pair >= 1; --pair)
            w += RomId.substr(std::min(RomId.size(), static_cast<std::size_t>(2 * pair - 2)), 2);
        if (Mlan_Transaction("0008" + w + "82").empty())
            ow.IoError = true;
    } else {
        Mlan_Send("800A0201CC");
    }
    return true;
}

void uLAN_Access()
{
    OneWireState& ow = oneWireState();
    if (tmexBranch()) {
        const std::int16_t r = platform::TMAccess(ow.SessionHandle, ow.TmexState);
        if (r != 1) {
            ow.IoError = true;
            core::Tracewindow("uLAN_Access failed: " + TMEX_Error_Text(r));
        }
        return;
    }
    Mlan_Send(deviceState().AmpAddressing ? "82" : "800A0201CC");
}

void uLAN_End()
{
    if (tmexBranch())
        platform::TMEndSession(oneWireState().SessionHandle);
    else
        Pelox_Send("MLAN OFF");
}

void Set_Speed(std::int32_t session, int speed)
{
    platform::TMOneWireCom(session, 0, static_cast<std::int16_t>(speed));
}

void Get_Speed(std::int32_t session, int& speed)
{
    speed = platform::TMOneWireCom(session, 1, static_cast<std::int16_t>(speed));
}

void Apply_Speed()
{
    OneWireWindow& w = oneWireWindow();
    if (!w.ds9097uDriverChecked()) {
        w.setSpeedFrameVisible(false);
        return;
    }
    const std::int32_t session = oneWireState().SessionHandle;
    w.setSpeedFrameVisible(true);
    if (w.speedOptionSet(0))
        Set_Speed(session, platform::TMEX_SPEED_NORMAL);
    if (w.speedOptionSet(1))
        Set_Speed(session, platform::TMEX_SPEED_RELAXED);
    int speed = 0;
    Get_Speed(session, speed);
    switch (speed) {
    case 0:
        w.showCommMode("Normal");
        break;
    case 1:
        w.showCommMode("Overdrive");
        break;
    case 2:
        w.showCommMode("Relaxed");
        break;
    default:
        break;
    }
}

} // namespace device
