#include "platform/adapters/ds2480bbackend.h"

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

// Predefined strong pull-up durations (configuration parameter 3, value codes 0 .. 5).
constexpr long long kPullupUs[] = {16'400, 65'500, 131'000, 262'000, 524'000, 1'048'000};
// Longest a predefined pull-up may outlast the time asked for.
constexpr Micros kPullupSlack{15'000};

// Answers the chip gives: reset 11xx xxRR, single bit 100x xxBB, pulse 1110 11xx for the
// 5 V pull-up, configuration write the command with bit 0 cleared.
bool isResetAnswer(std::uint8_t a) { return (a & 0xC0) == 0xC0; }
bool isBitAnswer(std::uint8_t a) { return (a & 0xE0) == 0x80; }
bool isPullupEnd(std::uint8_t a) { return (a & 0xFC) == 0xEC; }

} // namespace

Ds2480bBackend::Ds2480bBackend(std::unique_ptr<SerialPort> port, int commPort)
    : SerialAdapterBackend(std::move(port), commPort, "DS2480B serial adapter")
{
}

void Ds2480bBackend::forget()
{
    dataMode_ = false;
    pullup_ = false;
    pulseTimed_ = false;
    pullupDuration_ = -1;
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

int Ds2480bBackend::pullupCode() const
{
    if (hint_ <= Micros(0))
        return kUnlimited;
    for (int code = 0; code < 6; ++code) {
        const Micros d{kPullupUs[code]};
        if (d >= hint_)
            return d - hint_ <= kPullupSlack ? code : kUnlimited;
    }
    return kUnlimited;
}

bool Ds2480bBackend::start()
{
    forget();
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
    pullupDuration_ = kUnlimited;
    return true;
}

bool Ds2480bBackend::endPullup() { return !pullup_ || pullupLevel(false) >= 0; }

int Ds2480bBackend::sequence(std::vector<BusStep>& steps)
{
    if (!endPullup())
        return TMEX_PORT_NOT_EXIST;
    // What each answer byte is, in the order the chip sends them.
    struct Answer {
        enum class Kind { Reset, Data, Bit, Config } kind;
        std::size_t step = 0;
        std::size_t index = 0;
        std::uint8_t sent = 0;
    };
    std::string out;
    std::vector<Answer> answers;
    Micros bus{0};
    bool pullupAfter = false;
    int code = kUnlimited;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        BusStep& step = steps[i];
        if (step.kind == BusStep::Kind::Reset) {
            out += toCommand();
            out += c(static_cast<std::uint8_t>(kReset | speedBits()));
            answers.push_back({Answer::Kind::Reset, i});
            bus += kResetTime;
            continue;
        }
        const std::size_t n = step.data.size();
        const bool pullup = step.pullupAfter && n > 0 && i + 1 == steps.size();
        const std::size_t plain = pullup ? n - 1 : n;
        if (plain > 0)
            out += toData();
        for (std::size_t j = 0; j < plain; ++j) {
            appendData(out, step.data[j]);
            answers.push_back({Answer::Kind::Data, i, j});
        }
        bus += kSlot * static_cast<int>(8 * plain);
        if (!pullup)
            continue;
        // The last byte as eight single-bit commands, the pull-up after the eighth slot.
        out += toCommand();
        code = pullupCode();
        if (code != pullupDuration_) {
            const std::uint8_t cfg = config(kPullupDuration, code);
            out += c(cfg);
            answers.push_back({Answer::Kind::Config, i, 0, cfg});
        }
        const int b = step.data.back();
        for (int k = 0; k < 8; ++k) {
            auto cmd = static_cast<std::uint8_t>(kBit | speedBits() | (((b >> k) & 1) != 0 ? kBitOne : 0));
            if (k == 7)
                cmd = static_cast<std::uint8_t>(cmd | kBitPullup);
            out += c(cmd);
            answers.push_back({Answer::Kind::Bit, i, static_cast<std::size_t>(k)});
        }
        bus += kSlot * 8;
        pullupAfter = true;
    }
    hint_ = Micros(0);
    if (out.empty())
        return 0;
    std::string answer;
    if (!exchange(out, answers.size(), answer, bus))
        return TMEX_PORT_NOT_EXIST;
    int result = 0;
    std::uint8_t lastByte = 0;
    for (std::size_t k = 0; k < answers.size(); ++k) {
        const Answer& e = answers[k];
        const std::uint8_t a = u(answer[k]);
        switch (e.kind) {
        case Answer::Kind::Reset:
            if (!isResetAnswer(a)) {
                fail("unexpected answer to a reset");
                return TMEX_PORT_NOT_EXIST;
            }
            if ((a & 0x03) == 0)
                result = TMEX_BUS_SHORT;
            else if ((a & 0x03) == 3 && result == 0)
                result = 1;
            break;
        case Answer::Kind::Data:
            steps[e.step].data[e.index] = a;
            break;
        case Answer::Kind::Config:
            if (a != (e.sent & 0xFE)) {
                fail("unexpected answer to a configuration command");
                return TMEX_PORT_NOT_EXIST;
            }
            pullupDuration_ = code;
            break;
        case Answer::Kind::Bit:
            if (!isBitAnswer(a)) {
                fail("unexpected answer to a time slot");
                return TMEX_PORT_NOT_EXIST;
            }
            if ((a & 0x03) == 0x03)
                lastByte = static_cast<std::uint8_t>(lastByte | (1u << e.index));
            if (e.index == 7)
                steps[e.step].data.back() = lastByte;
            break;
        }
    }
    if (pullupAfter) {
        pullup_ = true;
        pulseTimed_ = code != kUnlimited;
        if (pulseTimed_)
            pulseEnds_ = clock().now() + Micros(kPullupUs[code]);
        // No node took the command (or the bus is shorted): the pull-up serves nothing.
        if (result != 0 && pullupLevel(false) < 0)
            return TMEX_PORT_NOT_EXIST;
    }
    return result;
}

ResetOutcome Ds2480bBackend::resetPulse()
{
    std::vector<BusStep> steps{BusStep{BusStep::Kind::Reset, {}, false}};
    switch (sequence(steps)) {
    case 0:
        return ResetOutcome::Presence;
    case 1:
        return ResetOutcome::NoPresence;
    case TMEX_BUS_SHORT:
        return ResetOutcome::Short;
    default:
        return ResetOutcome::Failed;
    }
}

BusResult Ds2480bBackend::bit(int b)
{
    if (!endPullup())
        return {0, TMEX_PORT_NOT_EXIST};
    std::string answer;
    const auto cmd = static_cast<std::uint8_t>(kBit | speedBits() | (b != 0 ? kBitOne : 0));
    if (!exchange(toCommand() + c(cmd), 1, answer, kSlot))
        return {0, TMEX_PORT_NOT_EXIST};
    if (!isBitAnswer(u(answer[0]))) {
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
    std::vector<BusStep> steps{BusStep{BusStep::Kind::Bytes, std::vector<std::uint8_t>(data, data + n), false}};
    if (const int r = sequence(steps); r != 0)
        return r;
    std::copy(steps[0].data.begin(), steps[0].data.end(), data);
    return 0;
}

BusResult Ds2480bBackend::byteThenPullup(int b)
{
    std::vector<BusStep> steps{BusStep{BusStep::Kind::Bytes, {static_cast<std::uint8_t>(b & 0xFF)}, true}};
    if (const int r = sequence(steps); r != 0)
        return {0, r};
    return {steps[0].data[0], 0};
}

int Ds2480bBackend::pullupLevel(bool on)
{
    std::string answer;
    if (on) {
        if (pullup_)
            return 1;
        std::string out = toCommand();
        if (pullupDuration_ != kUnlimited) {
            const std::uint8_t cfg = config(kPullupDuration, kUnlimited);
            if (!exchange(out + c(cfg), 1, answer))
                return TMEX_PORT_NOT_EXIST;
            if (u(answer[0]) != (cfg & 0xFE)) {
                fail("unexpected answer to a configuration command");
                return TMEX_PORT_NOT_EXIST;
            }
            pullupDuration_ = kUnlimited;
            out.clear();
        }
        // An unlimited pulse, on from the moment the chip has the command until F1h has
        // reached it (its answer comes then). F1h takes a character time to get there, so
        // this returns a character time before the command gets there: the pull-up lasts
        // as long as the caller waits before ending it.
        out += c(kPulsePullup);
        if (!exchange(out, 0, answer))
            return TMEX_PORT_NOT_EXIST;
        if (const auto ahead = std::chrono::duration_cast<Micros>(lineFree() - characterTime() - clock().now());
            ahead > Micros(0))
            clock().pause(ahead);
        pullup_ = true;
        pulseTimed_ = false;
        return 1;
    }
    if (!pullup_)
        return 0;
    bool ok = false;
    if (pulseTimed_) {
        // The chip ends a predefined pull-up itself and then sends the pulse response.
        const auto left = std::chrono::duration_cast<Micros>(pulseEnds_ - clock().now());
        ok = exchange({}, 1, answer, std::max(Micros(0), left));
    } else {
        // F1h itself is not answered; the pulse's response byte follows it.
        ok = exchange(toCommand() + kEndPulse, 1, answer);
    }
    if (!ok)
        return TMEX_PORT_NOT_EXIST;
    if (!isPullupEnd(u(answer[0]))) {
        fail("the strong pull-up did not end (unexpected answer)");
        return TMEX_PORT_NOT_EXIST;
    }
    pullup_ = false;
    pulseTimed_ = false;
    return 0;
}

bool Ds2480bBackend::programPulse()
{
    if (!programVoltage_ || !endPullup())
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
    if (!endPullup())
        return TMEX_PORT_NOT_EXIST;
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
        return TMEX_BUS_SHORT;
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
