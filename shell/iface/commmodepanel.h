#pragma once
// The "Communication Mode" and "Communication Speed" panels and the sound input box:
// the mode chain (an option selection posts job 2, job 2 carries the mode out), the
// panel layout for the chosen driver, and the adapter speed choice.
//
// Setting an option or the mute box from code runs its click handler, but only when
// the value really changes.

#include "shell/iface/ifacehost.h"
#include "shell/iface/menuitemstate.h"

#include <array>
#include <functional>
#include <string>

namespace shell {

class CommModePanel {
public:
    explicit CommModePanel(IfaceHost& host);

    // ModeO(0) "Paused", (1) "Scanning", (2) "Analog".
    std::array<OptionState, 3> ModeO;
    // obSpeed(0) "Normal", (1) "Relaxed for long lines".
    std::array<OptionState, 2> obSpeed;
    bool Frame1Visible = false;
    std::string tbComm_mode;
    int Frame2Height = 1000;  // twips
    int VolScroll = 0;
    bool Vol_mute = false;    // ticked: sound input muted
    std::string Vol_muteCaption = "Mute mic. volume";  // the mixer names what it found
    bool Vol_muteVisible = true;

    // Enables the three options and selects option mode.
    void SetModeO(int mode);
    // Selects option index (user or code); a change raises ModeO_Click.
    void selectMode(int index);
    // Posts job 2 with the index.
    void ModeO_Click(int index);
    // Job 2: carries the mode out; CommMode := mode.
    void SetMode(int mode);

    // Lays out the mode panel for the chosen driver (the demo adaptor shows Analog and
    // the mute box).
    void Set_CommModeWindow(bool demoAdaptor);
    // The demo adaptor became (or stopped being) the chosen driver: the sound mixer
    // is opened (or closed, which restores the card's state).
    void demoAdaptorChosen(bool chosen);
    // Closes the mixer when this panel opened it.
    void closeSound();
    bool soundOpen() const { return soundOpen_; }

    void obSpeed_Click(int index);
    // 0 selects "Normal", anything else "Relaxed for long lines".
    void Set_obSpeed(int value);
    // Selects speed option index (user or code); a change raises obSpeed_Click.
    void selectSpeed(int index);

    // Sets the mute box; a change raises Vol_mute_Click.
    void setVolMute(bool muted);
    void Vol_mute_Click();

    // Sets the switch node's two outputs (id, PIO A, PIO B); the dual-switch driver
    // unless replaced.
    std::function<void(const std::string&, bool, bool)> Set_PIO_fam12;

private:
    IfaceHost& host_;
    bool soundOpen_ = false;
};

} // namespace shell
