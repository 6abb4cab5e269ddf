#pragma once
// The sound-card mixer control: mutes the card's microphone and line inputs and sets
// its line level, over a mixer backend (ALSA on Linux). Opening records the card's
// state, closing writes it back. Four controls are used: the speakers' master mute,
// the microphone and line-in mutes and the line destination's volume. A control that
// fails once is skipped until the next open. Failures and the mixer dump go to the
// trace window (written whether or not the trace is on); nothing is shown to the user.

#include "platform/mixer/mixerbackend.h"
#include "shell/mixer/soundmixer.h"

#include <functional>
#include <string>

namespace shell {

// One line's controls with their wanted (desired) and recorded (saved) values.
struct MixerControlSet {
    std::int32_t volume = 0;
    std::int32_t savedVolume = 0;
    bool mute = false;
    bool savedMute = false;
    bool volumePresent = false;
    bool mutePresent = false;
    platform::MixerControl volumeControl;
    platform::MixerControl muteControl;
};

class MixerCtrl final : public SoundMixerControl {
public:
    // backend: kept by the caller.
    explicit MixerCtrl(platform::MixerBackend& backend);

    void setMixer(int volume, bool mute) override;
    void getMixer(int& volume, bool& mute) override;
    void openMixerCtrl(int volume, bool mute) override;
    void closeMixerCtrl() override;
    void getAllMixerInfo() override;

    // The main window's mute box: ticked? (unset: the mute last passed in).
    std::function<bool()> volMuteTicked;
    // Shows the mute box's caption after an open.
    std::function<void(const std::string&)> showVolMuteCaption;

    platform::MixerHandle hMixer = 0;
    MixerControlSet MasterCtrl;   // speakers: mute
    MixerControlSet LineCtrl;     // line in: mute
    MixerControlSet LineDstCtrl;  // line destination: volume
    MixerControlSet MicCtrl;      // microphone: mute

private:
    // Writes the failure line of a call; true for success.
    bool MixerErrorText(const std::string& context, std::uint32_t result);
    static void ClearControlRecord(MixerControlSet& set);
    void ReadMixerState(bool saved);
    void ApplyMixerState(bool saved);
    bool GetVolumeControl(std::uint32_t componentType, MixerControlSet& set, bool saved);
    bool GetMuteControl(std::uint32_t componentType, MixerControlSet& set, bool saved);
    bool SetVolumeControl(MixerControlSet& set, bool saved);
    bool SetMuteControl(MixerControlSet& set, bool saved);
    void getMixerInfo(std::uint32_t device);
    void getMixerLineInfo(std::uint32_t destinationCount);
    void DumpMixerLine(const platform::MixerLine& line);
    void getallControlInfo(const platform::MixerLine& line);

    platform::MixerBackend& backend_;
    bool opened_ = false;  // the last open succeeded and no close followed
};

} // namespace shell
