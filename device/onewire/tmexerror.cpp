#include "device/onewire/tmexerror.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/onewire/tmex.h"

namespace device {

namespace {

std::string padded(int code, const char* name)
{
    std::string head = "(" + std::to_string(code) + ")";
    while (head.size() < 8)
        head += ' ';
    return head + name;
}

} // namespace

std::string TMEX_Error_Text(int code)
{
    switch (code) {
    case 0:
        return "";
    case -1:
        return padded(code, "PORT_NOT_INITIALIZED - Specified MicroLan has not been initialized with a call to the TMSetup function.");
    case -2:
        return padded(code, "PORT_NOT_EXIST - Specified MicroLan nonexistent.");
    case -3:
        return padded(code, "NO_SUCH_FUNCTION - Function not supported.");
    case platform::TMEX_BUS_SHORT:
        return padded(code, "BUS_SHORT - 1-Wire bus short circuit.");
    case platform::TMEX_NO_PRESENCE:
        return padded(code, "NO_PRESENCE - No node answered the reset.");
    case -200:
        return padded(code, "INVALID_SESSION - session not valid (not applicable in DOS TMEX)");
    case -201:
        return padded(code, "HS_NOT_FOUND - Hardware_Specific driver not found and is required.");
    default:
        return "unknown error";
    }
}

void Report_Session_Error(int code)
{
    DeviceState& ds = deviceState();
    {
        const std::string why = platform::portErrorText(ds.PortType, ds.PortNum);
        ds.AdapterFault = "the microLAN cannot be accessed" + (why.empty() ? std::string() : ": " + why);
    }
    if (ds.SessionError)
        return;
    ds.SessionError = 1;

    std::string detail;
    if (code == -200)
        detail = "Session not valid, TMEX session error code -200";
    else if (code == -201)
        detail = "Hardware Specific driver not found and is required, TMEX session error code -201";

    const std::string crlf = "\r\n";
    std::string message = "Error accessing the microLAN" + crlf + detail + crlf + "PortNum = " +
                                std::to_string(ds.PortNum) + crlf + "PortType = " + std::to_string(ds.PortType) +
                                crlf;
    // What the port's adapter said went wrong (the device file or USB device tried).
    const std::string why = platform::portErrorText(ds.PortType, ds.PortNum);
    if (!why.empty())
        message += why + crlf;
    core::ShowMessage(message, platform::MsgCritical, "");
    core::Tracewindow("Error accessing the microLAN");
}

void Report_Bus_Short()
{
    DeviceState& ds = deviceState();
    std::string text = platform::portErrorText(ds.PortType, ds.PortNum);
    if (text.empty())
        text = "1-Wire bus short circuit";
    if (ds.BusFault == text)
        return;
    ds.BusFault = text;
    core::logTracewindow(text);
    core::ShowMessage(text, platform::MsgCritical, "");
}

void Bus_Working()
{
    DeviceState& ds = deviceState();
    if (ds.BusFault.empty())
        return;
    core::logTracewindow("1-Wire bus works again: " + ds.BusFault);
    ds.BusFault.clear();
}

std::string busFault() { return deviceState().BusFault; }

void Session_Opened() { deviceState().AdapterFault.clear(); }

std::string adapterFault() { return deviceState().AdapterFault; }

} // namespace device
