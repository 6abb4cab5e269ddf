#include "sim/adapters/emulatedadapter.h"

#include "platform/adapters/ds2480bbackend.h"
#include "platform/adapters/ds2490backend.h"
#include "platform/adapters/passiveserialbackend.h"
#include "platform/base/system.h"
#include "sim/onewire/simbackend.h"
#include "sim/serial/memoryserialport.h"

namespace platform::emu {

std::string adapterKeyword(AdapterKind kind)
{
    switch (kind) {
    case AdapterKind::PassiveSerial:
        return "passive";
    case AdapterKind::Ds2480b:
        return "ds2480b";
    case AdapterKind::Ds2490:
        return "ds2490";
    case AdapterKind::Simulated:
        break;
    }
    return "sim";
}

std::optional<AdapterKind> adapterFromKeyword(const std::string& word)
{
    for (AdapterKind k : {AdapterKind::Simulated, AdapterKind::PassiveSerial, AdapterKind::Ds2480b, AdapterKind::Ds2490})
        if (adapterKeyword(k) == word)
            return k;
    return std::nullopt;
}

std::vector<std::string> EmulatedAdapter::protocolErrors() const
{
    if (serialEmu)
        return serialEmu->protocolErrors();
    if (ds2490)
        return ds2490->protocolErrors();
    return {};
}

void EmulatedAdapter::clearProtocolErrors()
{
    if (serialEmu)
        serialEmu->clearProtocolErrors();
    if (ds2490)
        ds2490->clearProtocolErrors();
}

EmulatedAdapter serveEmulated(AdapterKind kind, std::shared_ptr<sim::SimNetwork> network, int portType, int portNum)
{
    EmulatedAdapter a;
    a.kind = kind;
    const int commPort = portNum > 0 ? portNum : 1;
    switch (kind) {
    case AdapterKind::Simulated:
        a.backend = useSimulatedNetwork(std::move(network), portType, portNum);
        return a;
    case AdapterKind::PassiveSerial: {
        a.serialEmu = std::make_shared<PassiveAdapterEmu>(network);
        auto b = std::make_shared<PassiveSerialBackend>(std::make_unique<MemorySerialPort>(a.serialEmu.get()), commPort);
        a.traffic = &b->traffic();
        a.backend = b;
        break;
    }
    case AdapterKind::Ds2480b: {
        auto emu = std::make_shared<Ds2480bEmu>(network);
        a.ds2480b = emu.get();
        a.serialEmu = emu;
        auto b = std::make_shared<Ds2480bBackend>(std::make_unique<MemorySerialPort>(a.serialEmu.get()), commPort);
        // The emulated adapter has the programming supply, so EPROM nodes can be written.
        b->setProgramVoltage(true);
        emu->setProgramVoltage(true);
        a.traffic = &b->traffic();
        a.backend = b;
        break;
    }
    case AdapterKind::Ds2490: {
        auto usb = std::make_unique<Ds2490Emu>(network);
        usb->setProgramVoltage(true);
        a.ds2490 = usb.get();
        auto b = std::make_shared<Ds2490Backend>(std::move(usb));
        a.traffic = &b->traffic();
        a.backend = b;
        break;
    }
    }
    registerBackend(portType, portNum, a.backend);
    return a;
}

EmulatedAdapter serveFromEnvironment(std::shared_ptr<sim::SimNetwork> network, int portType, int portNum)
{
    AdapterKind kind = AdapterKind::Simulated;
    if (const auto v = environment(kTestAdapterVariable); v && !v->empty())
        if (const auto k = adapterFromKeyword(*v))
            kind = *k;
    return serveEmulated(kind, std::move(network), portType, portNum);
}

} // namespace platform::emu
