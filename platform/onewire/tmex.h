#pragma once
// The TMEX-like 1-Wire calls the device layer makes, and the backends behind them.
//
// Sessions are logical: a session start binds a handle to the backend registered for
// (port type, port number); every other call names that handle. Only one session per
// port is open at a time: a new start on the same port supersedes the old one, whose
// handle then stops being valid. Handles are never reused, so a stale handle can do
// no harm. TMEndSession and TMClose accept any handle (0 or negative included).
//
// The search position, the current ROM and the selected node live in the caller's
// state buffer, not in the session, so the search carries on across the per-step
// sessions of a scan. A device job between two search steps (TMRom with a ROM loaded,
// TMAccess, byte traffic) does not move the search.
//
// Port types: 1 passive serial adapter (also the demo adaptor), 5 serial adapter with
// a line driver chip, 6 USB adapter. A port without a registered backend has no
// hardware behind it: session starts return TMEX_HS_NOT_FOUND. The real adapters'
// backends are in platform/adapters; the simulated network's backend, and how a user
// asks for it, in sim/onewire/simbackend.h. A failed adapter exchange returns a
// negative code and ends the session; portErrorText() says what failed and where.

#include "platform/base/clock.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Result codes the callers may see.
inline constexpr std::int16_t TMEX_PORT_NOT_INITIALIZED = -1;
inline constexpr std::int16_t TMEX_PORT_NOT_EXIST = -2;
inline constexpr std::int16_t TMEX_NO_SUCH_FUNCTION = -3;
inline constexpr std::int16_t TMEX_INVALID_SESSION = -200;
inline constexpr std::int16_t TMEX_HS_NOT_FOUND = -201;
// The 1-Wire line is held low (shorted): the adapter works, the bus does not. The
// session stays valid; portErrorText() names the port.
inline constexpr std::int16_t TMEX_BUS_SHORT = -12;
// A reset held back and sent with the exchange saw no presence pulse: the node is gone.
// The session stays valid.
inline constexpr std::int16_t TMEX_NO_PRESENCE = -13;

// The state buffer every call with a state argument receives. Callers keep one and
// never look into it.
struct TmexStateBuffer {
    static constexpr std::size_t kSize = 15361;
    std::array<std::uint8_t, kSize> bytes{};
};

// ROM array: element 0 = family code .. element 7 = CRC; element 8 is not used.
using TmexRom = std::array<std::int16_t, 9>;

// Version text buffers: 150 characters, NUL-terminated text.
using TmexVersionBuffer = std::array<char, 150>;

// Speeds of TMOneWireCom.
inline constexpr std::int16_t TMEX_SPEED_NORMAL = 0;
inline constexpr std::int16_t TMEX_SPEED_OVERDRIVE = 1;
inline constexpr std::int16_t TMEX_SPEED_RELAXED = 2;

// --- The calls ---------------------------------------------------------------------

// options: unused, pass 0. Result > 0: session handle; 0: port busy or start refused;
// TMEX_HS_NOT_FOUND: no backend for the port.
std::int32_t TMExtendedStartSession(std::int16_t portNum, std::int16_t portType, int options);
// 1 = port set up (bus answers with or without nodes); 0 = invalid session or setup failed.
std::int16_t TMSetup(std::int32_t session);
// One search step. 1 = next node found, it becomes the current node; 0 = no (further)
// node: the search starts again from the first node at the next call. Negative: code.
std::int16_t TMNext(std::int32_t session, TmexStateBuffer& state);
// rom[0] == 0: rom[0..7] := the current node's ROM. Otherwise rom[0..7] becomes the
// current node. Result 1, or TMEX_INVALID_SESSION.
std::int16_t TMRom(std::int32_t session, TmexStateBuffer& state, TmexRom& rom);
// Reset, then verifies that the current node is on the bus and selects it (Match ROM).
// 1 = selected; 0 = no presence or the node did not answer; negative: code.
std::int16_t TMAccess(std::int32_t session, TmexStateBuffer& state);
// Reset and Match ROM of the current node, without the search: the later accesses of
// a job whose node already answered, or a job that proves the node by a reply only it
// can give. 1 = a presence pulse was seen (some node answered the reset); 0 = none;
// negative: code. An adapter that pipelines (OneWireBackend::pipelines) holds the reset
// and Match ROM and sends them with the next exchange: the result is then 1, and a
// missing presence pulse fails that exchange.
std::int16_t TMMatchAccess(std::int32_t session, TmexStateBuffer& state);
// 1 = the handle is the open session of its port and the port still has its backend.
std::int16_t TMValidSession(std::int32_t session);
// Ends the session; any handle is accepted. Result 1 when it ended a session, else 0.
std::int16_t TMEndSession(std::int32_t session);
// Ends the session and releases its port. Any handle is accepted.
// Result 1 when a port was released, else 0.
std::int16_t TMClose(std::int32_t session);
// operation 0: set speed (0 normal, 1 overdrive, 2 relaxed); 1: read it.
// Result: the speed now in force; negative: code.
std::int16_t TMOneWireCom(std::int32_t session, std::int16_t operation, std::int16_t speed);
// Sends a byte, result = the byte read in the same slots (0..255); negative: code
// (TMEX_NO_PRESENCE as TMBlockStream).
std::int16_t TMTouchByte(std::int32_t session, std::int16_t byte);
// Sends len bytes of buffer in one exchange where the adapter allows it; each byte is
// replaced by the byte read in its slots. A pull-up primed by TMOneWireLevel starts at
// the end of the last byte. Result len; negative: code (TMEX_NO_PRESENCE when a reset
// held back by TMMatchAccess saw no presence pulse).
std::int16_t TMBlockStream(std::int32_t session, std::uint8_t* buffer, std::int16_t len);
// Sends len bytes whose read-back the caller does not need. An adapter that gains from
// it holds them and sends them with the next exchange of the session, whose result
// then also tells whether they went out; otherwise they are sent at once. Result len;
// negative: code. TMEndSession and TMClose send what is still held.
std::int16_t TMBlockSend(std::int32_t session, const std::uint8_t* buffer, std::int16_t len);
// Sends a bit, result = the bit read (0 or 1); negative: code.
std::int16_t TMTouchBit(std::int32_t session, std::int16_t bit);
// operation 0: set level, 1: read level. level 0 normal, 1 strong pull-up.
// primed 0: at once; TMEX_PRIME_AFTER_BYTE with level 1: from the end of the next byte
// TMTouchByte sends. Result: the level now in force; negative: code.
std::int16_t TMOneWireLevel(std::int32_t session, std::int16_t operation, std::int16_t level,
                            std::int16_t primed);
