#include "shell/iface/setupmenu.h"

#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "device/base/devicestate.h"

namespace shell {

const std::array<const char*, kDriverCount> kDriverCaptions = {
    "Z&Q Demo adaptor type RV3308", "Pelox, 6188",
    "Dallas DS9097E",               "Dallas DS9097U",
    "Dallas \"default microLAN\"",  "Dallas DS9490R",
};

namespace {

// Port type per driver item; 0 keeps the one set before.
constexpr std::array<int, kDriverCount> kPortTypes = {1, 0, 1, 5, 0, 6};

void save(const std::string& key, int value)
{
    core::Inifile_CreateKeyWithValue(core::coreState().IniPath, key, value);
}

} // namespace

SetupMenu::SetupMenu()
{
    MnuSetupIF[0].caption = "Activate interface";
    MnuSetupIF[0].enabled = false;
    MnuSetupIF[1].caption = "Active at Startup";
    MnuSetupIF[2].caption = "ComPort";
    MnuSetupIF[3].caption = "microLAN driver";
    MnuSetupIF[4].caption = "T-block Server";
    mnuIF_p_startup[1].caption = "Interface";
    mnuIF_p_startup[2].caption = "T-block server";
    for (int i = 1; i <= 4; ++i)
        mnuIF_p_Com[static_cast<std::size_t>(i)].caption = "Com" + std::to_string(i);
    for (int i = 0; i < kDriverCount; ++i)
        mnuIF_p_Driver[static_cast<std::size_t>(i)].caption = kDriverCaptions[static_cast<std::size_t>(i)];
    mnuIF_p_Driver[kDriverDefault].visible = false;
    mnuIF_p_Driver[kDriverDefault].enabled = false;
}

int SetupMenu::checkedDriver() const
{
    for (int i = 0; i < kDriverCount; ++i)
        if (mnuIF_p_Driver[static_cast<std::size_t>(i)].checked)
            return i;
    return -1;
}

void SetupMenu::SetDriver(const std::string& caption, bool saveIt)
{
    for (int i = 0; i < kDriverCount; ++i) {
        auto& item = mnuIF_p_Driver[static_cast<std::size_t>(i)];
        item.checked = item.caption == caption;
        if (!item.checked)
            continue;
        if (kPortTypes[static_cast<std::size_t>(i)] != 0)
            device::deviceState().PortType = kPortTypes[static_cast<std::size_t>(i)];
        MnuSetupIF[0].caption = "Activate interface :  " + item.caption;
        MnuSetupIF[0].Tag = std::to_string(i);
        Interface_setup_done();
    }
    if (saveIt)
        core::Inifile_CreateKeyWithValue(core::coreState().IniPath, "Interface", caption);
}

void SetupMenu::SetCom(int port, bool saveIt)
{
    for (int i = 1; i <= 4; ++i)
        mnuIF_p_Com[static_cast<std::size_t>(i)].checked = i == port;
    device::deviceState().PortNum = port;
    if (saveIt)
        save("Com port", port);
}

void SetupMenu::SetActiveAtStartup(int which, bool value, bool saveIt)
{
    if (which != 1 && which != 2)
        return;
    mnuIF_p_startup[static_cast<std::size_t>(which)].checked = value;
    if (saveIt)
        save(which == 1 ? "IF Active at startup" : "T-block Server Active at startup", value ? 1 : 0);
}

void SetupMenu::Interface_setup_done()
{
    const int driver = checkedDriver();
    if (driver < 0)
        return;
    bool port = false;
    for (int i = 1; i <= 4; ++i)
        port = port || mnuIF_p_Com[static_cast<std::size_t>(i)].checked;
    if (!port && driver == kDriverDS9490R) {
        mnuIF_p_Com_Click(1);
        port = true;
    }
    if (!port)
        return;
    MnuSetupIF[0].enabled = !MnuSetupIF[0].checked;
    mnuIF_p_startup[1].enabled = true;
    mnuIF_p_startup[2].enabled = true;
}

void SetupMenu::mnuIF_p_Com_Click(int index)
{
    SetCom(index, true);
    Interface_setup_done();
}

void SetupMenu::mnuIF_p_startup_Click(int index)
{
    if (index == 1) {
        const bool on = !mnuIF_p_startup[1].checked;
        SetActiveAtStartup(1, on, true);
        if (!on)
            SetActiveAtStartup(2, false, true);
    } else if (index == 2) {
        const bool on = !mnuIF_p_startup[2].checked;
        if (on)
            SetActiveAtStartup(1, true, true);
        SetActiveAtStartup(2, on, true);
    }
}

} // namespace shell
