#pragma once
// The DS2490's codes as its datasheet gives them, for the emulator's two halves.

#include <cstdint>

namespace platform::emu::ds2490 {

// Appendix 4: command types (bRequest).
constexpr int kControlCmd = 0x00;
constexpr int kCommCmd = 0x01;
constexpr int kModeCmd = 0x02;

// Appendix 1 / 4: control command codes (wValue).
constexpr int kResetDevice = 0x0000;
constexpr int kStartExe = 0x0001;
constexpr int kResumeExe = 0x0002;
constexpr int kHaltExeIdle = 0x0003;
constexpr int kHaltExeDone = 0x0004;
constexpr int kFlushCommCmds = 0x0007;
constexpr int kFlushRcvBuffer = 0x0008;
constexpr int kFlushXmtBuffer = 0x0009;
constexpr int kGetCommCmds = 0x000A;

// Appendix 3 / 4: mode command codes (wValue).
constexpr int kPulseEn = 0x0000;
constexpr int kSpeedChangeEn = 0x0001;
constexpr int kOneWireSpeed = 0x0002;
constexpr int kStrongPullupDuration = 0x0003;
constexpr int kPulldownSlewRate = 0x0004;
constexpr int kProgPulseDuration = 0x0005;
constexpr int kWrite1LowTime = 0x0006;
constexpr int kDsoW0Recovery = 0x0007;
// Appendix 3, ENABLE PULSE parameter: bit 0 the 12 V programming pulse, bit 1 the strong
// pull-up to 5 V (the state register keeps them the other way round, Table 16).
constexpr int kParamPrge = 0x01;
constexpr int kParamSpue = 0x02;

// Appendix 2: embedded command bits in wValue.
constexpr std::uint16_t kIm = 0x0001;
constexpr std::uint16_t kBit3 = 0x0008;   // D, TYPE, SE, SM, Z or CH as the command has it
constexpr std::uint16_t kRst = 0x0100;
constexpr std::uint16_t kIcp = 0x0200;
constexpr std::uint16_t kNtf = 0x0400;
constexpr std::uint16_t kF = 0x0800;
constexpr std::uint16_t kSpu = 0x1000;
constexpr std::uint16_t kDt = 0x2000;
constexpr std::uint16_t kBit14 = 0x4000;  // CIB, PS, PST or RTS as the command has it
// READ STRAIGHT keeps its bits in byte 1 (byte 2 is the preamble size).
constexpr std::uint16_t kRsRst = 0x0002;
constexpr std::uint16_t kRsIcp = 0x0004;
constexpr std::uint16_t kRsNtf = 0x0008;

// Table 18: result register values.
constexpr std::uint8_t kNrs = 0x01;   // no presence pulse after a reset
constexpr std::uint8_t kSh = 0x02;    // 1-Wire short
constexpr std::uint8_t kApp = 0x04;   // alarming presence pulse
constexpr std::uint8_t kVpp = 0x08;   // 12 V expected but not seen
constexpr std::uint8_t kCmp = 0x10;   // compare error
constexpr std::uint8_t kCrc = 0x20;   // CRC error
constexpr std::uint8_t kRdp = 0x40;   // redirected page
constexpr std::uint8_t kEos = 0x80;   // search found fewer devices than asked for
constexpr std::uint8_t kDetect = 0xA5; // a 1-Wire device was attached

// Table 16: device status flags (state register 0x08).
constexpr std::uint8_t kSpua = 0x01;
constexpr std::uint8_t kPrga = 0x02;
constexpr std::uint8_t k12vp = 0x04;
constexpr std::uint8_t kHalt = 0x10;
constexpr std::uint8_t kIdle = 0x20;
constexpr std::uint8_t kEp0f = 0x80;

} // namespace platform::emu::ds2490
