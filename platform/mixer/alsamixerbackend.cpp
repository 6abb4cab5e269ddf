#include "platform/mixer/alsamixerbackend.h"

#ifdef TS_HAVE_ALSA

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// Lines of a card: index in kLines is the line id's low byte.
struct LineLayout {
    std::uint32_t component;
    const char* element;
    bool capture;         // mute is the capture switch (sources), else the playback switch
    bool hasVolume;
    bool hasMute;
    int destination;      // for sources: their destination; -1 for destinations
};
constexpr LineLayout kLines[] = {
    {DstSpeakers, "Master", false, true, true, -1},
    {DstLine, "Line", false, true, false, -1},
    {SrcMicrophone, "Mic", true, false, true, 0},
    {SrcLine, "Line", true, false, true, 0},
};
constexpr std::uint32_t kLineIdBase = 0x10000;
constexpr std::uint32_t kVolumeKind = 1;
constexpr std::uint32_t kMuteKind = 2;
constexpr long kFullScale = 65535;

std::vector<int> cards()
{
    std::vector<int> out;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0)
        out.push_back(card);
    return out;
}

} // namespace

struct AlsaMixerBackend::Card {
    snd_mixer_t* mixer = nullptr;
    int number = 0;
    // Element per line (nullptr: the card lacks it).
    std::vector<snd_mixer_elem_t*> elements;

    // Whether index i names a line of kLines that the card has.
    bool present(std::uint32_t i) const { return i < std::size(kLines) && elements[i]; }
    // The kLines index of a line id of this card, -1 when the card has no such line.
    int lineIndex(std::uint32_t lineId) const
    {
        return lineId >= kLineIdBase && present(lineId - kLineIdBase) ? static_cast<int>(lineId - kLineIdBase) : -1;
    }
    // The kLines index of destination n, -1 when the card has fewer.
    int destinationIndex(std::uint32_t n) const
    {
        const auto dests = destinations();
        return n < dests.size() ? dests[n] : -1;
    }

    // Destinations present, in kLines order.
    std::vector<int> destinations() const
    {
        std::vector<int> out;
        for (int i = 0; i < static_cast<int>(std::size(kLines)); ++i)
            if (kLines[i].destination < 0 && elements[static_cast<std::size_t>(i)])
                out.push_back(i);
        return out;
    }
    std::vector<int> sourcesOf(int dest) const
    {
        std::vector<int> out;
        for (int i = 0; i < static_cast<int>(std::size(kLines)); ++i)
            if (kLines[i].destination == dest && elements[static_cast<std::size_t>(i)])
                out.push_back(i);
        return out;
    }
    bool hasVolume(int i) const
    {
        auto* e = elements[static_cast<std::size_t>(i)];
        return e && kLines[i].hasVolume && snd_mixer_selem_has_playback_volume(e);
    }
    bool hasMute(int i) const
    {
        auto* e = elements[static_cast<std::size_t>(i)];
        if (!e || !kLines[i].hasMute)
            return false;
        return kLines[i].capture ? snd_mixer_selem_has_capture_switch(e) : snd_mixer_selem_has_playback_switch(e);
    }
    MixerLine line(int i) const
    {
        MixerLine l;
        const LineLayout& s = kLines[i];
        const auto dests = destinations();
        if (s.destination < 0) {
            l.destination = static_cast<std::uint32_t>(std::find(dests.begin(), dests.end(), i) - dests.begin());
            l.connections = static_cast<std::uint32_t>(sourcesOf(i).size());
        } else {
            l.destination = static_cast<std::uint32_t>(std::find(dests.begin(), dests.end(), s.destination) - dests.begin());
            const auto src = sourcesOf(s.destination);
            l.source = static_cast<std::uint32_t>(std::find(src.begin(), src.end(), i) - src.begin());
            l.flags = LineSource;
        }
        l.lineId = kLineIdBase + static_cast<std::uint32_t>(i);
        l.componentType = s.component;
        l.channels = 2;
        l.controls = (hasVolume(i) ? 1u : 0u) + (hasMute(i) ? 1u : 0u);
        l.shortName = s.element;
        l.name = s.element;
        return l;
    }
    MixerControl control(int i, std::uint32_t kind) const
    {
        MixerControl c;
        c.controlId = (static_cast<std::uint32_t>(i) << 8) | kind;
        c.controlType = kind == kVolumeKind ? ControlVolume : ControlMute;
        c.name = std::string(kLines[i].element) + (kind == kVolumeKind ? " Volume" : " Mute");
        c.shortName = c.name;
        c.maximum = kind == kVolumeKind ? static_cast<std::int32_t>(kFullScale) : 1;
        return c;
    }
};

