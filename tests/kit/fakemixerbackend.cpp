#include "tests/kit/fakemixerbackend.h"

namespace platform {

FakeMixerBackend FakeMixerBackend::typicalCard()
{
    FakeMixerBackend m;
    m.devices.emplace_back();
    m.devices[0].caps.pname = "Fake Audio";
    m.devices[0].caps.mid = 1;
    m.devices[0].caps.pid = 2;
    m.devices[0].caps.driverVersion = 0x0500;
    auto& speakers = m.addDestination(DstSpeakers, "Master");
    m.addControl(speakers, ControlVolume, "Master Volume", 40000);
    m.addControl(speakers, ControlMute, "Master Mute", 0);
    auto& line = m.addDestination(DstLine, "Line Out");
    m.addControl(line, ControlVolume, "Line Out Volume", 30000);
    auto& mic = m.addSource(0, SrcMicrophone, "Mic");
    m.addControl(mic, ControlMute, "Mic Mute", 0);
    auto& lineIn = m.addSource(0, SrcLine, "Line");
    m.addControl(lineIn, ControlMute, "Line Mute", 1);
    return m;
}

FakeMixerBackend::Line& FakeMixerBackend::addDestination(std::uint32_t component, const std::string& name)
{
    if (devices.empty())
        devices.emplace_back();
    auto& d = devices[0];
    Line l;
    l.info.destination = static_cast<std::uint32_t>(d.destinations.size());
    l.info.lineId = nextLineId_++;
    l.info.componentType = component;
    l.info.channels = 2;
    l.info.shortName = name;
    l.info.name = name;
    d.destinations.push_back(l);
    d.caps.destinations = static_cast<std::uint32_t>(d.destinations.size());
    return d.destinations.back();
}

FakeMixerBackend::Line& FakeMixerBackend::addSource(std::size_t dest, std::uint32_t component, const std::string& name)
{
    auto& parent = devices.at(0).destinations.at(dest);
    Line l;
    l.info.destination = static_cast<std::uint32_t>(dest);
    l.info.source = static_cast<std::uint32_t>(parent.sources.size());
    l.info.lineId = nextLineId_++;
    l.info.flags = LineSource;
    l.info.componentType = component;
    l.info.channels = 2;
    l.info.shortName = name;
    l.info.name = name;
    parent.sources.push_back(l);
    parent.info.connections = static_cast<std::uint32_t>(parent.sources.size());
    return parent.sources.back();
}

std::uint32_t FakeMixerBackend::addControl(Line& line, std::uint32_t type, const std::string& name, std::int32_t value)
{
    Control c;
    c.info.controlId = nextControlId_++;
    c.info.controlType = type;
    c.info.shortName = name;
    c.info.name = name;
    c.info.maximum = type == ControlVolume ? 65535 : 1;
    c.value = value;
    line.controls.push_back(c);
    line.info.controls = static_cast<std::uint32_t>(line.controls.size());
    return c.info.controlId;
}

int FakeMixerBackend::openHandles() const { return static_cast<int>(open_.size()); }

std::uint32_t FakeMixerBackend::failure(const std::string& call, std::uint32_t key) const
{
    auto it = failures.find(call + ":" + std::to_string(key));
    if (it != failures.end())
        return it->second;
    it = failures.find(call);
    return it != failures.end() ? it->second : MixerOk;
}

FakeMixerBackend::Device* FakeMixerBackend::deviceOf(MixerHandle h)
{
    const auto it = open_.find(h);
    return it == open_.end() ? nullptr : &devices.at(it->second);
}

FakeMixerBackend::Line* FakeMixerBackend::lineById(Device& d, std::uint32_t lineId)
{
    for (auto& dest : d.destinations) {
        if (dest.info.lineId == lineId)
            return &dest;
        for (auto& s : dest.sources)
            if (s.info.lineId == lineId)
                return &s;
    }
    return nullptr;
}

FakeMixerBackend::Control* FakeMixerBackend::controlById(Device& d, std::uint32_t controlId)
{
    for (auto& dest : d.destinations) {
        for (auto& c : dest.controls)
            if (c.info.controlId == controlId)
                return &c;
        for (auto& s : dest.sources)
            for (auto& c : s.controls)
                if (c.info.controlId == controlId)
                    return &c;
    }
    return nullptr;
}

const FakeMixerBackend::Control* FakeMixerBackend::findControl(std::uint32_t controlId) const
{
    for (auto& d : devices)
        if (auto* c = const_cast<FakeMixerBackend*>(this)->controlById(const_cast<Device&>(d), controlId))
            return c;
    return nullptr;
}

std::int32_t FakeMixerBackend::value(std::uint32_t controlId) const
{
    const Control* c = findControl(controlId);
    return c ? c->value : 0;
}

std::uint32_t FakeMixerBackend::controlId(std::uint32_t component, std::uint32_t type) const
{
    for (const auto& d : devices)
        for (const auto& dest : d.destinations) {
            std::vector<const Line*> lines{&dest};
            for (const auto& s : dest.sources)
                lines.push_back(&s);
            for (const Line* l : lines)
                if (l->info.componentType == component)
                    for (const auto& c : l->controls)
                        if (c.info.controlType == type)
                            return c.info.controlId;
        }
    return 0;
}

std::uint32_t FakeMixerBackend::getDevCaps(std::uint32_t device, MixerCaps& caps)
{
    if (const auto r = failure("getDevCaps", device))
        return r;
    if (device >= devices.size())
        return MixerBadDeviceId;
    caps = devices[device].caps;
    return MixerOk;
}

std::uint32_t FakeMixerBackend::open(std::uint32_t device, MixerHandle& handle)
{
    if (const auto r = failure("open", device))
        return r;
    if (devices.empty())
        return MixerNoDriver;
    if (device >= devices.size())
        return MixerBadDeviceId;
    handle = nextHandle_++;
    open_[handle] = device;
    return MixerOk;
}

std::uint32_t FakeMixerBackend::close(MixerHandle handle)
{
    if (const auto r = failure("close", 0))
        return r;
    return open_.erase(handle) ? MixerOk : MixerInvalHandle;
}

std::uint32_t FakeMixerBackend::lineByComponent(MixerHandle h, MixerLine& line)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    if (const auto r = failure("lineByComponent", line.componentType))
        return r;
    for (auto& dest : d->destinations) {
        if (dest.info.componentType == line.componentType) {
            line = dest.info;
            return MixerOk;
        }
        for (auto& s : dest.sources)
            if (s.info.componentType == line.componentType) {
                line = s.info;
                return MixerOk;
            }
    }
    return MixerInvalLine;
}

