#pragma once
// The USB adapter with the DS2490 bridge (port type 6, DS9490R), through UsbTransfer.
//
// Control requests: bRequest 0 control commands (device reset, resume, halt when idle,
// flushes), 1 communication commands (1-Wire reset, bit, byte and block I/O, pulse,
// search access; the wValue carries the command and its flag bits, wIndex its
// parameter), 2 mode commands (pulse enable, speed, pull-up and programming pulse
// durations). Data for a command goes to endpoint 2 first, its answer comes from
// endpoint 3. The status packet tells when the adapter is idle, whether 12 V is
// present, and carries result codes (no presence, short, ...).
//
// Here every command runs at once (IM). The backend waits the 1-Wire time a command
// takes, then reads its answer or the status packet (results, buffer counts), polling
// again only when the adapter is still busy. A search pass is one SEARCH ACCESS with
// RST (reset, Search ROM and the pass, the preferred directions given as a ROM), which
// answers 8 bytes per ROM id found and the 8 discrepancy bytes only while more devices
// remain: the status packet's EP3 count says which. A reset before a block goes with it
// as a 1-WIRE RESET queued ahead of the BLOCK I/O (whose own RST reports no missing
// presence), so the 1-Wire layer holds back accesses (pipelines()). A byte
// followed by the strong pull-up is one byte command with SPU (pull-up duration
// infinite, ended by halt and resume, the end confirmed by the status flag SPUA). The
// 12 V pulse is enabled only around a programming pulse. Port n is the n-th DS2490 found.

#include "platform/adapters/adaptertraffic.h"
#include "platform/adapters/usbtransfer.h"
#include "platform/onewire/tmex.h"

#include <memory>

namespace platform {

// Request, command and flag codes of the DS2490 (the existing emulator reads them too).
namespace ds2490 {
inline constexpr int kVendorId = 0x04FA;
inline constexpr int kProductId = 0x2490;

inline constexpr int kControlCmd = 0x00;
inline constexpr int kCommCmd = 0x01;
inline constexpr int kModeCmd = 0x02;

inline constexpr int kCtlResetDevice = 0x0000;
inline constexpr int kCtlResumeExe = 0x0002;
inline constexpr int kCtlHaltExeIdle = 0x0003;
inline constexpr int kCtlFlushComm = 0x0007;

// Mode commands (wValue), in the datasheet's order.
inline constexpr int kModPulseEnable = 0x0000;
inline constexpr int kModSpeedChangeEnable = 0x0001;
inline constexpr int kModSpeed = 0x0002;
inline constexpr int kModPullupDuration = 0x0003;
inline constexpr int kModPulldownSlewRate = 0x0004;  // codes 0 .. 7
inline constexpr int kModProgramDuration = 0x0005;

// Communication commands (wValue without their flag bits).
inline constexpr int kCommReset = 0x0042;
inline constexpr int kCommBitIo = 0x0020;
inline constexpr int kCommPulse = 0x0030;
inline constexpr int kCommByteIo = 0x0052;
inline constexpr int kCommBlockIo = 0x0074;
inline constexpr int kCommSearchAccess = 0x00F4;

// Flag bits of communication commands (some share a bit between commands).
inline constexpr int kFlagIm = 0x0001;
inline constexpr int kFlagD = 0x0008;     // bit I/O: the bit; pulse: TYPE (12 V); reset: SE; search: SM
inline constexpr int kFlagSm = kFlagD;    // search: search only, report the ROM ids
inline constexpr int kFlagType12V = kFlagD;
inline constexpr int kFlagRst = 0x0100;   // a 1-Wire reset before the command
inline constexpr int kFlagIcp = 0x0200;
inline constexpr int kFlagNtf = 0x0400;
inline constexpr int kFlagF = 0x0800;
inline constexpr int kFlagSpu = 0x1000;
inline constexpr int kFlagRts = 0x4000;   // search: return the discrepancy bits

// ENABLE PULSE parameter bits.
inline constexpr int kPulseEnableProgram = 0x01;  // +12 V programming pulse
inline constexpr int kPulseEnablePullup = 0x02;   // strong pull-up to 5 V

// Status packet: 16 bytes of state registers, then result codes.
inline constexpr std::size_t kStatusFlags = 0x08;
inline constexpr std::size_t kCommBufferStatus = 0x0B;
inline constexpr std::size_t kDataOutStatus = 0x0C;
inline constexpr std::size_t kDataInStatus = 0x0D;
inline constexpr std::size_t kResultsAt = 16;
inline constexpr int kStatusPullupActive = 0x01;  // SPUA
inline constexpr int kStatus12V = 0x04;
inline constexpr int kStatusIdle = 0x20;
// Result codes.
inline constexpr int kResultNoPresence = 0x01;  // NRS
inline constexpr int kResultShort = 0x02;       // SH
inline constexpr int kResultNoProgramVoltage = 0x08;  // VPP
inline constexpr int kResultDeviceDetect = 0xA5;
} // namespace ds2490

class Ds2490Backend final : public OneWireBackend {
public:
    explicit Ds2490Backend(std::unique_ptr<UsbTransfer> usb);

