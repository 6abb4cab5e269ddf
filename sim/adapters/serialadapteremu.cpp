#include "sim/adapters/serialadapteremu.h"

#include <algorithm>
#include <cstdio>

namespace platform::emu {

SerialAdapterEmu::SerialAdapterEmu(std::shared_ptr<sim::SimNetwork> network) : bus_(std::move(network)) {}

Micros SerialAdapterEmu::frameTime(const LineSettings& s)
{
    // Start bit, data bits, parity bit, stop bits; in tenths of a bit for 1.5 stop bits.
    const long long tenths = 10LL * (1 + s.dataBits + (s.parity == 'n' ? 0 : 1)) + s.stopBits10;
    const int baud = std::max(s.baud, 1);
    return Micros((tenths * 100'000LL + baud - 1) / baud);
}

std::string SerialAdapterEmu::hex(std::uint8_t b)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02Xh", b);
    return text;
}

void SerialAdapterEmu::protocolError(const std::string& what) { errors_.push_back(what); }

void SerialAdapterEmu::lost(const std::string& what)
{
    ++counters_.lostBytes;
    protocolError(what);
}

void SerialAdapterEmu::setSilent(bool silent)
{
    silent_ = silent;
    if (silent) {
        incoming_.clear();
        out_.clear();
    }
}

void SerialAdapterEmu::hostWrote(const std::string& bytes, TimePoint at)
{
    ++counters_.hostWrites;
    if (answeredSinceWrite_)
        ++counters_.roundTrips;
    answeredSinceWrite_ = false;
    counters_.bytesFromHost += static_cast<long>(bytes.size());
    ++writes_;
    if (silent_)
        return;
    advance(at);
    // The host's UART sends the characters back to back once it is done with earlier ones.
    const Micros frame = frameTime(host_);
    TimePoint t = std::max(at, hostTxFree_);
    const int count = static_cast<int>(bytes.size());
    for (int i = 0; i < count; ++i) {
        t += frame;
        incoming_.push_back({static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]), t, host_, writes_, i, count});
    }
    hostTxFree_ = t;
}

void SerialAdapterEmu::send(std::uint8_t b, TimePoint ready, int baud)
{
    LineSettings s;
    s.baud = baud;
    const TimePoint start = std::max(ready, txFree_);
    txFree_ = start + frameTime(s);
    out_.push_back({b, txFree_, baud});
}

void SerialAdapterEmu::echo(std::uint8_t b, TimePoint at, int baud)
{
    txFree_ = std::max(txFree_, at);
    out_.push_back({b, at, baud});
}

std::string SerialAdapterEmu::sentBy(TimePoint now)
{
    std::string got;
    if (silent_)
        return got;
    advance(now);
    while (!out_.empty() && out_.front().at <= now) {
        const Out o = out_.front();
        out_.pop_front();
        // A character at another rate than the host's reads as garbage: it is lost.
        if (o.baud != host_.baud) {
            lost("answer " + hex(o.byte) + " sent at " + std::to_string(o.baud) + " baud while the host line runs at " +
                 std::to_string(host_.baud));
            continue;
        }
        got += static_cast<char>(o.byte);
    }
    counters_.bytesToHost += static_cast<long>(got.size());
    if (!got.empty())
        answeredSinceWrite_ = true;
    return got;
}

void SerialAdapterEmu::lineSettings(const LineSettings& s)
{
    if (!silent_)
        advance(clock().now());
    host_ = s;
}

void SerialAdapterEmu::hostBreak(TimePoint at)
{
    ++counters_.breaks;
    if (silent_)
        return;
    advance(at);
    hostTxFree_ = std::max(hostTxFree_, at);
    onBreak(at);
}

} // namespace platform::emu
