#include "platform/adapteremu/serialemu.h"

namespace platform::emu {

void SerialAdapterEmu::hostWrote(const std::string& bytes, TimePoint at)
{
    if (silent_)
        return;
    // The answers follow the last character received.
    const TimePoint arrived = at + charTime() * static_cast<int>(bytes.size());
    if (cursor_ < arrived)
        cursor_ = arrived;
    busMark_ = net_->busTime();
    received(bytes);
}

void SerialAdapterEmu::answer(std::uint8_t b)
{
    const Micros bus = net_->busTime() - busMark_;
    busMark_ = net_->busTime();
    cursor_ += bus + charTime();
    out_.emplace_back(cursor_, static_cast<char>(b));
}

void SerialAdapterEmu::answerNow(std::uint8_t b)
{
    busMark_ = net_->busTime();
    answer(b);
}

std::string SerialAdapterEmu::sentBy(TimePoint now)
{
    std::string s;
    while (!out_.empty() && out_.front().first <= now) {
        s += out_.front().second;
        out_.pop_front();
    }
    return s;
}

} // namespace platform::emu