// Programs one EPROM byte of the current node: access, command (memoryType 0 data
// memory, 1 status memory), address, value, CRC16 check, program pulses until the byte
// reads back as wanted. bits: in = bits to program (8), out = bits still wrong.
// zeros != 0: only the 0 bits of value are checked (other bits may already be 0).
// Result: 1 = programmed; 0 = no presence or node not selected; 2 = CRC16 of the
// command echo wrong; 3 = byte did not program (a bit cannot go back from 0 to 1,
// or the pulse had no effect); TMEX_NO_SUCH_FUNCTION for another memory type;
// TMEX_INVALID_SESSION.
std::int16_t TMProgramByte(std::int32_t session, TmexStateBuffer& state, std::int16_t value,
                           std::int16_t address, std::int16_t memoryType, std::int16_t& bits,
                           std::int16_t zeros);
// Fills buffer with the version text of this 1-Wire layer. Result 1.
std::int16_t Get_Version(TmexVersionBuffer& buffer);
// Fills buffer with the version text of the backend serving portType (on any port
// number). Result > 0 on success; TMEX_HS_NOT_FOUND when no backend serves it.
std::int16_t TMGetTypeVersion(std::int16_t portType, TmexVersionBuffer& buffer);

// Text before the first NUL of a version buffer (the whole buffer when it has none).
std::string versionText(const TmexVersionBuffer& buffer);

// The next strong pull-up is needed for ms milliseconds: the adapter may end it by
// itself once that time has passed (TMOneWireLevel(0) still confirms the end).
// Result 1; TMEX_INVALID_SESSION.
std::int16_t TMSetPullupTime(std::int32_t session, std::int16_t ms);

// Level after primed = 1 of TMOneWireLevel: strong pull-up right after the next byte
// that TMTouchByte sends (the byte's last slot is followed by it at once).
inline constexpr std::int16_t TMEX_PRIME_AFTER_BYTE = 1;

// The text of what went wrong on the port in its last failed exchange or session start
// (e.g. "no answer from the adapter on /dev/ttyUSB0"); "" when nothing failed.
std::string portErrorText(int portType, int portNum);

// --- Backends ----------------------------------------------------------------------

// Outcome of a reset pulse.
enum class ResetOutcome { Presence, NoPresence, Short, Failed };

// What a sequence or search pass returns for a reset that found no node to talk to: 1 for no
// presence pulse, TMEX_BUS_SHORT or TMEX_PORT_NOT_EXIST; 0 for a presence pulse.
inline int resetFailureCode(ResetOutcome r)
{
    switch (r) {
    case ResetOutcome::Presence:
        return 0;
    case ResetOutcome::NoPresence:
        return 1;
    case ResetOutcome::Short:
        return TMEX_BUS_SHORT;
    case ResetOutcome::Failed:
        break;
    }
    return TMEX_PORT_NOT_EXIST;
}

// What a bus call gives: a value, or error < 0 (a TMEX code) when the adapter failed.
struct BusResult {
    int value = 0;
    int error = 0;
    bool ok() const { return error == 0; }
};

// One step of a sequence: a reset, or bytes sent (each replaced by the byte read),
// optionally followed by the strong pull-up from the end of the last byte.
struct BusStep {
    enum class Kind { Reset, Bytes } kind = Kind::Bytes;
    std::vector<std::uint8_t> data;
    bool pullupAfter = false;
};

// One step of the search: the two bits read and the direction taken.
struct Triplet {
    int id = 0;
    int complement = 0;
    int direction = 0;
    int error = 0;
};

