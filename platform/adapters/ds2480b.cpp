#include "platform/adapters/ds2480b.h"

namespace platform {

namespace {

constexpr char kDataMode = '\xE1';
constexpr char kCommandMode = '\xE3';
constexpr char kEndPulse = '\xF1';
constexpr std::uint8_t kReset = 0xC1;
constexpr std::uint8_t kBit = 0x81;
constexpr std::uint8_t kBitOne = 0x10;
constexpr std::uint8_t kBitPullup = 0x02;
constexpr std::uint8_t kAcceleratorOff = 0xA1;
constexpr std::uint8_t kAcceleratorOn = 0xB1;
constexpr std::uint8_t kPulsePullup = 0xED;
constexpr std::uint8_t kPulseProgram = 0xFD;

// Configuration writes: parameter code in bits 6..4, value code in bits 3..1.
constexpr std::uint8_t config(int parameter, int value)
{
    return static_cast<std::uint8_t>((parameter << 4) | (value << 1) | 1);
}
constexpr int kSlew = 1;
constexpr int kProgramDuration = 2;
constexpr int kPullupDuration = 3;
constexpr int kWrite1Low = 4;
constexpr int kSampleOffset = 5;
constexpr int kUnlimited = 7;
constexpr int kProgram512us = 4;

char c(std::uint8_t b) { return static_cast<char>(b); }
std::uint8_t u(char ch) { return static_cast<std::uint8_t>(ch); }

void appendData(std::string& out, std::uint8_t b)
{
    out += c(b);
    if (b == 0xE3)
        out += c(b);  // E3h as data is sent twice
}

constexpr Micros kSlot{65};
constexpr Micros kResetTime{960};

} // namespace

Ds2480bBackend::Ds2480bBackend(std::unique_ptr<SerialPort> port, int commPort)
    : SerialAdapterBackend(std::move(port), commPort, "DS2480B serial adapter")
{
}

void Ds2480bBackend::forget()
{
    dataMode_ = false;
    pullup_ = false;
}

std::string Ds2480bBackend::toCommand()
{
    if (!dataMode_)
        return {};
    dataMode_ = false;
    return std::string(1, kCommandMode);
}

std::string Ds2480bBackend::toData()
{
    if (dataMode_)
        return {};
    dataMode_ = true;
    return std::string(1, kDataMode);
}

int Ds2480bBackend::speedBits() const { return speed_ == 2 ? 0x04 : speed_ == 1 ? 0x08 : 0x00; }

bool Ds2480bBackend::start()
{
    dataMode_ = false;
    port().sendBreak();
    clock().pause(Micros(2000));
    // The first reset command only calibrates the chip's timing: no answer.
    if (!send(std::string(1, c(kReset))))
        return false;
    clock().pause(Micros(4000));
    port().Input();
    // Flexible timing for the relaxed speed; pull-ups last until ended.
    const std::string setup = {c(config(kSlew, 3)), c(config(kWrite1Low, 2)), c(config(kSampleOffset, 5)),
                               c(config(kPullupDuration, kUnlimited)), c(config(kProgramDuration, kProgram512us))};
    std::string answer;
    if (!exchange(setup, setup.size(), answer))
        return false;
    for (std::size_t i = 0; i < setup.size(); ++i)
        if (u(answer[i]) != (u(setup[i]) & 0xFE))
            return fail("not a DS2480B (configuration answered wrongly)");
    return true;
}

ResetOutcome Ds2480bBackend::resetPulse()
{
    std::string answer;
    if (!exchange(toCommand() + c(static_cast<std::uint8_t>(kReset | speedBits())), 1, answer, kResetTime))
        return ResetOutcome::Failed;
    const std::uint8_t a = u(answer[0]);
    if ((a & 0xC0) != 0xC0) {
        fail("unexpected answer to a reset");
        return ResetOutcome::Failed;
    }
    switch (a & 0x03) {
    case 0:
        return ResetOutcome::Short;
    case 3:
        return ResetOutcome::NoPresence;
    default:
        return ResetOutcome::Presence;
    }
}

BusResult Ds2480bBackend::bit(int b)
{
    std::string answer;
    const auto cmd = static_cast<std::uint8_t>(kBit | speedBits() | (b != 0 ? kBitOne : 0));
    if (!exchange(toCommand() + c(cmd), 1, answer, kSlot))
        return {0, TMEX_PORT_NOT_EXIST};
    if ((u(answer[0]) & 0xE0) != 0x80) {
        fail("unexpected answer to a time slot");
        return {0, TMEX_PORT_NOT_EXIST};
    }
    return {(u(answer[0]) & 0x03) == 0x03 ? 1 : 0, 0};
}

BusResult Ds2480bBackend::byte(int b)
{
    std::uint8_t data = static_cast<std::uint8_t>(b & 0xFF);
    const int r = block(&data, 1);
    return {data, r};
}

int Ds2480bBackend::block(std::uint8_t* data, std::size_t n)
{
    if (n == 0)
        return 0;
    std::string out = toData();
    for (std::size_t i = 0; i < n; ++i)
        appendData(out, data[i]);
    std::string answer;
    if (!exchange(out, n, answer, kSlot * static_cast<int>(8 * n)))
        return TMEX_PORT_NOT_EXIST;
    for (std::size_t i = 0; i < n; ++i)
        data[i] = u(answer[i]);
    return 0;
}

BusResult Ds2480bBackend::byteThenPullup(int b)
{
    // Eight single-bit commands; the last turns the pull-up on at the end of its slot.
    std::string out = toCommand();
    for (int k = 0; k < 8; ++k) {
        auto cmd = static_cast<std::uint8_t>(kBit | speedBits() | (((b >> k) & 1) != 0 ? kBitOne : 0));
        if (k == 7)
            cmd = static_cast<std::uint8_t>(cmd | kBitPullup);
        out += c(cmd);
    }
    std::string answer;
    if (!exchange(out, 8, answer, kSlot * 8))
        return {0, TMEX_PORT_NOT_EXIST};
    int value = 0;
    for (int k = 0; k < 8; ++k) {
        const std::uint8_t a = u(answer[static_cast<std::size_t>(k)]);
        if ((a & 0xE0) != 0x80) {
            fail("unexpected answer to a time slot");
            return {0, TMEX_PORT_NOT_EXIST};
        }
        if ((a & 0x03) == 0x03)
            value |= 1 << k;
    }
    pullup_ = true;
    return {value, 0};
}

void Ds2480bBackend::setStrongPullup(bool on)
{
    if (on == pullup_)
        return;
    std::string answer;
    if (on) {
        // An unlimited pulse: its answer comes when it is ended.
        if (exchange(toCommand() + c(kPulsePullup), 0, answer))
            pullup_ = true;
        return;
    }
    pullup_ = false;
    // F1h itself is not answered; the pulse's answer byte follows it.
    exchange(toCommand() + kEndPulse, 1, answer);
}

bool Ds2480bBackend::programPulse()
{
    if (!programVoltage_)
        return false;
    std::string answer;
    if (!exchange(toCommand() + c(kPulseProgram), 1, answer, Micros(512)))
        return false;
    return (u(answer[0]) & 0xF0) == 0xF0;
}

void Ds2480bBackend::setSpeed(int speed)
{
    if (speed >= 0 && speed <= 2)
        speed_ = speed;
}

int Ds2480bBackend::searchPass(int command, const std::array<std::uint8_t, 8>& preferred,
                               std::array<std::uint8_t, 8>& rom, std::array<std::uint8_t, 8>& discrepancies)
{
    rom.fill(0);
    discrepancies.fill(0);
    // Reset, Search ROM in data mode, accelerator on, 16 bytes (4 positions each: the
    // preferred direction in the odd bits), accelerator off: one exchange.
    std::string out = toCommand();
    out += c(static_cast<std::uint8_t>(kReset | speedBits()));
    out += toData();
    appendData(out, static_cast<std::uint8_t>(command));
    out += toCommand();
    out += c(static_cast<std::uint8_t>(kAcceleratorOn | speedBits()));
    out += toData();
    for (int i = 0; i < 16; ++i) {
        std::uint8_t b = 0;
        for (int k = 0; k < 4; ++k) {
            const int pos = i * 4 + k;
            if (((preferred[static_cast<std::size_t>(pos / 8)] >> (pos % 8)) & 1) != 0)
                b = static_cast<std::uint8_t>(b | (1u << (2 * k + 1)));
        }
        appendData(out, b);
    }
    out += toCommand();
    out += c(static_cast<std::uint8_t>(kAcceleratorOff | speedBits()));
    std::string answer;
    if (!exchange(out, 18, answer, kResetTime + kSlot * (8 + 64 * 3)))
        return TMEX_PORT_NOT_EXIST;
    const std::uint8_t r = u(answer[0]);
    if ((r & 0xC0) != 0xC0) {
        fail("unexpected answer to a reset");
        return TMEX_PORT_NOT_EXIST;
    }
    if ((r & 0x03) == 0)
        return TMEX_PORT_NOT_EXIST;  // shorted
    if ((r & 0x03) == 3)
        return 1;                    // nobody there
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t b = u(answer[static_cast<std::size_t>(2 + i)]);
        for (int k = 0; k < 4; ++k) {
            const int pos = i * 4 + k;
            const auto mask = static_cast<std::uint8_t>(1u << (pos % 8));
            auto& rb = rom[static_cast<std::size_t>(pos / 8)];
            auto& db = discrepancies[static_cast<std::size_t>(pos / 8)];
            if (((b >> (2 * k)) & 1) != 0)
                db = static_cast<std::uint8_t>(db | mask);
            if (((b >> (2 * k + 1)) & 1) != 0)
                rb = static_cast<std::uint8_t>(rb | mask);
        }
    }
    return 0;
}

std::string Ds2480bBackend::typeVersion(int) const
{
    return "Tedsmith DS2480B serial adapter driver 1.0";
}

} // namespace platform
