#include "platform/adapteremu/ds2480bemu.h"

namespace platform::emu {

namespace {

constexpr int kProgramDuration = 2;
constexpr int kPullupDuration = 3;
constexpr int kUnlimited = 7;

Micros pullupLength(int code)
{
    static constexpr long long us[] = {16'400, 65'500, 131'000, 262'000, 524'000, 1'048'000, 524'000, 0};
    return Micros(us[code & 7]);
}

Micros programLength(int code)
{
    return code >= 7 ? Micros(2048) : Micros(32LL << code);
}

} // namespace

Ds2480bEmu::Ds2480bEmu(std::shared_ptr<sim::SimNetwork> network) : SerialAdapterEmu(std::move(network)) { powerUp(); }

void Ds2480bEmu::powerUp()
{
    if (pulseOn_)
        network().setStrongPullup(false);
    calibrated_ = false;
    dataMode_ = false;
    escape_ = false;
    accelerator_ = false;
    pulseOn_ = false;
    params_.fill(0);
    params_[kPullupDuration] = 4;  // 524 ms
    params_[kProgramDuration] = 4; // 512 us
}

void Ds2480bEmu::received(const std::string& bytes)
{
    for (char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (!dataMode_) {
            command(b);
            continue;
        }
        if (escape_) {
            escape_ = false;
            if (b == 0xE3) {
                data(b);
            } else {
                dataMode_ = false;
                command(b);
            }
            continue;
        }
        if (b == 0xE3)
            escape_ = true;
        else
            data(b);
    }
}

void Ds2480bEmu::setSpeedBits(int ss)
{
    network().setSpeed(ss == 2 ? sim::Speed::Overdrive : ss == 1 ? sim::Speed::Relaxed : sim::Speed::Standard);
}

void Ds2480bEmu::command(std::uint8_t b)
{
    if (!calibrated_) {
        // Only a reset command, which calibrates and is not answered, wakes the chip.
        if ((b & 0xE1) == 0xC1)
            calibrated_ = true;
        return;
    }
    if (b == 0xF1) {
        endPulse();
        return;
    }
    if (pulseOn_)
        endPulse();  // any command ends an unlimited pulse
    if (b == 0xE1) {
        dataMode_ = true;
        return;
    }
    if (b == 0xE3)
        return;
    if ((b & 0x80) == 0) {
        const int parameter = (b >> 4) & 7;
        if (parameter == 0) {
            answer(static_cast<std::uint8_t>((b & 0xF0) | (params_[static_cast<std::size_t>((b >> 1) & 7)] << 1)));
        } else {
            params_[static_cast<std::size_t>(parameter)] = (b >> 1) & 7;
            answer(static_cast<std::uint8_t>(b & 0xFE));
        }
        return;
    }
    const int ss = (b >> 2) & 3;
    switch ((b >> 5) & 3) {
    case 0: {  // single bit
        setSpeedBits(ss);
        const int read = shorted() ? 0 : network().touchBit((b >> 4) & 1);
        answer(static_cast<std::uint8_t>((b & 0xFC) | (read != 0 ? 0x03 : 0x00)));
        if ((b & 0x02) != 0)
            pullup(0xEC);
        break;
    }
    case 1:  // search accelerator
        accelerator_ = ((b >> 4) & 1) != 0;
        break;
    case 2: {  // reset
        setSpeedBits(ss);
        const bool presence = network().reset();
        answer(static_cast<std::uint8_t>(0xCC | (shorted() ? 0 : presence ? 1 : 3)));
        break;
    }
    case 3:  // pulse
        if (((b >> 4) & 1) == 0) {
            pullup(static_cast<std::uint8_t>(b & 0xFC));
        } else {
            if (programVoltage_)
                network().programPulse(programLength(params_[kProgramDuration]));
            answer(static_cast<std::uint8_t>(b & 0xFC));
        }
        break;
    }
}

void Ds2480bEmu::pullup(std::uint8_t response)
{
    if (params_[kPullupDuration] == kUnlimited) {
        network().setStrongPullup(true);
        pulseOn_ = true;
        pulseAnswer_ = response;
        return;
    }
    network().strongPullup(pullupLength(params_[kPullupDuration]));
    answer(response);
}

void Ds2480bEmu::endPulse()
{
    if (!pulseOn_)
        return;
    pulseOn_ = false;
    network().setStrongPullup(false);
    answerNow(pulseAnswer_);
}

void Ds2480bEmu::data(std::uint8_t b)
{
    if (pulseOn_)
        endPulse();
    if (!accelerator_) {
        answer(shorted() ? 0 : network().touchByte(b));
        return;
    }
    // Four search positions per byte: the direction at a discrepancy in the odd bits;
    // answered with the discrepancy flags in the even bits and the directions taken.
    std::uint8_t out = 0;
    for (int k = 0; k < 4; ++k) {
        const int id = network().touchBit(1);
        const int complement = network().touchBit(1);
        int direction = id;
        bool discrepancy = false;
        if (id == complement) {
            discrepancy = true;
            direction = id != 0 ? 1 : (b >> (2 * k + 1)) & 1;
        }
        network().touchBit(direction);
        if (discrepancy)
            out = static_cast<std::uint8_t>(out | (1u << (2 * k)));
        if (direction != 0)
            out = static_cast<std::uint8_t>(out | (1u << (2 * k + 1)));
    }
    answer(out);
}

} // namespace platform::emu