AlsaMixerBackend::AlsaMixerBackend() = default;

AlsaMixerBackend::~AlsaMixerBackend()
{
    for (auto& [h, card] : open_) {
        snd_mixer_close(card->mixer);
        delete card;
    }
}

std::uint32_t AlsaMixerBackend::numDevs() { return static_cast<std::uint32_t>(cards().size()); }

std::uint32_t AlsaMixerBackend::getDevCaps(std::uint32_t device, MixerCaps& caps)
{
    const auto list = cards();
    if (list.empty())
        return MixerNoDriver;
    if (device >= list.size())
        return MixerBadDeviceId;
    char* name = nullptr;
    caps = MixerCaps{};
    if (snd_card_get_name(list[device], &name) == 0 && name) {
        caps.pname = name;
        free(name);
    }
    MixerHandle h = 0;
    if (open(device, h) == MixerOk) {
        caps.destinations = static_cast<std::uint32_t>(cardOf(h)->destinations().size());
        close(h);
    }
    return MixerOk;
}

std::uint32_t AlsaMixerBackend::open(std::uint32_t device, MixerHandle& handle)
{
    const auto list = cards();
    if (list.empty())
        return MixerNoDriver;
    if (device >= list.size())
        return MixerBadDeviceId;
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return MixerNoDriver;
    const std::string hw = "hw:" + std::to_string(list[device]);
    if (snd_mixer_attach(mixer, hw.c_str()) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0
        || snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return MixerNoDriver;
    }
    auto* card = new Card;
    card->mixer = mixer;
    card->number = list[device];
    snd_mixer_selem_id_t* sid = nullptr;
    snd_mixer_selem_id_alloca(&sid);
    for (const LineLayout& s : kLines) {
        snd_mixer_selem_id_set_index(sid, 0);
        snd_mixer_selem_id_set_name(sid, s.element);
        card->elements.push_back(snd_mixer_find_selem(mixer, sid));
    }
    handle = nextHandle_++;
    open_[handle] = card;
    return MixerOk;
}

std::uint32_t AlsaMixerBackend::close(MixerHandle handle)
{
    const auto it = open_.find(handle);
    if (it == open_.end())
        return MixerInvalHandle;
    snd_mixer_close(it->second->mixer);
    delete it->second;
    open_.erase(it);
    return MixerOk;
}

AlsaMixerBackend::Card* AlsaMixerBackend::cardOf(MixerHandle h)
{
    const auto it = open_.find(h);
    return it == open_.end() ? nullptr : it->second;
}

std::uint32_t AlsaMixerBackend::lineByComponent(MixerHandle h, MixerLine& line)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    for (int i = 0; i < static_cast<int>(std::size(kLines)); ++i)
        if (kLines[i].component == line.componentType && c->elements[static_cast<std::size_t>(i)]) {
            line = c->line(i);
            return MixerOk;
        }
    return MixerInvalLine;
}

std::uint32_t AlsaMixerBackend::lineByDestination(MixerHandle h, MixerLine& line)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    const int d = c->destinationIndex(line.destination);
    if (d < 0)
        return MixerInvalLine;
    line = c->line(d);
    return MixerOk;
}

std::uint32_t AlsaMixerBackend::lineBySource(MixerHandle h, MixerLine& line)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    const int d = c->destinationIndex(line.destination);
    if (d < 0)
        return MixerInvalLine;
    const auto src = c->sourcesOf(d);
    if (line.source >= src.size())
        return MixerInvalLine;
    line = c->line(src[line.source]);
    return MixerOk;
}

