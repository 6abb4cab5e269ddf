#include "core/base/message.h"

#include <algorithm>

namespace core {

namespace {
MessageSuppressor* suppressor = nullptr;
} // namespace

void setMessageSuppressor(MessageSuppressor* s) { suppressor = s; }

bool MessagesSuppressed() { return suppressor && suppressor->suppressing(); }

int ShowMessage(const std::string& prompt, int buttons, const std::string& title)
{
    if (MessagesSuppressed()) {
        suppressor->addLog(title.empty() ? "MsgBox suppressed: " + prompt : "MsgBox suppressed: " + title + ", " + prompt);
        // OK for every message the program shows; always a button of the set.
        return platform::unattendedAnswer(buttons);
    }
    return platform::messageBox().show(prompt, buttons, title);
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title)
{
    return platform::messageBox().show(prompt, buttons, title);
}

Deadline MakeDeadline(int ms) { return {platform::clock().now() + platform::Millis(ms)}; }

bool DeadlinePassed(const Deadline& d) { return platform::clock().now() > d.at; }

void DelayUntil(platform::TimePoint start, int ms)
{
    auto& c = platform::clock();
    const auto end = start + platform::Millis(ms);
    for (auto now = c.now(); now < end; now = c.now()) {
        const auto left = std::chrono::duration_cast<platform::Micros>(end - now);
        c.pause(left);
    }
}

void Delay(int ms) { DelayUntil(platform::clock().now(), ms); }

std::string ByteToHex2(unsigned value)
{
    static const char* hex = "0123456789ABCDEF";
    value &= 0xFF;
    return {hex[value >> 4], hex[value & 15]};
}

void AddItemIfMissing(std::vector<std::string>& list, const std::string& text)
{
    if (std::find(list.begin(), list.end(), text) == list.end())
        list.push_back(text);
}

} // namespace core
