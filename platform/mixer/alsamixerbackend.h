#pragma once
// The first sound cards of ALSA as mixer devices, through the simple mixer element API.
// Each card shows the lines the program uses, built from the elements it has:
// destination "Master" (speakers: playback volume, mute = playback switch off),
// destination "Line" (line level: playback volume) and, under the speakers, sources
// "Mic" and "Line" (mute = capture switch off). Volumes are 0 .. 65535, scaled to the
// element's own range. A line whose element the card lacks does not exist.

#include "platform/mixer/mixerbackend.h"

#include <map>

namespace platform {

class AlsaMixerBackend final : public MixerBackend {
public:
    AlsaMixerBackend();
    ~AlsaMixerBackend() override;

    std::uint32_t numDevs() override;
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

    struct Card;

private:
    Card* cardOf(MixerHandle h);
    std::map<MixerHandle, Card*> open_;
    MixerHandle nextHandle_ = 1;
};

} // namespace platform