std::uint32_t AlsaMixerBackend::controlByType(MixerHandle h, std::uint32_t lineId, std::uint32_t type, MixerControl& ctl)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    const int i = c->lineIndex(lineId);
    if (i < 0)
        return MixerInvalLine;
    if (type == ControlVolume && c->hasVolume(i)) {
        ctl = c->control(i, kVolumeKind);
        return MixerOk;
    }
    if (type == ControlMute && c->hasMute(i)) {
        ctl = c->control(i, kMuteKind);
        return MixerOk;
    }
    return MixerInvalControl;
}

std::uint32_t AlsaMixerBackend::allControls(MixerHandle h, std::uint32_t lineId, std::vector<MixerControl>& out)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    const int i = c->lineIndex(lineId);
    if (i < 0)
        return MixerInvalLine;
    out.clear();
    if (c->hasVolume(i))
        out.push_back(c->control(i, kVolumeKind));
    if (c->hasMute(i))
        out.push_back(c->control(i, kMuteKind));
    return MixerOk;
}

std::uint32_t AlsaMixerBackend::getValue(MixerHandle h, std::uint32_t controlId, std::int32_t& value)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    const std::uint32_t i = controlId >> 8;
    const std::uint32_t kind = controlId & 0xFF;
    if (!c->present(i))
        return MixerInvalControl;
    snd_mixer_elem_t* e = c->elements[i];
    snd_mixer_handle_events(c->mixer);
    if (kind == kVolumeKind && c->hasVolume(static_cast<int>(i))) {
        long min = 0, max = 0, v = 0;
        snd_mixer_selem_get_playback_volume_range(e, &min, &max);
        if (snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
            return MixerInvalControl;
        value = max > min ? static_cast<std::int32_t>(std::lround(static_cast<double>(v - min) * kFullScale / (max - min))) : 0;
        return MixerOk;
    }
    if (kind == kMuteKind && c->hasMute(static_cast<int>(i))) {
        int on = 0;
        const int r = kLines[i].capture ? snd_mixer_selem_get_capture_switch(e, SND_MIXER_SCHN_FRONT_LEFT, &on)
                                        : snd_mixer_selem_get_playback_switch(e, SND_MIXER_SCHN_FRONT_LEFT, &on);
        if (r < 0)
            return MixerInvalControl;
        value = on ? 0 : 1;
        return MixerOk;
    }
    return MixerInvalControl;
}

std::uint32_t AlsaMixerBackend::setValue(MixerHandle h, std::uint32_t controlId, std::int32_t value)
{
    Card* c = cardOf(h);
    if (!c)
        return MixerInvalHandle;
    const std::uint32_t i = controlId >> 8;
    const std::uint32_t kind = controlId & 0xFF;
    if (!c->present(i))
        return MixerInvalControl;
    snd_mixer_elem_t* e = c->elements[i];
    if (kind == kVolumeKind && c->hasVolume(static_cast<int>(i))) {
        long min = 0, max = 0;
        snd_mixer_selem_get_playback_volume_range(e, &min, &max);
        const long v = min + std::lround(static_cast<double>(std::clamp<long>(value, 0, kFullScale)) * (max - min) / kFullScale);
        return snd_mixer_selem_set_playback_volume_all(e, v) < 0 ? MixerInvalControl : MixerOk;
    }
    if (kind == kMuteKind && c->hasMute(static_cast<int>(i))) {
        const int on = value ? 0 : 1;
        const int r = kLines[i].capture ? snd_mixer_selem_set_capture_switch_all(e, on)
                                        : snd_mixer_selem_set_playback_switch_all(e, on);
        return r < 0 ? MixerInvalControl : MixerOk;
    }
    return MixerInvalControl;
}

std::unique_ptr<MixerBackend> makeAlsaMixerBackend() { return std::make_unique<AlsaMixerBackend>(); }

} // namespace platform

#else

namespace platform {
std::unique_ptr<MixerBackend> makeAlsaMixerBackend() { return std::make_unique<NullMixerBackend>(); }
} // namespace platform

#endif
