#pragma once
// The 1-Wire side of the emulated DS2490: the state registers the mode commands set, the
// communication command FIFO, the endpoint 2 and 3 data FIFOs, the result register buffer
// and the execution of communication commands against the simulated network. A command
// takes the 1-Wire time it needs: it runs in the chip's own time, one 1-Wire step after
// the other, and what it reads back, its results and its end become visible to the host
// only once that time has passed on the clock.

#include "sim/adapters/emubus.h"
#include "platform/base/clock.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform::emu {

// DS2490 datasheet, Communication Command Set (Table 14).
enum class Ds2490Op {
    SetDuration, BitIo, Pulse, Reset, ByteIo, MatchAccess, BlockIo, ReadStraight, SearchAccess,
    DoRelease, SetPath, WriteSramPage, WriteEprom, ReadCrcProtPage, ReadRedirectPage,
};

struct Ds2490Command {
    Ds2490Op op = Ds2490Op::BitIo;
    std::uint16_t value = 0;  // wValue: command code and embedded bits
    std::uint16_t index = 0;  // wIndex: parameters
    int fifoBytes = 0;        // room it takes in the command FIFO
    TimePoint queued{};
};

// DS2490 datasheet, Device Feedback, Table 16 (state registers 0x00-0x06), with the
// power-on values (the write-0 recovery 7 us of the Flexible speed timing; the slew rate
// and write-1 low time codes are the emulator's choice within their ranges).
struct Ds2490Registers {
    int enable = 0;       // bit 0 SPUE, bit 1 PRGE, bit 2 SPCE
    int speed = 0;        // 0 regular, 1 flexible, 2 overdrive
    int pullup = 0x20;    // strong pull-up duration, n x 16 ms, 0 infinite
    int program = 0x40;   // programming pulse duration, n x 8 us, 0 infinite
    int slewRate = 5;     // pull-down slew rate code 0-7
    int write1Low = 4;    // write-1 low time code 0-7
    int sampleOffset = 4; // data sample offset / write-0 recovery code 0-7
};

class Ds2490Core {
public:
    static constexpr int kEnableSpue = 0x01;
    static constexpr int kEnablePrge = 0x02;
    static constexpr int kEnableSpce = 0x04;
    static constexpr std::size_t kCommandFifo = 16;
    static constexpr std::size_t kDataFifo = 128;

    explicit Ds2490Core(std::shared_ptr<sim::SimNetwork> network);

    sim::SimNetwork& network() { return bus_.network(); }
    void setProgramVoltage(bool on) { vpp_ = on; }
    bool programVoltage() const { return vpp_; }
    void setShorted(bool on) { bus_.setShorted(on); }

    // Power-on reset (and CTL_RESET_DEVICE): registers to their defaults, buffers empty.
    void powerUp(TimePoint now);
    // Plugged in: a power-on reset, and the nodes on the bus are new to the chip.
    void plugIn(TimePoint now)
    {
        powerUp(now);
        connected_ = 0;
    }
    Ds2490Registers& registers() { return regs_; }
    const Ds2490Registers& registers() const { return regs_; }

    // Command FIFO and its execution control.
    std::size_t commandBytes() const;
    void queue(const Ds2490Command& c);
    void startExecution() { started_ = true; }
    void halt(TimePoint now);
    void resume() { halted_ = haltRequested_ = false; }
    bool halted() const { return halted_; }
    void flushCommands() { fifo_.clear(); }
    void flushSent() { ep2_.clear(); }
    void flushReceived() { ep3_.clear(); }

    // Endpoint 2 (to the 1-Wire bus) and endpoint 3 (from it).
    std::size_t sentBytes() const { return ep2_.size(); }
    void send(const std::vector<std::uint8_t>& data, TimePoint now);
    std::size_t readyBytes(TimePoint now) const;
    std::vector<std::uint8_t> receive(std::size_t n, TimePoint now);
    // Data for endpoint 3 is still to come / endpoint 2 is being emptied.
    bool receiveComing(TimePoint now) const;
    bool sendDraining() const;

    // Result register values ready by now (at most 16), taken.
    std::vector<std::uint8_t> takeResults(TimePoint now);
    bool idle(TimePoint now) const;
    std::uint16_t current(TimePoint now) const;
    bool pullupActive(TimePoint now) const;
    bool programActive(TimePoint now) const;

    // Runs the chip up to now.
    void run(TimePoint now);

    const std::vector<std::string>& errors() const { return errors_; }
    void clearErrors() { errors_.clear(); }
    void error(const std::string& what) { errors_.push_back(what); }

private:
    struct Timed {
        std::uint8_t byte;
        TimePoint at;
    };
    struct Running {
        Ds2490Command cmd;
        TimePoint cursor{};        // chip time of the next step
        int phase = 0;
        std::size_t done = 0;
        std::uint8_t result = 0;   // error bits for the result register
        std::uint64_t path = 0;    // search: direction at discrepancies
        int found = 0;
        bool waitingHalt = false;  // an infinite pulse runs
        bool programPulse = false;
        TimePoint pulseStart{};
    };
    enum class Step { Progress, Stall, Done };

    bool startNext(TimePoint now);
    void finish(Running& r);
    std::optional<std::uint8_t> take(Running& r);
    void push(std::uint8_t b, TimePoint at);
    void result(std::uint8_t b, TimePoint at);
    std::size_t ep2Needed(const Ds2490Command& c) const;
    void detectArrivals(TimePoint now);
    bool pullupAfter(Running& r, bool requested);
    void endPulse(Running& r, TimePoint at);
    std::uint8_t resetBits(EmuBus::ResetResult rr) const;
    bool changeSpeed(int code);
    Step step(Running& r, TimePoint now);
    Step stepSearch(Running& r);
    Step stepBlock(Running& r);
    Step stepReadStraight(Running& r);
    Step stepMatch(Running& r);
    Step stepPulse(Running& r);

    EmuBus bus_;
    Ds2490Registers regs_;
    bool vpp_ = false;
    std::deque<Ds2490Command> fifo_;
    std::deque<Timed> ep2_;
    std::deque<Timed> ep3_;
    std::deque<Timed> results_;
    std::optional<Running> running_;
    TimePoint lastEnd_{};
    std::uint16_t lastValue_ = 0;
    bool started_ = false;
    bool halted_ = false;
    bool haltRequested_ = false;
    TimePoint pulseFrom_{}, pulseUntil_{};
    bool pulseProgram_ = false;
    std::size_t connected_ = 0;
    std::vector<std::string> errors_;
};

} // namespace platform::emu
