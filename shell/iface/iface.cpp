#include "shell/iface/iface.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "platform/onewire/tmex.h"
#include "platform/serial/comports.h"
#include "platform/serial/serialport.h"
#include "shell/iface/neighbourwindows.h"

#include <exception>

namespace shell {

namespace {

constexpr const char* kLineSettings = "9600,n,8,1";

// The port could not be opened: said once, naming the port; the program goes on.
void portFailure(int portNum, const std::string& why)
{
    std::string text = "Com" + std::to_string(portNum) + " (" + platform::commPortDevice(portNum) + ") could not be opened";
    if (!why.empty())
        text += ": " + why;
    text += ".\r\nThe interface stays inactive: choose another port or driver in the Setup menu.";
    core::MsgBox(text, platform::MsgExclamation);
}

} // namespace

Iface::Iface(IfaceHost& host, platform::SerialPort& port) : modes(host), host_(host), port_(port) {}

void Iface::loadStartState()
{
    treeToolTip = "No interface selected";
    menu.MnuSetupIF[1].enabled = true;
    menu.mnuIF_p_startup[1].enabled = false;
    menu.mnuIF_p_startup[2].enabled = false;
    menu.MnuSetupIF[4].visible = false;
    for (auto& o : modes.ModeO)
        o.enabled = false;
    changed();
}

bool Iface::GetDefault()
{
    const auto& ini = core::coreState().IniPath;
    int com = 0, ifActive = 0, serverActive = 0, speed = 0;
    std::string driver;
    const bool comFound = core::Inifile_Read_Integer_Value(ini, "Com port", com) == core::IniFound;
    const bool driverFound = core::Inifile_Read_String_Value(ini, "Interface", driver) == core::IniFound;
    const bool ifFound = core::Inifile_Read_Integer_Value(ini, "IF Active at startup", ifActive) == core::IniFound;
    const bool serverFound =
        core::Inifile_Read_Integer_Value(ini, "T-block Server Active at startup", serverActive) == core::IniFound;
    const bool speedFound = core::Inifile_Read_Integer_Value(ini, "ComSpeed", speed) == core::IniFound;

    if (comFound)
        menu.SetCom(com, false);
    if (driverFound)
        SetDriver(driver, false);
    menu.SetActiveAtStartup(1, ifFound && ifActive == 1, false);
    menu.SetActiveAtStartup(2, serverFound && serverActive == 1, false);
    modes.Set_obSpeed(speedFound ? speed : 0);
    changed();
    return comFound && driverFound;
}

void Iface::SetDriver(const std::string& caption, bool save)
{
    const bool wasDemo = menu.driverChecked(kDriverDemo);
    menu.SetDriver(caption, save);
    const bool isDemo = menu.driverChecked(kDriverDemo);
    if (isDemo != wasDemo)
        modes.demoAdaptorChosen(isDemo);
    // The mode panel follows the driver now, not at the next search step.
    Set_CommModeWindow();
    changed();
}

void Iface::mnuIF_p_Driver_Click(int index)
{
    if (index < 0 || index >= kDriverCount)
        return;
    SetDriver(menu.mnuIF_p_Driver[static_cast<std::size_t>(index)].caption, true);
    if (menu.MnuSetupIF[0].checked)
        ActivateIF();
    menu.Interface_setup_done();
    changed();
}

void Iface::MnuSetupIF_Click(int index)
{
    if (index == 0)
        ActivateIF();
    else if (index == 4)
        requestServerWindow().show();
    menu.Interface_setup_done();
    host_.clearTrace();
    changed();
}

void Iface::ActivateIF()
{
    auto& ds = device::deviceState();
    ds.SessionError = 0;
    ds.BusFault.clear();
    ds.AdapterFault.clear();
    host_.activationStarted();
    if (!menu.MnuSetupIF[0].checked)
        treeToolTip = "Click in tree to activate";
    const std::string& tag = menu.MnuSetupIF[0].Tag;
    if (tag.empty()) {
        changed();
        return;
    }
    int type = 0;
    if (tag == "1") {
        if (port_.CommPort() == ds.PortNum && port_.PortOpen() && ds.InterfaceType == device::InterfaceType::AmplifierLink) {
            amplifierWindow().show();
            changed();
            return;
        }
        type = 1;
    } else if (ds.InterfaceType == device::InterfaceType::Adapter) {
        // Another adapter takes effect through PortType at the next session.
        changed();
        return;
    }
    fileAndToolsEnabled = true;
    host_.postMainJob(MainJob::SetInterface, static_cast<long long>(type));
    menu.MnuSetupIF[0].visible = false;
    treeToolTip = "press F5 to refresh tree";
    menu.MnuSetupIF[4].visible = true;
    changed();
    if (type == 1)
        amplifierWindow().show();
    if (menu.startupChecked(2))
        host_.postMainJob(MainJob::ScanAndShowServer, 0LL);
}

void Iface::dropAllNodes()
{
    // Each removal takes at least record 0; stop should one fail to shrink the list.
    for (int n = host_.nodeCount(); n > 0;) {
        host_.Remove_transducer(host_.nodeId(0));
        host_.beep();
        const int left = host_.nodeCount();
        if (left >= n)
            break;
        n = left;
    }
}

bool Iface::switchToAmplifier()
{
    auto& ds = device::deviceState();
    if (ds.InterfaceType == device::InterfaceType::Adapter) {
        auto& ow = device::oneWireState();
        ow.SessionHandle = platform::TMExtendedStartSession(static_cast<std::int16_t>(ds.PortNum),
                                                            static_cast<std::int16_t>(ds.PortType), 0);
        ow.SessionHandle = platform::TMClose(ow.SessionHandle);
        ds.SetupDone = false;
    }
    if (port_.CommPort() != ds.PortNum && port_.PortOpen())
        port_.setPortOpen(false);
    std::string why;
    try {
        if (!port_.PortOpen()
            && !(port_.setCommPort(ds.PortNum) && port_.setSettings(kLineSettings) && port_.setPortOpen(true)))
            why = port_.lastError();
        else
            why.clear();
    } catch (const std::exception& e) {
        why = e.what();
        if (why.empty())
            why = "error";
    }
    if (!port_.PortOpen()) {
        // Nothing is active now; the Setup menu stays usable.
        portFailure(ds.PortNum, why);
        ds.InterfaceType = device::InterfaceType::None;
        menu.MnuSetupIF[0].checked = false;
        menu.MnuSetupIF[0].enabled = true;
        menu.MnuSetupIF[0].visible = true;
        treeEnabled = true;
        treeToolTip = "No interface selected";
        amplifierWindow().unload();
        return false;
    }
    modes.SetModeO(0);
    modes.ModeO[1].enabled = false;
    menu.MnuSetupIF[0].checked = true;
    menu.MnuSetupIF[0].enabled = false;
    ds.InterfaceType = device::InterfaceType::AmplifierLink;
    host_.postMainJob(MainJob::EnableTree, 0LL);
    return true;
}

void Iface::Set_IF(int type)
{
    treeEnabled = false;
    changed();
    modes.SetModeO(0);
    dropAllNodes();
    if (type == 1) {
        switchToAmplifier();
        changed();
        return;
    }
    if (type == 0) {
        if (device::deviceState().InterfaceType == device::InterfaceType::AmplifierLink) {
            port_.setPortOpen(false);
            amplifierWindow().unload();
        }
        modes.SetModeO(1);
    }
    menu.MnuSetupIF[0].checked = true;
    menu.MnuSetupIF[0].enabled = false;
    device::deviceState().InterfaceType = static_cast<device::InterfaceType>(type);
    host_.postMainJob(MainJob::EnableTree, 0LL);
    changed();
}

} // namespace shell
