#pragma once
// A simulated network on TMEX port (type 1, number 1) for the TMEX-branch tests, with
// counts of session starts, session ends and setups, and the bus transcript as text.

#include "platform/onewire/tmex.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"

#include <memory>
#include <string>

namespace testing_support {

class CountingSimBackend final : public platform::OneWireBackend {
public:
    explicit CountingSimBackend(platform::sim::SimNetwork& net) : net_(net) {}

    int openSession() override
    {
        ++starts;
        if (auto code = net_.takeSessionFault())
            return *code;
        return 1;
    }
    void closeSession() override { ++ends; }
    bool setup() override
    {
        ++setups;
        return true;
    }
    bool reset() override { return net_.reset(); }
    int touchBit(int bit) override { return net_.touchBit(bit); }
    int touchByte(int byte) override { return net_.touchByte(static_cast<std::uint8_t>(byte)); }
    void setStrongPullup(bool on) override { net_.setStrongPullup(on); }
    bool strongPullup() const override { return net_.strongPullupOn(); }
    bool programPulse() override { return net_.programPulse(); }
    void setSpeed(int speed) override { net_.setSpeed(static_cast<platform::sim::Speed>(speed)); }
    int speed() const override { return static_cast<int>(net_.speed()); }
    bool isSimulated() const override { return true; }
    std::string description() const override { return "Simulated microLAN: test"; }
    std::string typeVersion(int) const override { return "test"; }

    int starts = 0;
    int ends = 0;
    int setups = 0;

private:
    platform::sim::SimNetwork& net_;
};

// Bytes written as two hex digits (with "/" and the byte read when it differs), "R" for
// a reset with presence, "R-" without, "P<ms>" for a strong pull-up, "S<n>" for a speed.
inline std::string busText(const platform::sim::SimNetwork& net, std::size_t from = 0)
{
    static const char* hex = "0123456789ABCDEF";
    auto h2 = [](int v) { return std::string{hex[(v >> 4) & 15], hex[v & 15]}; };
    std::string out;
    const auto& t = net.transcript();
    for (std::size_t i = from; i < t.size(); ++i) {
        const auto& e = t[i];
        std::string tok;
        switch (e.kind) {
        case platform::sim::BusEvent::Reset:
            tok = e.read ? "R" : "R-";
            break;
        case platform::sim::BusEvent::Byte:
            tok = h2(e.written);
            if (e.read != e.written)
                tok += "/" + h2(e.read);
            break;
        case platform::sim::BusEvent::Bit:
            tok = "b" + std::to_string(e.written) + std::to_string(e.read);
            break;
        case platform::sim::BusEvent::StrongPullup:
            tok = "P" + std::to_string(e.duration.count() / 1000);
            break;
        case platform::sim::BusEvent::ProgramPulse:
            tok = "PP";
            break;
        case platform::sim::BusEvent::SpeedChange:
            tok = "S" + std::to_string(e.written);
            break;
        }
        if (!out.empty())
            out += ' ';
        out += tok;
    }
    return out;
}

inline platform::sim::RomCode rom(std::initializer_list<std::uint8_t> bytes)
{
    platform::sim::RomCode r;
    std::size_t i = 0;
    for (auto b : bytes)
        r.bytes[i++] = b;
    return r;
}

} // namespace testing_support
