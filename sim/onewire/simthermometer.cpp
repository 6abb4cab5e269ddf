#include "sim/onewire/simthermometer.h"

#include <algorithm>
#include <cmath>

namespace platform::sim {

namespace {
constexpr std::uint8_t kConvertT = 0x44;
constexpr std::uint8_t kReadScratchpad = 0xBE;
constexpr int kOpConvert = 1;
constexpr std::uint8_t kCountPerDegree = 0x10;
} // namespace

SimThermometer::SimThermometer(RomCode rom) : SimNode(rom)
{
    // Power-on value: 85 C.
    scratchpad_ = scratchpadFor(85.0, 0x4B, 0x46);
}

void SimThermometer::setChip(Chip c)
{
    chip_ = c;
    conversionTime_ = c == Chip::DS18S20 ? kDs18s20Conversion : kDs1820Conversion;
}

void SimThermometer::setTemperature(double celsius)
{
    if (!std::isnan(celsius))
        temperature_ = std::clamp(celsius, -55.0, 125.0);
}

std::array<std::uint8_t, 9> SimThermometer::scratchpadFor(double celsius, std::uint8_t th, std::uint8_t tl)
{
    celsius = std::isnan(celsius) ? 85.0 : std::clamp(celsius, -55.0, 125.0);
    // Half-degree reading, two's complement over two bytes.
    const int raw = static_cast<int>(std::floor(celsius * 2.0 + 0.5));
    // Whole degrees the reading truncates to, then the counter refines it:
    // T = whole - 0.25 + (perDegree - remain) / perDegree.
    const int whole = raw >= 0 ? raw / 2 : -((-raw + 1) / 2);
    const double fraction = celsius + 0.25 - whole;
    int remain = kCountPerDegree - static_cast<int>(std::lround(fraction * kCountPerDegree));
    remain = std::clamp(remain, 0, static_cast<int>(kCountPerDegree));

    std::array<std::uint8_t, 9> s{};
    const auto word = static_cast<std::uint16_t>(raw & 0xFFFF);
    s[0] = static_cast<std::uint8_t>(word & 0xFF);
    s[1] = static_cast<std::uint8_t>((word >> 8) & 0xFF);
    s[2] = th;
    s[3] = tl;
    s[4] = 0xFF;
    s[5] = 0xFF;
    s[6] = static_cast<std::uint8_t>(remain);
    s[7] = kCountPerDegree;
    s[8] = crc8(s.data(), 8);
    return s;
}

void SimThermometer::onByte(std::uint8_t b)
{
    switch (b) {
    case kConvertT:
        startOperation(kOpConvert, conversionTime_);
        return;
    case kReadScratchpad:
        send(std::vector<std::uint8_t>(scratchpad_.begin(), scratchpad_.end()));
        return;
    default:
        idle();
        return;
    }
}

void SimThermometer::operationDone(int op)
{
    if (op != kOpConvert)
        return;
    scratchpad_ = scratchpadFor(temperature_, scratchpad_[2], scratchpad_[3]);
    ++conversions_;
}

} // namespace platform::sim
