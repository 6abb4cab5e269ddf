#pragma once
// The interface choice of the main window without its widgets: the Setup menu, the
// mode and speed panels, the tree's enabled state and tooltip, and the procedures
// that switch the program between the 1-Wire adapter and the amplifier link.
// The window shows this state and forwards its control events here.

#include "shell/iface/commmodepanel.h"
#include "shell/iface/ifacehost.h"
#include "shell/iface/setupmenu.h"

#include <string>

namespace platform {
class SerialPort;
}

namespace shell {

class Iface {
public:
    // port: the serial control MSComm1 of the amplifier link (kept by the caller).
    Iface(IfaceHost& host, platform::SerialPort& port);

    SetupMenu menu;
    CommModePanel modes;

    bool treeEnabled = true;
    std::string treeToolTip = "No interface selected";
    bool fileAndToolsEnabled = false;  // menus mFile and mTools

    // The menu and option states that loading sets before the settings are applied.
    void loadStartState();
    // Applies the stored settings; true when "Com port" and "Interface" were both found.
    bool GetDefault();

    // The menu handlers.
    void MnuSetupIF_Click(int index);
    void mnuIF_p_startup_Click(int index) { menu.mnuIF_p_startup_Click(index); changed(); }
    void mnuIF_p_Com_Click(int index) { menu.mnuIF_p_Com_Click(index); changed(); }
    void mnuIF_p_Driver_Click(int index);
    // SetDriver, with the sound mixer following the demo adaptor.
    void SetDriver(const std::string& caption, bool save);

    // Activates the chosen driver: posts job 5 and, with the server at start-up, job 8.
    void ActivateIF();
    // Job 5: switches to interface type 0 (adapter) or 1 (amplifier link). A serial
    // port that cannot be opened is reported, naming the port, and leaves no interface
    // active.
    void Set_IF(int type);

    // Lays out the mode panel for the chosen driver.
    void Set_CommModeWindow() { modes.Set_CommModeWindow(menu.driverChecked(kDriverDemo)); }

    platform::SerialPort& MSComm1() { return port_; }

private:
    void changed() { host_.changed(); }
    void dropAllNodes();
    // False when the port could not be opened.
    bool switchToAmplifier();

    IfaceHost& host_;
    platform::SerialPort& port_;
};

} // namespace shell
