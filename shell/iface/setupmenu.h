#pragma once
// The Setup menu's state and the procedures that keep it: driver and port choice,
// the start-up items, and which items may be used. Choices are saved in the settings
// file when the user makes them.

#include "shell/iface/menuitemstate.h"

#include <array>
#include <string>

namespace shell {

// Driver items of "microLAN driver".
enum DriverItem : int {
    kDriverDemo = 0,
    kDriverPelox = 1,
    kDriverDS9097E = 2,
    kDriverDS9097U = 3,
    kDriverDefault = 4,
    kDriverDS9490R = 5,
    kDriverCount = 6,
};

// The captions, which are also the stored "Interface" values.
extern const std::array<const char*, kDriverCount> kDriverCaptions;

class SetupMenu {
public:
    SetupMenu();

    // (0) "Activate interface", (1) "Active at Startup", (2) "ComPort",
    // (3) "microLAN driver", (4) "T-block Server".
    std::array<MenuItemState, 5> MnuSetupIF;
    // (1) "Interface", (2) "T-block server"; element 0 unused.
    std::array<MenuItemState, 3> mnuIF_p_startup;
    // (1..4) "Com1".."Com4"; element 0 unused.
    std::array<MenuItemState, 5> mnuIF_p_Com;
    std::array<MenuItemState, kDriverCount> mnuIF_p_Driver;

    // Checks the item with exactly that caption (none when no caption matches), sets
    // PortType and the activation item's caption and Tag. save writes "Interface".
    void SetDriver(const std::string& caption, bool save);
    // Checks COM item port (none when out of range), PortNum := port; save writes "Com port".
    void SetCom(int port, bool save);
    // which 1 "Interface", 2 "T-block server"; save writes its key.
    void SetActiveAtStartup(int which, bool value, bool save);
    // Enables the activation and start-up items once a driver and a port are chosen;
    // the USB driver takes port 1 by itself.
    void Interface_setup_done();

    void mnuIF_p_Com_Click(int index);
    void mnuIF_p_startup_Click(int index);

    // Index of the checked driver item, -1 when none.
    int checkedDriver() const;
    bool driverChecked(int index) const { return checkedDriver() == index; }
    bool startupChecked(int which) const { return mnuIF_p_startup[static_cast<std::size_t>(which)].checked; }
};

} // namespace shell