    int openSession() override;
    void closeSession() override;
    void releasePort() override;
    bool setup() override { return usb_->isOpen(); }

    ResetOutcome resetPulse() override;
    BusResult bit(int b) override;
    BusResult byte(int b) override;
    BusResult byteThenPullup(int b) override;
    int block(std::uint8_t* data, std::size_t n) override;
    int searchPass(int command, const std::array<std::uint8_t, 8>& preferred, std::array<std::uint8_t, 8>& rom,
                   std::array<std::uint8_t, 8>& discrepancies) override;
    int sequence(std::vector<BusStep>& steps) override;
    bool pipelines() const override { return true; }
    int pullupLevel(bool on) override;
    bool reset() override { return resetPulse() == ResetOutcome::Presence; }
    int touchBit(int b) override { return bit(b).value; }
    int touchByte(int b) override { return byte(b).value; }

    void setStrongPullup(bool on) override { pullupLevel(on); }
    bool strongPullup() const override { return pullup_; }
    bool programPulse() override;
    bool canProgram() const override { return programVoltage_; }
    void setSpeed(int speed) override;
    int speed() const override { return speed_; }

    bool isSimulated() const override { return false; }
    std::string description() const override;
    std::string typeVersion(int portType) const override;
    std::string lastError() const override { return error_; }

    const AdapterTraffic& traffic() const { return traffic_; }
    AdapterTraffic& traffic() { return traffic_; }

private:
    bool start();
    bool control(int request, int value, int index);
    bool comm(int value, int index) { return control(ds2490::kCommCmd, value | ds2490::kFlagIm, index); }
    // One status packet; its result codes (device detect bytes left out) are added to results.
    bool status(std::vector<std::uint8_t>& packet, std::vector<std::uint8_t>& results);
    // Waits busy (the 1-Wire time of what was started), then until the adapter is idle;
    // results receives the result codes seen, packet the last status.
    bool waitIdle(Micros busy, std::vector<std::uint8_t>& results, std::vector<std::uint8_t>* packet = nullptr);
    // Waits busy, then reads n answer bytes, reading again while the adapter still works.
    bool readBack(std::size_t n, std::vector<std::uint8_t>& data, Micros busy = Micros(0));
    // One block of at most a FIFO's size, with a reset before it and the pull-up after it.
    int blockChunk(std::uint8_t* data, std::size_t n, bool reset, bool pullup);
    // 1-Wire times at the current speed.
    Micros slotTime() const;
    Micros resetTime() const;
    bool bulkOut(const std::vector<std::uint8_t>& data);
    bool fail(const std::string& why);

    std::unique_ptr<UsbTransfer> usb_;
    std::string error_;
    bool pullup_ = false;
    bool programVoltage_ = false;
    int speed_ = 0;
    AdapterTraffic traffic_;
};

} // namespace platform
