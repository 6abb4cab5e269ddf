#include "device/onewire/session.h"

#include "core/base/message.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/onewirewindow.h"
#include "platform/onewire/tmex.h"

namespace device {

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
    const InterfaceType type = deviceState().InterfaceType;
    if (type == InterfaceType::Adapter)
        return adapterMaster().findNext(Found, Done, RomId, Family);
    if (type == InterfaceType::AmplifierLink)
        return amplifierMaster().findNext(Found, Done, RomId, Family);
    // No interface: nothing to search, and the pass is over.
    Done = true;
    return std::nullopt;
}

bool uLAN_SelectNode_Access(const std::string& RomId) { return selectNode(RomId, NodeProof::Search); }

bool selectNode(const std::string& RomId, NodeProof proof)
{
    oneWireState().IoError = false;
    return oneWireMaster().select(RomId, proof);
}

void uLAN_Access() { oneWireMaster().access(); }

bool nodeStillAnswers()
{
    const bool answers = oneWireMaster().nodeAnswers();
    return answers && !oneWireState().IoError;
}

void uLAN_End() { oneWireMaster().end(); }

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
