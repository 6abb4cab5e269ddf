#pragma once
// The amplifier serial-line transport: command lines with the amplifiers' character
// echo consumed, reply lines, the chain address exchange and the ":MLAN" 1-Wire
// pass-through to the selected amplifier channel (device::deviceState():
// SelectedAmplifier, SelectedChannel, ErrAfterSend).
//
// Every wait runs on platform::clock(), so tests can run the transport on virtual time.
// Line framing: a command line is its text and one LF; a reply line ends with LF.

#include "core/base/message.h"

#include <string>

namespace platform {
class SerialPort;
}

namespace device {

// The line the transport uses. The main window registers its serial port once;
// with none registered (or a closed port) the line is silent: nothing is sent and
// every reply is empty after its time-out. The caller keeps ownership.
void setPeloxPort(platform::SerialPort* port);
platform::SerialPort* peloxPort();

struct TransportState {
    // The one deadline that all waits of the transport use in turn.
    core::Deadline SerialTimer{};
    // Characters already taken from the port behind the LF of a reply line; they
    // count as waiting input until the next read takes them or a send drops them.
    std::string pendingInput;
};
TransportState& transportState();
// Clears the state (the registered port stays).
void resetTransportState();

// Sends cmd and LF, one character at a time, each echo awaited (up to 100 ms) and dropped.
// An empty cmd sends nothing (the output buffer is still cleared).
void Pelox_Send(std::string cmd);
// As Pelox_Send, without the LF.
void Pelox_Send_NoTerm(const std::string& cmd);
// One reply line without its LF, cut at the first LF; empty when nothing came within
// timeoutMs. Without an LF before the time-out, everything received is returned.
std::string Pelox_Receive(int timeoutMs);
// What arrived until count characters were received or the time-out passed.
std::string Pelox_Receive_Count(int count, int timeoutMs);
// When ErrAfterSend is on: sends "Err?" and traces the answer.
void Pelox_Query_Error();
// The address exchange "PELOX00 IDNUM" & nn (n formatted "00"): true when an
// unaddressed amplifier took address n. reply (optional) receives the characters
// the amplifier sent in answer.
bool Pelox_Assign_Address(int n, std::string* reply = nullptr);

// The ":MLAN" line for a payload of hex digits on channel SelectedChannel, e.g.
// I_C_3:MLAN 12, "058081000085" for payload 8081000085 on channel 3.
std::string Mlan_Line(const std::string& payload, int channel);
// Sends the ":MLAN" line for payload; sends nothing while no amplifier is selected.
void Mlan_Send(const std::string& payload);
// The ":MLAN?" reply in the plain form: count, comma, double quote, hex digits,
// double quote (the header form is unwrapped to it); "" when no amplifier is selected
// or the reply holds no data.
std::string Mlan_Answer();
// Mlan_Send(payload), the query line "I_C_" & channel & ":MLAN?", Mlan_Answer().
std::string Mlan_Transaction(const std::string& payload);

} // namespace device
