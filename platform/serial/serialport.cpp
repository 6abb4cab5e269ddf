#include "platform/serial/serialport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace platform {

namespace {

std::vector<std::string> splitCommas(const std::string& text)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else if (c != ' ')
            parts.back() += c;
    }
    return parts;
}

bool toInt(const std::string& s, int& v)
{
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace

bool parseLineSettings(const std::string& text, LineSettings& out)
{
    const auto p = splitCommas(text);
    if (p.size() != 4)
        return false;
    LineSettings s;
    if (!toInt(p[0], s.baud) || s.baud <= 0)
        return false;
    if (p[1].size() != 1)
        return false;
    s.parity = static_cast<char>(std::tolower(static_cast<unsigned char>(p[1][0])));
    if (std::string("neoms").find(s.parity) == std::string::npos)
        return false;
    if (!toInt(p[2], s.dataBits) || s.dataBits < 5 || s.dataBits > 8)
        return false;
    if (p[3] == "1")
        s.stopBits10 = 10;
    else if (p[3] == "1.5")
        s.stopBits10 = 15;
    else if (p[3] == "2")
        s.stopBits10 = 20;
    else
        return false;
    out = s;
    return true;
}

bool SerialPort::setCommPort(int n)
{
    if (open_) {
        lastError_ = "Port already open";
        return false;
    }
    if (n < 1) {
        lastError_ = "Invalid port number";
        return false;
    }
    commPort_ = n;
    return true;
}

bool SerialPort::setSettings(const std::string& text)
{
    LineSettings s;
    if (!parseLineSettings(text, s)) {
        lastError_ = "Invalid setting: " + text;
        return false;
    }
    if (open_ && !applySettings(s)) {
        lastError_ = "Invalid setting: " + text;
        return false;
    }
    settings_ = text;
    return true;
}

bool SerialPort::setPortOpen(bool open)
{
    if (open == open_) {
        if (open) {
            lastError_ = "Port already open";
            return false;
        }
        return true;
    }
    if (!open) {
        closeDevice();
        open_ = false;
        readAhead_.clear();
        return true;
    }
    LineSettings s;
    parseLineSettings(settings_, s);
    std::string error;
    if (!openDevice(commPort_, s, error)) {
        lastError_ = error;
        return false;
    }
    open_ = true;
    readAhead_.clear();
    lastError_.clear();
    return true;
}

void SerialPort::pull()
{
    if (open_)
        readAvailable(readAhead_);
}

int SerialPort::InBufferCount()
{
    pull();
    return static_cast<int>(readAhead_.size());
}

int SerialPort::OutBufferCount() { return open_ ? pendingOutput() : 0; }

void SerialPort::setOutBufferCount(int n)
{
    // Only clearing has a meaning.
    if (n == 0 && open_)
        dropOutput();
}

void SerialPort::Output(const std::string& text)
{
    if (open_ && !text.empty())
        writeBytes(text);
}

std::string SerialPort::Input()
{
    pull();
    std::size_t n = readAhead_.size();
    if (inputLen_ > 0 && static_cast<std::size_t>(inputLen_) < n)
        n = static_cast<std::size_t>(inputLen_);
    std::string out = readAhead_.substr(0, n);
    readAhead_.erase(0, n);
    return out;
}

} // namespace platform

namespace platform {

bool SerialPort::waitForInput(Micros maxWait)
{
    if (!open_ || !canWaitForInput())
        return false;
    return waitReadable(maxWait < Micros(0) ? Micros(0) : maxWait);
}

} // namespace platform

namespace platform {

namespace {
// Longest sleep between two runs of the window events.
constexpr Micros kEventSlice{20000};
// Poll step when the port cannot wait on its device.
constexpr Micros kPollStep{1000};
} // namespace

void awaitInput(SerialPort* port, TimePoint deadline)
{
    auto& c = clock();
    const auto left = std::chrono::duration_cast<Micros>(deadline - c.now());
    if (port && port->PortOpen() && port->canWaitForInput() && dynamic_cast<SystemClock*>(&c)) {
        processEvents();
        if (left > Micros(0))
            port->waitForInput(std::min(left, kEventSlice));
        return;
    }
    c.pause(std::clamp(left, Micros(1), kPollStep));
}

} // namespace platform
