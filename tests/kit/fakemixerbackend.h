#pragma once
// A scripted sound card for tests: devices with destination lines, their source lines
// and controls with values, built in code. Any call can be made to fail with a given
// result; every value written is recorded.

#include "platform/mixer/mixerbackend.h"

#include <map>
#include <string>
#include <vector>

namespace platform {

class FakeMixerBackend final : public MixerBackend {
public:
    struct Control {
        MixerControl info;
        std::int32_t value = 0;
    };
    struct Line {
        MixerLine info;
        std::vector<Control> controls;
        std::vector<Line> sources;
    };
    struct Device {
        MixerCaps caps;
        std::vector<Line> destinations;
    };

    std::vector<Device> devices;
    // Call name ("open", "close", "lineByComponent", "controlByType", "getValue",
    // "setValue", ...), optionally with ":" and a control id or component type, to the
    // result it returns from now on.
    std::map<std::string, std::uint32_t> failures;
    // "set <control id> <value>" for every value written.
    std::vector<std::string> writes;
    int openHandles() const;

    // A card as the program expects one: speakers with volume and mute, a line-out
    // destination with volume, and microphone and line-in sources with mute.
    static FakeMixerBackend typicalCard();
    // Adds a destination (to device 0) or a source of destination d; returns the line.
    Line& addDestination(std::uint32_t component, const std::string& name);
    Line& addSource(std::size_t d, std::uint32_t component, const std::string& name);
    // Adds a control; returns its id.
    std::uint32_t addControl(Line& line, std::uint32_t type, const std::string& name, std::int32_t value);
    // The control's current value (0 for an unknown id).
    std::int32_t value(std::uint32_t controlId) const;
    // Id of the control of that type on the first line of that component, 0 when none.
    std::uint32_t controlId(std::uint32_t component, std::uint32_t type) const;

    std::uint32_t numDevs() override { return static_cast<std::uint32_t>(devices.size()); }
    std::uint32_t getDevCaps(std::uint32_t device, MixerCaps& caps) override;
    std::uint32_t open(std::uint32_t device, MixerHandle& handle) override;
    std::uint32_t close(MixerHandle handle) override;
    std::uint32_t lineByComponent(MixerHandle h, MixerLine& line) override;
    std::uint32_t lineByDestination(MixerHandle h, MixerLine& line) override;
    std::uint32_t lineBySource(MixerHandle h, MixerLine& line) override;
    std::uint32_t controlByType(MixerHandle h, std::uint32_t lineId, std::uint32_t type, MixerControl& c) override;
    std::uint32_t allControls(MixerHandle h, std::uint32_t lineId, std::vector<MixerControl>& out) override;
    std::uint32_t getValue(MixerHandle h, std::uint32_t controlId, std::int32_t& value) override;
    std::uint32_t setValue(MixerHandle h, std::uint32_t controlId, std::int32_t value) override;

private:
    std::uint32_t failure(const std::string& call, std::uint32_t key) const;
    Device* deviceOf(MixerHandle h);
    Line* lineById(Device& d, std::uint32_t lineId);
    Control* controlById(Device& d, std::uint32_t controlId);
    const Control* findControl(std::uint32_t controlId) const;

    std::map<MixerHandle, std::uint32_t> open_;  // handle -> device
    MixerHandle nextHandle_ = 0x100;
    std::uint32_t nextLineId_ = 0x10000;
    std::uint32_t nextControlId_ = 1;
};

} // namespace platform
