#include "shell/mixer/mixerctrl.h"

#include "core/base/trace.h"
#include "shell/mixer/mixertexts.h"

namespace shell {

namespace {

void log(const std::string& line) { core::logTracewindow(line); }

std::string banner28(const std::string& t)
{
    const std::string stars(28, '*');
    return stars + "  " + t + "  " + stars;
}

std::string banner38(const std::string& t)
{
    const std::string stars(38, '*');
    return stars + " " + t + " " + stars;
}

} // namespace

MixerCtrl::MixerCtrl(platform::MixerBackend& backend) : backend_(backend) {}

bool MixerCtrl::MixerErrorText(const std::string& context, std::uint32_t result)
{
    if (result == platform::MixerOk)
        return true;
    log(context + " error, no.: " + std::to_string(result) + mixerResultSuffix(result));
    return false;
}

void MixerCtrl::ClearControlRecord(MixerControlSet& set)
{
    set.volume = 0;
    set.savedVolume = 0;
    set.mute = false;
    set.savedMute = false;
    set.volumePresent = true;
    set.mutePresent = true;
}

bool MixerCtrl::GetVolumeControl(std::uint32_t componentType, MixerControlSet& set, bool saved)
{
    platform::MixerLine line;
    line.componentType = componentType;
    if (!MixerErrorText("GetVolumeControl, mixerGetLineInfo", backend_.lineByComponent(hMixer, line)))
        return false;
    platform::MixerControl c;
    const bool present = MixerErrorText("GetVolumeControl, mixerGetLineControls",
                                        backend_.controlByType(hMixer, line.lineId, platform::ControlVolume, c));
    if (present)
        set.volumeControl = c;
    std::int32_t value = 0;
    if (!MixerErrorText("GetVolumeControl, mixerGetControlDetails",
                        backend_.getValue(hMixer, set.volumeControl.controlId, value)))
        value = 0;  // the zero-filled buffer
    (saved ? set.savedVolume : set.volume) = value;
    return present;
}

bool MixerCtrl::GetMuteControl(std::uint32_t componentType, MixerControlSet& set, bool saved)
{
    platform::MixerLine line;
    line.componentType = componentType;
    if (!MixerErrorText("GetMuteControl, mixerGetLineInfo", backend_.lineByComponent(hMixer, line)))
        return false;
    platform::MixerControl c;
    const bool present = MixerErrorText("GetMuteControl, mixerGetLineControls",
                                        backend_.controlByType(hMixer, line.lineId, platform::ControlMute, c));
    if (present)
        set.muteControl = c;
    std::int32_t value = 0;
    if (!MixerErrorText("GetMuteControl, mixerGetControlDetails", backend_.getValue(hMixer, set.muteControl.controlId, value)))
        value = 0;
    (saved ? set.savedMute : set.mute) = value != 0;
    return present;
}

bool MixerCtrl::SetVolumeControl(MixerControlSet& set, bool saved)
{
    return MixerErrorText("SetVolumeControl, mixerSetControlDetails",
                          backend_.setValue(hMixer, set.volumeControl.controlId, saved ? set.savedVolume : set.volume));
}

bool MixerCtrl::SetMuteControl(MixerControlSet& set, bool saved)
{
    const bool mute = saved ? set.savedMute : set.mute;
    return MixerErrorText("SetMuteControl, mixerSetControlDetails",
                          backend_.setValue(hMixer, set.muteControl.controlId, mute ? 1 : 0));
}

void MixerCtrl::ReadMixerState(bool saved)
{
    if (LineDstCtrl.volumePresent && !(LineDstCtrl.volumePresent = GetVolumeControl(platform::DstLine, LineDstCtrl, saved)))
        log("Get volume DST_LINE failed");
    if (MasterCtrl.mutePresent && !(MasterCtrl.mutePresent = GetMuteControl(platform::DstSpeakers, MasterCtrl, saved)))
        log("Get mute DST_SPEAKERS failed");
    if (MicCtrl.mutePresent && !(MicCtrl.mutePresent = GetMuteControl(platform::SrcMicrophone, MicCtrl, saved)))
        log("Get mute SRC_MICROPHONE failed");
    if (LineCtrl.mutePresent && !(LineCtrl.mutePresent = GetMuteControl(platform::SrcLine, LineCtrl, saved)))
        log("Get mute SRC_LINE failed");
}

void MixerCtrl::ApplyMixerState(bool saved)
{
    if (LineDstCtrl.volumePresent && !(LineDstCtrl.volumePresent = SetVolumeControl(LineDstCtrl, saved)))
        log("LineCtrl dst level failed");
    if (MasterCtrl.mutePresent && !(MasterCtrl.mutePresent = SetMuteControl(MasterCtrl, saved)))
        log("MasterCtrl mute failed");
    if (MicCtrl.mutePresent && !(MicCtrl.mutePresent = SetMuteControl(MicCtrl, saved)))
        log("MicCtrl mute failed");
    if (LineCtrl.mutePresent && !(LineCtrl.mutePresent = SetMuteControl(LineCtrl, saved)))
        log("LineCtrl mute failed");
}

void MixerCtrl::setMixer(int volume, bool mute)
{
    if (mute && !MasterCtrl.mute) {
        MicCtrl.mute = true;
        LineCtrl.mute = true;
    }
    // The box, not the argument, decides the unmuting.
    const bool ticked = volMuteTicked ? volMuteTicked() : mute;
    if (!ticked) {
        MasterCtrl.mute = false;
        MicCtrl.mute = false;
        LineCtrl.mute = false;
    }
    LineDstCtrl.volume = volume;
    ApplyMixerState(false);
}

void MixerCtrl::getMixer(int& volume, bool& mute)
{
    ReadMixerState(false);
    mute = MicCtrl.mute || LineCtrl.mute || MasterCtrl.mute;
    volume = LineDstCtrl.volume;
}

void MixerCtrl::openMixerCtrl(int volume, bool mute)
{
    ClearControlRecord(MasterCtrl);
    ClearControlRecord(MicCtrl);
    ClearControlRecord(LineCtrl);
    ClearControlRecord(LineDstCtrl);
    const bool opened = MixerErrorText("initMixerCtrl failed", backend_.open(0, hMixer));
    opened_ = opened;
    if (opened) {
        ReadMixerState(true);
        setMixer(volume, mute);
    }
    std::string caption;
    if (MicCtrl.mutePresent && LineCtrl.mutePresent)
        caption = "mute microphone and line";
    else if (MicCtrl.mutePresent)
        caption = "mute microphone";
    else if (LineCtrl.mutePresent)
        caption = "mute line";
    else
        caption = "mute, error could not find microphone or line";
    if (showVolMuteCaption)
        showVolMuteCaption(caption);
    if (!opened) {
        // No mixer: nothing to set or restore, and nothing more to report until the
        // next open.
        for (MixerControlSet* s : {&MasterCtrl, &MicCtrl, &LineCtrl, &LineDstCtrl}) {
            s->volumePresent = false;
            s->mutePresent = false;
        }
    }
}

void MixerCtrl::closeMixerCtrl()
{
    ApplyMixerState(true);
    // A handle the last open never got is not closed (nothing more to report).
    if (opened_)
        MixerErrorText("cloxeMixerCtrl failed", backend_.close(hMixer));
    opened_ = false;
}

void MixerCtrl::getAllMixerInfo()
{
    log("Mixer info:");
    const std::uint32_t count = backend_.numDevs();
    log("No. of mixers: " + std::to_string(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        log("Info for mixer: " + std::to_string(i + 1));
        getMixerInfo(i);
    }
    log("");
}

void MixerCtrl::getMixerInfo(std::uint32_t device)
{
    platform::MixerCaps caps;
    backend_.getDevCaps(device, caps);
    log("Manufacture id: \t" + std::to_string(caps.mid));
    log("Product id: \t" + std::to_string(caps.pid));
    log("Driver version: \t" + std::to_string(caps.driverVersion));
    log("Product name: \t" + TrimAtNul(caps.pname));
    log("Count of destinations: \t" + std::to_string(caps.destinations));
    MixerErrorText("getMixerInfo open mixer failed", backend_.open(device, hMixer));
    log(banner38("List all mixerline info"));
    getMixerLineInfo(caps.destinations);
    log(banner38("end of all mixerline info list"));
    MixerErrorText("getMixerInfo close mixer failed", backend_.close(hMixer));
}

void MixerCtrl::getMixerLineInfo(std::uint32_t destinationCount)
{
    log(banner28("Destination"));
    log("getMixerLineInfo called for destination no: " + std::to_string(destinationCount));
    for (std::uint32_t d = 0; d < destinationCount; ++d) {
        platform::MixerLine line;
        line.destination = d;
        if (MixerErrorText("getMixerLineInfo, for destination no: " + std::to_string(d), backend_.lineByDestination(hMixer, line))) {
            log("MIXER_GETLINEINFOF_DESTINATION: destination no: " + std::to_string(d));
            DumpMixerLine(line);
            const std::uint32_t connections = line.connections;
            for (std::uint32_t s = 0; s < connections; ++s) {
                line.destination = d;
                line.source = s;
                const std::string where = "destination no: " + std::to_string(d) + ", source no: " + std::to_string(s);
                if (MixerErrorText("getMixerLineInfo, for " + where, backend_.lineBySource(hMixer, line))) {
                    log("MIXER_GETLINEINFOF_SOURCE: " + where);
                    log(banner28("Source"));
                    DumpMixerLine(line);
                }
                log("");
                log(banner38("List all mixerline controls"));
                getallControlInfo(line);
                log(banner38("end of all mixerline controls list"));
                log("");
            }
        }
        log("");
    }
}

void MixerCtrl::DumpMixerLine(const platform::MixerLine& l)
{
    log("cbStruct         : 168");
    log("dwDestination    : " + std::to_string(l.destination));
    log("dwSource         : " + std::to_string(l.source));
    log("dwLineID         : " + std::to_string(l.lineId));
    log("fdwLine          : " + LineFlagsText(l.flags));
    log("dwUser           : " + std::to_string(l.user));
    log("dwComponent      : " + ComponentTypeText(l.componentType));
    log("cChannels        : " + std::to_string(l.channels));
    log("cConnections     : " + std::to_string(l.connections));
    log("szShortName      : " + TrimAtNul(l.shortName));
    log("szName           : " + TrimAtNul(l.name));
    log("target : ");
    log(" dwType          : " + std::to_string(l.target.type));
    log(" dwDeviceID      : " + std::to_string(l.target.deviceId));
    log(" dwMid           : " + std::to_string(l.target.mid));
    log(" wPid            : " + std::to_string(l.target.pid));
    log(" vDriverVersion  : " + std::to_string(l.target.driverVersion));
    log(" szPname         : " + TrimAtNul(l.target.pname));
}

void MixerCtrl::getallControlInfo(const platform::MixerLine& line)
{
    if (line.controls == 0) {
        log("No controls");
        return;
    }
    std::vector<platform::MixerControl> controls;
    if (!MixerErrorText("getallControlInfo, mixerGetLineControls", backend_.allControls(hMixer, line.lineId, controls)))
        return;
    for (const auto& c : controls) {
        log("cbStruct         : 152");
        log("dwControlID      : " + std::to_string(c.controlId));
        log("dwControlType    : " + ControlTypeText(c.controlType));
        log("fdwControl       : " + ControlFlagsText(c.flags));
        log("cMultipleItems   : " + std::to_string(c.multipleItems));
        log("szShortName      : " + TrimAtNul(c.shortName));
        log("szName           : " + TrimAtNul(c.name));
        log("lMinimum         : " + std::to_string(c.minimum));
        log("lMaximum         : " + std::to_string(c.maximum));
        for (std::size_t k = 0; k < c.reserved.size(); ++k)
            log("Reserved (" + std::to_string(k) + ")    : " + std::to_string(c.reserved[k]));
    }
}

} // namespace shell
