#pragma once
// The sound-card mixer as the program drives it: numbered mixer devices with
// destination lines (speakers, line out, recording) and their source lines
// (microphone, line in, ...), each line with controls (volume, mute, ...) that hold one
// 32-bit value. Calls return 0 on success or one of the result codes below; the
// shell's mixer control is written against this and nothing else.
//
// Implementations: AlsaMixerBackend (the first ALSA card, simple mixer elements),
// NullMixerBackend (no sound card); tests drive a scripted card (tests/kit/fakemixerbackend.h).

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum MixerResult : std::uint32_t {
    MixerOk = 0,
    MixerBadDeviceId = 2,
    MixerInvalHandle = 5,
    MixerNoDriver = 6,
    MixerInvalFlag = 10,
    MixerInvalParam = 11,
    MixerInvalLine = 1024,
    MixerInvalControl = 1025,
};

// Line component types.
enum MixerComponent : std::uint32_t {
    DstUndefined = 0, DstDigital = 1, DstLine = 2, DstMonitor = 3, DstSpeakers = 4, DstHeadphones = 5,
    DstTelephone = 6, DstWaveIn = 7, DstVoiceIn = 8,
    SrcUndefined = 0x1000, SrcDigital = 0x1001, SrcLine = 0x1002, SrcMicrophone = 0x1003, SrcSynthesizer = 0x1004,
    SrcCompactDisc = 0x1005, SrcTelephone = 0x1006, SrcPcSpeaker = 0x1007, SrcWaveOut = 0x1008,
    SrcAuxiliary = 0x1009, SrcAnalog = 0x100A,
};

// Control types the program asks for.
enum MixerControlType : std::uint32_t { ControlVolume = 0x50030001, ControlMute = 0x20010002 };

// Line flags.
enum MixerLineFlag : std::uint32_t { LineActive = 1, LineDisconnected = 0x8000, LineSource = 0x80000000 };

struct MixerLineTarget {
    std::uint32_t type = 0;
    std::uint32_t deviceId = 0;
    std::int16_t mid = 0;
    std::int16_t pid = 0;
    std::uint32_t driverVersion = 0;
    std::string pname;
};

struct MixerLine {
    std::uint32_t destination = 0;
    std::uint32_t source = 0;
    std::uint32_t lineId = 0;
    std::uint32_t flags = 0;
    std::uint32_t user = 0;
    std::uint32_t componentType = 0;
    std::uint32_t channels = 0;
    std::uint32_t connections = 0;  // destinations: their source lines
    std::uint32_t controls = 0;
    std::string shortName;
    std::string name;
    MixerLineTarget target;
};

struct MixerControl {
    std::uint32_t controlId = 0;
    std::uint32_t controlType = 0;
    std::uint32_t flags = 0;
    std::uint32_t multipleItems = 0;
    std::string shortName;
    std::string name;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::array<std::uint32_t, 11> reserved{};
};

struct MixerCaps {
    std::int16_t mid = 0;
    std::int16_t pid = 0;
    std::uint32_t driverVersion = 0;
    std::string pname;
    std::uint32_t destinations = 0;
};

using MixerHandle = std::uint32_t;

class MixerBackend {
public:
    virtual ~MixerBackend() = default;
    virtual std::uint32_t numDevs() = 0;
    virtual std::uint32_t getDevCaps(std::uint32_t device, MixerCaps& caps) = 0;
    virtual std::uint32_t open(std::uint32_t device, MixerHandle& handle) = 0;
    virtual std::uint32_t close(MixerHandle handle) = 0;
    // The first line of that component type (line.componentType set by the caller).
    virtual std::uint32_t lineByComponent(MixerHandle h, MixerLine& line) = 0;
    // Destination line.destination.
    virtual std::uint32_t lineByDestination(MixerHandle h, MixerLine& line) = 0;
    // Source line.source of destination line.destination.
    virtual std::uint32_t lineBySource(MixerHandle h, MixerLine& line) = 0;
    // The line's control of that type.
    virtual std::uint32_t controlByType(MixerHandle h, std::uint32_t lineId, std::uint32_t type, MixerControl& c) = 0;
    // Every control of the line.
    virtual std::uint32_t allControls(MixerHandle h, std::uint32_t lineId, std::vector<MixerControl>& out) = 0;
    // The control's value (one value for all channels).
    virtual std::uint32_t getValue(MixerHandle h, std::uint32_t controlId, std::int32_t& value) = 0;
    virtual std::uint32_t setValue(MixerHandle h, std::uint32_t controlId, std::int32_t value) = 0;
};

// No sound card: no devices; opening fails with MixerNoDriver, every other call
// with MixerInvalHandle.
class NullMixerBackend final : public MixerBackend {
public:
    std::uint32_t numDevs() override { return 0; }
    std::uint32_t getDevCaps(std::uint32_t, MixerCaps&) override { return MixerBadDeviceId; }
    std::uint32_t open(std::uint32_t, MixerHandle&) override { return MixerNoDriver; }
    std::uint32_t close(MixerHandle) override { return MixerInvalHandle; }
    std::uint32_t lineByComponent(MixerHandle, MixerLine&) override { return MixerInvalHandle; }
    std::uint32_t lineByDestination(MixerHandle, MixerLine&) override { return MixerInvalHandle; }
    std::uint32_t lineBySource(MixerHandle, MixerLine&) override { return MixerInvalHandle; }
    std::uint32_t controlByType(MixerHandle, std::uint32_t, std::uint32_t, MixerControl&) override { return MixerInvalHandle; }
    std::uint32_t allControls(MixerHandle, std::uint32_t, std::vector<MixerControl>&) override { return MixerInvalHandle; }
    std::uint32_t getValue(MixerHandle, std::uint32_t, std::int32_t&) override { return MixerInvalHandle; }
    std::uint32_t setValue(MixerHandle, std::uint32_t, std::int32_t) override { return MixerInvalHandle; }
};

// The ALSA backend over the first sound card; a NullMixerBackend where the program was
// built without ALSA.
std::unique_ptr<MixerBackend> makeAlsaMixerBackend();

} // namespace platform
