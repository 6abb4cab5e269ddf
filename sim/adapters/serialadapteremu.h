#pragma once
// The far end of an in-memory serial line for an emulated adapter, as a UART sees it:
// each character the host writes arrives after its frame time at the host's line
// settings, one after the other; each character the adapter sends reaches the host
// after its frame time at the adapter's own rate. The adapter handles what has
// arrived whenever the host writes or looks for input (its time runs as the clock's),
// so answers come while the host still sends and the host waits for them as on a line.
// What the adapter is sent that its datasheet does not allow is a protocol error:
// recorded for the test, never guessed around.

#include "platform/base/clock.h"
#include "sim/adapters/emubus.h"
#include "sim/serial/memoryserialport.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform::emu {

struct SerialCounters {
    long hostWrites = 0;     // write calls of the host
    long roundTrips = 0;     // writes after the host had an answer since its last write
    long bytesFromHost = 0;
    long bytesToHost = 0;    // handed to the host
    long breaks = 0;
    long lostBytes = 0;      // characters the adapter could not take
};

class SerialAdapterEmu : public SerialDevice {
public:
    explicit SerialAdapterEmu(std::shared_ptr<sim::SimNetwork> network);

    void hostWrote(const std::string& bytes, TimePoint at) override;
    std::string sentBy(TimePoint now) override;
    void lineSettings(const LineSettings& s) override;
    void hostBreak(TimePoint at) override;

    sim::SimNetwork& network() { return bus_.network(); }
    // The adapter is not there: nothing is taken, nothing answers.
    void setSilent(bool silent);
    // The adapter is pulled off the line now: answers on their way are lost too.
    void unplug() { setSilent(true); }
    // The 1-Wire line is shorted to ground.
    void setShorted(bool shorted) { bus_.setShorted(shorted); }

    const std::vector<std::string>& protocolErrors() const { return errors_; }
    void clearProtocolErrors() { errors_.clear(); }
    const SerialCounters& counters() const { return counters_; }
    void clearCounters() { counters_ = {}; }

protected:
    // A character from the host as it reached the adapter.
    struct Char {
        std::uint8_t byte = 0;
        TimePoint at{};       // its stop bit was received
        LineSettings line;    // the host's settings it was sent with
        long write = 0;       // which host write it came in
        int index = 0;        // its place in that write
        int count = 0;        // characters in that write
    };

    // Handles what arrived up to now (characters in incoming(), oldest first).
    virtual void advance(TimePoint now) = 0;
    // A break from the host at `at` (everything before it has been handled).
    virtual void onBreak(TimePoint) {}

    std::deque<Char>& incoming() { return incoming_; }
    // Sends b once the adapter has it ready at `ready`, at `baud`, after what it sent before.
    void send(std::uint8_t b, TimePoint ready, int baud);
    // A character whose frame ends at the host at `at` (an echo sent while it was received).
    void echo(std::uint8_t b, TimePoint at, int baud);
    // Drops what the adapter has not sent yet.
    void dropOutput() { out_.clear(); }
    void protocolError(const std::string& what);
    void lost(const std::string& what);
    EmuBus& bus() { return bus_; }
    const LineSettings& hostLine() const { return host_; }
    static Micros frameTime(const LineSettings& s);
    static std::string hex(std::uint8_t b);

private:
    struct Out {
        std::uint8_t byte;
        TimePoint at;   // fully at the host
        int baud;
    };

    EmuBus bus_;
    LineSettings host_;
    std::deque<Char> incoming_;
    std::deque<Out> out_;
    TimePoint hostTxFree_{};   // the host's transmitter is done with what it was given
    TimePoint txFree_{};       // the adapter's transmitter is free
    bool silent_ = false;
    bool answeredSinceWrite_ = true;
    long writes_ = 0;
    std::vector<std::string> errors_;
    SerialCounters counters_;
};

} // namespace platform::emu
