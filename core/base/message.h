#pragma once
// The message wrapper and the waits every layer uses.

#include "platform/base/clock.h"
#include "platform/base/messagebox.h"

#include <string>
#include <vector>

namespace core {

// While the request server window is loaded with its server enabled, messages are
// not shown but logged there. The server registers itself; nothing else needs to.
class MessageSuppressor {
public:
    virtual ~MessageSuppressor() = default;
    virtual bool suppressing() = 0;
    virtual void addLog(const std::string& text) = 0;
};
void setMessageSuppressor(MessageSuppressor* s);

// The one message-box wrapper. Returns the answer (platform::MsgAnswer).
int ShowMessage(const std::string& prompt, int buttons = 0, const std::string& title = "");
// True while ShowMessage would not show anything (an irreversible action must not be
// confirmed on the user's behalf then).
bool MessagesSuppressed();
// A plain message box, never suppressed (start-up messages, "No such job in ...").
int MsgBox(const std::string& prompt, int buttons = 0, const std::string& title = "");

// Deadline on the monotonic clock.
struct Deadline {
    platform::TimePoint at;
};
Deadline MakeDeadline(int ms);
// Strictly past the deadline. Processes no events.
bool DeadlinePassed(const Deadline& d);
// Waits ms milliseconds, letting window events run; sleeps between polls.
void Delay(int ms);
// As Delay, the end being start + ms.
void DelayUntil(platform::TimePoint start, int ms);

// Two upper-case hex digits.
std::string ByteToHex2(unsigned value);

// Appends text unless an equal entry (exact) exists.
void AddItemIfMissing(std::vector<std::string>& list, const std::string& text);

// "End the program" from deep inside: thrown, caught in main after the shutdown routine.
struct ProgramEnd {
    int exitCode = 0;
};

} // namespace core