// What a port offers at bus level. The calls above build sessions, search, access and
// EPROM programming from these.
//
// The first group (reset .. programPulse) is what every backend implements. The second
// group (resetPulse .. searchPass) is what real adapters do better in one exchange:
// each has a default built from the first group, so a backend only overrides what its
// adapter offers. A failed adapter exchange is an error, never a byte of FFh.
class OneWireBackend {
public:
    virtual ~OneWireBackend() = default;

    // A session opens on the port: 1 = ok, 0 = port busy, negative = TMEX code.
    virtual int openSession() = 0;
    // The session is ended (or superseded).
    virtual void closeSession() {}
    // TMClose: the port is released.
    virtual void releasePort() {}
    // TMSetup: true = port usable.
    virtual bool setup() = 0;

    // Reset pulse; true = presence pulse seen.
    virtual bool reset() = 0;
    // One time slot: writes bit (0 or 1), returns the bit read.
    virtual int touchBit(int bit) = 0;
    // Eight time slots, least significant bit first.
    virtual int touchByte(int byte) = 0;
    // Strong pull-up on (true) or back to normal.
    virtual void setStrongPullup(bool on) = 0;
    virtual bool strongPullup() const = 0;
    // Programming pulse (12 V, 480 us); false when the port cannot give one.
    virtual bool programPulse() = 0;
    // 0 normal, 1 overdrive, 2 relaxed.
    virtual void setSpeed(int speed) = 0;
    virtual int speed() const = 0;

    // --- Whole exchanges (defaults from the calls above) ---------------------------
    virtual ResetOutcome resetPulse();
    virtual BusResult bit(int bit);
    virtual BusResult byte(int byte);
    // Sends byte, then holds the strong pull-up from the end of its last slot until
    // setStrongPullup(false).
    virtual BusResult byteThenPullup(int byte);
    // Sends the bytes in place, each replaced by the byte read while it was sent.
    // Result 0 or an error code.
    virtual int block(std::uint8_t* data, std::size_t n);
    // Runs the steps in order, in as few exchanges as the adapter allows; the bytes of
    // each step are replaced by what the bus returned. Result 0; 1 when a reset saw no
    // presence pulse; negative: an error code (TMEX_BUS_SHORT for a shorted bus). After
    // a reset without presence the adapter may have sent the later steps all the same.
    virtual int sequence(std::vector<BusStep>& steps);
    // True when the adapter gains from steps held back and sent with the next exchange
    // (sequence() then gets them together).
    virtual bool pipelines() const { return false; }
    // Strong pull-up on or off. Result: the level now in force (1 on, 0 off), as the
    // adapter confirmed it; negative: an error code (the adapter did not confirm).
    virtual int pullupLevel(bool on);
    // The next strong pull-up is needed for at least this long; an adapter may then
    // end it by itself (pullupLevel(false) still confirms the end).
    virtual void pullupHint(Micros) {}
    // Reads id bit and complement, then writes the bit that the bits read leave (either
    // one when both are 0: then preferred).
    virtual Triplet searchTriplet(int preferred);
    // Reset, the search command byte, then a whole search pass: for each of the 64
    // positions the direction at a discrepancy is preferred[bit]; rom receives the
    // directions taken, discrepancies has a bit set where both values were seen.
    // Result 0; 1 when no node answered (no presence, or none left at some position);
    // negative: an error code (a shorted bus or a failed adapter).
    virtual int searchPass(int command, const std::array<std::uint8_t, 8>& preferred, std::array<std::uint8_t, 8>& rom,
                           std::array<std::uint8_t, 8>& discrepancies);
    // False when programPulse() can never succeed (no 12 V on this adapter).
    virtual bool canProgram() const { return true; }
    // What went wrong last ("" when nothing).
    virtual std::string lastError() const { return {}; }

    // True when no hardware is behind the port.
    virtual bool isSimulated() const = 0;
    // One line for the user, e.g. "Simulated microLAN: demo-network.txt".
    virtual std::string description() const = 0;
    // Driver version text for TMGetTypeVersion.
    virtual std::string typeVersion(int portType) const = 0;
};

// Registers backend for (portType, portNum); -1 stands for any. An exact entry wins
// over one with a wildcard. Registering again for the same key replaces the entry and
// ends its open session.
void registerBackend(int portType, int portNum, std::shared_ptr<OneWireBackend> backend);
void unregisterBackend(int portType, int portNum);
// The backend serving the port, or nullptr.
std::shared_ptr<OneWireBackend> backendFor(int portType, int portNum);
// The entry registered for exactly (portType, portNum), wildcards taken literally; nullptr when none.
std::shared_ptr<OneWireBackend> registeredBackend(int portType, int portNum);
// True when the port is served by a simulated network.
bool isSimulated(int portType, int portNum);
// The served backend's description, "" when the port has none.
std::string backendDescription(int portType, int portNum);
// Every registered backend, in registration order.
std::vector<std::shared_ptr<OneWireBackend>> registeredBackends();

// Forgets every backend, session and setup (tests).
void resetTmex();

} // namespace platform
