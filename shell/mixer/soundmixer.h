#pragma once
// The sound-card mixer as the shell uses it: mute the microphone and line inputs while
// the program talks to nodes digitally, open them in the Analog mode, set the line
// level. Opening remembers the card's state, closing puts it back.
//
// One instance is in force (SoundMixer()); until a real mixer is registered it is the
// null mixer, which only keeps the values it is given.

namespace shell {

class SoundMixerControl {
public:
    virtual ~SoundMixerControl() = default;
    // Records the card's state for closeMixerCtrl, then applies volume and mute.
    virtual void openMixerCtrl(int volume, bool mute) = 0;
    // Restores the state recorded at the last open.
    virtual void closeMixerCtrl() = 0;
    // Applies volume and mute (before any open only the wanted values are kept).
    virtual void setMixer(int volume, bool mute) = 0;
    // Reads the card's state into volume and mute.
    virtual void getMixer(int& volume, bool& mute) = 0;
    // Writes the description of every mixer to the trace window.
    virtual void getAllMixerInfo() = 0;
};

// Keeps the wanted values and touches no sound card.
class NullMixer final : public SoundMixerControl {
public:
    void openMixerCtrl(int volume, bool mute) override { setMixer(volume, mute); }
    void closeMixerCtrl() override {}
    void setMixer(int volume, bool mute) override
    {
        volume_ = volume;
        mute_ = mute;
    }
    void getMixer(int& volume, bool& mute) override
    {
        volume = volume_;
        mute = mute_;
    }
    void getAllMixerInfo() override {}

private:
    int volume_ = 0;
    bool mute_ = false;
};

// The mixer in force. nullptr restores the null mixer; the caller keeps ownership.
SoundMixerControl& SoundMixer();
void setSoundMixer(SoundMixerControl* mixer);

} // namespace shell