std::uint32_t FakeMixerBackend::lineByDestination(MixerHandle h, MixerLine& line)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    if (line.destination >= d->destinations.size())
        return MixerInvalLine;
    line = d->destinations[line.destination].info;
    return MixerOk;
}

std::uint32_t FakeMixerBackend::lineBySource(MixerHandle h, MixerLine& line)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    if (line.destination >= d->destinations.size())
        return MixerInvalLine;
    const auto& dest = d->destinations[line.destination];
    if (line.source >= dest.sources.size())
        return MixerInvalLine;
    line = dest.sources[line.source].info;
    return MixerOk;
}

std::uint32_t FakeMixerBackend::controlByType(MixerHandle h, std::uint32_t lineId, std::uint32_t type, MixerControl& c)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    if (const auto r = failure("controlByType", type))
        return r;
    Line* l = lineById(*d, lineId);
    if (!l)
        return MixerInvalLine;
    for (const auto& ctl : l->controls)
        if (ctl.info.controlType == type) {
            c = ctl.info;
            return MixerOk;
        }
    return MixerInvalControl;
}

std::uint32_t FakeMixerBackend::allControls(MixerHandle h, std::uint32_t lineId, std::vector<MixerControl>& out)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    Line* l = lineById(*d, lineId);
    if (!l)
        return MixerInvalLine;
    out.clear();
    for (const auto& ctl : l->controls)
        out.push_back(ctl.info);
    return MixerOk;
}

std::uint32_t FakeMixerBackend::getValue(MixerHandle h, std::uint32_t controlId, std::int32_t& value)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    if (const auto r = failure("getValue", controlId))
        return r;
    Control* c = controlById(*d, controlId);
    if (!c)
        return MixerInvalControl;
    value = c->value;
    return MixerOk;
}

std::uint32_t FakeMixerBackend::setValue(MixerHandle h, std::uint32_t controlId, std::int32_t value)
{
    Device* d = deviceOf(h);
    if (!d)
        return MixerInvalHandle;
    if (const auto r = failure("setValue", controlId))
        return r;
    Control* c = controlById(*d, controlId);
    if (!c)
        return MixerInvalControl;
    c->value = value;
    writes.push_back("set " + std::to_string(controlId) + " " + std::to_string(value));
    return MixerOk;
}

} // namespace platform
