#include "device/amplink/peloxtransport.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/serial/serialport.h"

#include <cmath>

namespace device {

namespace {

constexpr int kEchoWaitMs = 100;
constexpr int kAfterSendMs = 50;
constexpr int kAfterMlanMs = 100;
constexpr int kMlanReplyMs = 10000;
constexpr int kErrReplyMs = 10000;
platform::SerialPort* port_ = nullptr;
TransportState state_;

// Everything below treats a missing or closed port as a silent line.
bool lineUp() { return port_ && port_->PortOpen(); }

int waiting()
{
    return static_cast<int>(state_.pendingInput.size()) + (lineUp() ? port_->InBufferCount() : 0);
}

std::string takeInput()
{
    std::string s = std::move(state_.pendingInput);
    state_.pendingInput.clear();
    if (lineUp())
        s += port_->Input();
    return s;
}

void arm(int ms) { state_.SerialTimer = core::MakeDeadline(ms); }
bool expired() { return core::DeadlinePassed(state_.SerialTimer); }
// One step of a wait on the armed deadline: sleeps until input arrives (or a short
// slice ends), window events running.
void idle() { platform::awaitInput(lineUp() ? port_ : nullptr, state_.SerialTimer.at); }

// Steps 5 to 9 of a send: drop stale input, then each character with its echo.
void sendEchoed(const std::string& text)
{
    takeInput();
    if (lineUp())
        port_->setInputLen(1);
    for (char c : text) {
        if (lineUp())
            port_->Output(std::string(1, c));
        arm(kEchoWaitMs);
        while (!expired() && !(lineUp() && port_->InBufferCount() > 0))
            idle();
        // The echo is not compared with what was sent; a missing echo is no error.
        if (lineUp())
            port_->Input();
    }
    if (lineUp())
        port_->setInputLen(0);
    core::Delay(kAfterSendMs);
}

void clearOutput()
{
    if (lineUp())
        port_->setOutBufferCount(0);
}

// Reads until an LF or the deadline already armed; the line is cut at its first LF
// and what followed it stays waiting.
std::string readLine()
{
    std::string reply;
    for (;;) {
        reply += takeInput();
        if (reply.find('\n') != std::string::npos || expired())
            break;
        idle();
    }
    const auto lf = reply.find('\n');
    if (lf != std::string::npos) {
        state_.pendingInput = reply.substr(lf + 1) + state_.pendingInput;
        reply.erase(lf);
    }
    return reply;
}

std::string twoDigits(int n)
{
    if (n >= 0 && n < 10)
        return "0" + std::to_string(n);
    if (n < 0 && n > -10)
        return "-0" + std::to_string(-n);
    return std::to_string(n);
}

// Len / 2, halves to the even neighbour.
int halfRoundedEven(std::size_t len) { return static_cast<int>(std::nearbyint(static_cast<double>(len) / 2.0)); }

} // namespace

void setPeloxPort(platform::SerialPort* port) { port_ = port; }
platform::SerialPort* peloxPort() { return port_; }

TransportState& transportState() { return state_; }
void resetTransportState() { state_ = TransportState{}; }

void Pelox_Send(std::string cmd)
{
    clearOutput();
    if (cmd.empty())
        return;
    core::Tracewindow("Send: " + cmd);
    cmd += '\n';
    sendEchoed(cmd);
}

void Pelox_Send_NoTerm(const std::string& cmd)
{
    clearOutput();
    if (cmd.empty())
        return;
    core::Tracewindow("Send noTE: " + cmd);
    sendEchoed(cmd);
}

std::string Pelox_Receive(int timeoutMs)
{
    arm(timeoutMs);
    const std::string reply = readLine();
    core::Tracewindow("reci: " + reply);
    if (core::traceOn())
        Pelox_Query_Error();
    return reply;
}

std::string Pelox_Receive_Count(int count, int timeoutMs)
{
    arm(timeoutMs);
    std::string reply;
    bool more = true;
    while (!expired() && more) {
        // Counts what this call has read already, so characters that trickle in
        // end the wait as soon as count of them are there.
        more = static_cast<int>(reply.size()) + waiting() < count;
        reply += takeInput();
        if (more)
            idle();
        else
            platform::processEvents();
    }
    core::Tracewindow("reci: " + reply);
    if (core::traceOn())
        Pelox_Query_Error();
    return reply;
}

void Pelox_Query_Error()
{
    if (!deviceState().ErrAfterSend)
        return;
    Pelox_Send("Err?");
    arm(kErrReplyMs);
    const std::string answer = readLine();
    core::Tracewindow("received: " + answer);
}

bool Pelox_Assign_Address(int n, std::string* replyOut)
{
    Pelox_Send_NoTerm("PELOX00 IDNUM" + twoDigits(n));
    const std::string reply = Pelox_Receive_Count(7, 300);
    if (replyOut)
        *replyOut = reply;
    if (!reply.empty()) {
        Pelox_Send_NoTerm(reply);
        const std::string scratch = Pelox_Receive_Count(2, 10000);
        const bool ok = scratch == "OK";
        Pelox_Send_NoTerm("\n");
        return ok;
    }
    // Nobody took the address: "PELOX01" & " Iden?" as one line. The raw part must
    // have left the port (and its echo come back) before the send below clears the
    // output buffer and drops the input.
    clearOutput();
    const std::string raw = "PELOX01";
    if (lineUp())
        port_->Output(raw);
    arm(kEchoWaitMs);
    while (!expired() && lineUp() && (port_->OutBufferCount() > 0 || port_->InBufferCount() < static_cast<int>(raw.size())))
        idle();
    Pelox_Send(" Iden?");
    Pelox_Receive(500);
    return false;
}

std::string Mlan_Line(const std::string& payload, int channel)
{
    return "I_C_" + std::to_string(channel) + ":MLAN " + std::to_string(payload.size() + 2) + ", \"" +
           core::ByteToHex2(static_cast<unsigned>(halfRoundedEven(payload.size()) & 0xFF)) + payload + "\"";
}

void Mlan_Send(const std::string& payload)
{
    const auto& ds = deviceState();
    if (ds.SelectedAmplifier < 1)
        return;
    Pelox_Send(Mlan_Line(payload, ds.SelectedChannel));
    core::Delay(kAfterMlanMs);
}

std::string Mlan_Answer()
{
    const auto& ds = deviceState();
    if (ds.SelectedAmplifier < 1)
        return "";
    std::string answer = Pelox_Receive(kMlanReplyMs);
    const std::string prefix = "I_C_" + std::to_string(ds.SelectedChannel) + ":MLAN";
    if (answer.compare(0, prefix.size(), prefix) != 0)
        return answer; // the plain form
    // Header form: prefix, blanks, count, comma, (blanks,) quoted hex digits.
    std::size_t i = prefix.size();
    while (i < answer.size() && answer[i] == ' ')
        ++i;
    long m = 0;
    while (i < answer.size() && answer[i] >= '0' && answer[i] <= '9' && m < 100000)
        m = m * 10 + (answer[i++] - '0');
    const auto quote = answer.find('"', i);
    if (m == 0 || quote == std::string::npos)
        return "";
    std::string hex = answer.substr(quote + 1, static_cast<std::size_t>(m));
    if (const auto close = hex.find('"'); close != std::string::npos)
        hex.erase(close);
    return std::to_string(m) + ",\"" + hex + "\"";
}

std::string Mlan_Transaction(const std::string& payload)
{
    Mlan_Send(payload);
    Pelox_Send("I_C_" + std::to_string(deviceState().SelectedChannel) + ":MLAN?");
    return Mlan_Answer();
}

} // namespace device
