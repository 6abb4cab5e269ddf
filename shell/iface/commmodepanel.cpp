#include "shell/iface/commmodepanel.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "device/base/devicestate.h"
#include "device/drivers/dualswitch.h"
#include "platform/base/clock.h"
#include "shell/iface/ifacestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/mixer/soundmixer.h"

namespace shell {

namespace {
constexpr int kDemoVolume = 5000;
}

CommModePanel::CommModePanel(IfaceHost& host) : Set_PIO_fam12(device::Set_PIO_fam12), host_(host) {}

void CommModePanel::SetModeO(int mode)
{
    for (auto& o : ModeO)
        o.enabled = true;
    selectMode(mode);
    host_.changed();
}

void CommModePanel::selectMode(int index)
{
    if (index < 0 || index > 2 || ModeO[static_cast<std::size_t>(index)].value)
        return;
    for (std::size_t i = 0; i < ModeO.size(); ++i)
        ModeO[i].value = static_cast<int>(i) == index;
    host_.changed();
    ModeO_Click(index);
}

void CommModePanel::ModeO_Click(int index)
{
    host_.postMainJob(MainJob::SetCommMode, static_cast<long long>(index));
    host_.parkFocus();
}

void CommModePanel::SetMode(int mode)
{
    const std::string& switchNode = core::coreState().SwitchNodeId;
    if (mode == kModePaused || mode == kModeScanning) {
        setVolMute(true);
        // The line in its 1-Wire position.
        if (!switchNode.empty() && Set_PIO_fam12)
            Set_PIO_fam12(switchNode, true, false);
    } else if (mode == kModeAnalog) {
        // The line in its analog position.
        if (!switchNode.empty() && Set_PIO_fam12)
            Set_PIO_fam12(switchNode, false, false);
        core::Delay(250);
        if (device::deviceState().InterfaceType == device::InterfaceType::AmplifierLink)
            amplifierWindow().Wakeup_Pelox();
        setVolMute(false);
    }
    ModeO[0].enabled = true;
    ModeO[2].enabled = true;
    ModeO[1].enabled = device::deviceState().InterfaceType == device::InterfaceType::Adapter;
    ifaceState().CommMode = mode;
    host_.changed();
    platform::processEvents();
}

void CommModePanel::Set_CommModeWindow(bool demoAdaptor)
{
    Vol_muteVisible = demoAdaptor;
    ModeO[2].visible = demoAdaptor;
    Frame2Height = demoAdaptor ? 1695 : 1000;
    host_.changed();
}

void CommModePanel::demoAdaptorChosen(bool chosen)
{
    if (chosen && !soundOpen_) {
        SoundMixer().openMixerCtrl(kDemoVolume, true);
        soundOpen_ = true;
        VolScroll = kDemoVolume;
        setVolMute(true);
    } else if (!chosen) {
        closeSound();
    }
    host_.changed();
}

void CommModePanel::closeSound()
{
    if (!soundOpen_)
        return;
    SoundMixer().closeMixerCtrl();
    soundOpen_ = false;
}

void CommModePanel::obSpeed_Click(int index)
{
    host_.parkFocus();
    core::Inifile_CreateKeyWithValue(core::coreState().IniPath, "ComSpeed", index > 0 ? 2 : 0);
}

void CommModePanel::Set_obSpeed(int value) { selectSpeed(value != 0 ? 1 : 0); }

void CommModePanel::selectSpeed(int index)
{
    if (index < 0 || index > 1 || obSpeed[static_cast<std::size_t>(index)].value)
        return;
    obSpeed[0].value = index == 0;
    obSpeed[1].value = index == 1;
    host_.changed();
    obSpeed_Click(index);
}

void CommModePanel::setVolMute(bool muted)
{
    if (Vol_mute == muted)
        return;
    Vol_mute = muted;
    host_.changed();
    Vol_mute_Click();
}

void CommModePanel::Vol_mute_Click()
{
    SoundMixer().setMixer(VolScroll, Vol_mute);
    host_.parkFocus();
}

} // namespace shell
