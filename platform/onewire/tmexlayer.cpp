#include "platform/onewire/tmexlayer.h"

namespace platform {

TmexLayerState& tmexLayer()
{
    static TmexLayerState state;
    return state;
}

namespace {

// Ends sessions whose port is no longer served by their backend.
void dropOrphanSessions()
{
    auto& l = tmexLayer();
    for (auto it = l.open.begin(); it != l.open.end();) {
        if (backendFor(it->first.type, it->first.num) != it->second.backend) {
            it->second.backend->closeSession();
            it = l.open.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

void registerBackend(int portType, int portNum, std::shared_ptr<OneWireBackend> backend)
{
    auto& l = tmexLayer();
    const PortKey key{portType, portNum};
    bool replaced = false;
    for (auto& entry : l.backends) {
        if (entry.first == key) {
            entry.second = backend;
            replaced = true;
        }
    }
    if (!replaced && backend)
        l.backends.emplace_back(key, std::move(backend));
    dropOrphanSessions();
}

void unregisterBackend(int portType, int portNum)
{
    auto& l = tmexLayer();
    const PortKey key{portType, portNum};
    std::erase_if(l.backends, [&](const auto& e) { return e.first == key; });
    dropOrphanSessions();
}

std::shared_ptr<OneWireBackend> backendFor(int portType, int portNum)
{
    const auto& b = tmexLayer().backends;
    // Exact entries first, then those with a wildcard.
    for (const PortKey k : {PortKey{portType, portNum}, PortKey{portType, -1}, PortKey{-1, portNum}, PortKey{-1, -1}})
        for (const auto& e : b)
            if (e.first == k && e.second)
                return e.second;
    return nullptr;
}

std::shared_ptr<OneWireBackend> registeredBackend(int portType, int portNum)
{
    const PortKey key{portType, portNum};
    for (const auto& e : tmexLayer().backends)
        if (e.first == key)
            return e.second;
    return nullptr;
}

std::shared_ptr<OneWireBackend> backendForType(int portType)
{
    const auto& b = tmexLayer().backends;
    for (const auto& e : b)
        if (e.first.type == portType && e.second)
            return e.second;
    for (const auto& e : b)
        if (e.first.type == -1 && e.second)
            return e.second;
    return nullptr;
}

std::vector<std::shared_ptr<OneWireBackend>> registeredBackends()
{
    std::vector<std::shared_ptr<OneWireBackend>> out;
    for (const auto& e : tmexLayer().backends)
        if (e.second)
            out.push_back(e.second);
    return out;
}

bool isSimulated(int portType, int portNum)
{
    auto b = backendFor(portType, portNum);
    return b && b->isSimulated();
}

std::string backendDescription(int portType, int portNum)
{
    auto b = backendFor(portType, portNum);
    return b ? b->description() : std::string();
}

TmexSession* findSession(std::int32_t handle)
{
    if (handle <= 0)
        return nullptr;
    auto& l = tmexLayer();
    for (auto& [port, s] : l.open) {
        if (s.handle == handle)
            return backendFor(port.type, port.num) == s.backend ? &s : nullptr;
    }
    return nullptr;
}

int failSession(std::int32_t handle, int code, const std::string& reason)
{
    auto& l = tmexLayer();
    for (auto it = l.open.begin(); it != l.open.end(); ++it) {
        if (it->second.handle == handle) {
            auto backend = it->second.backend;
            std::string why = reason.empty() ? backend->lastError() : reason;
            l.errors[it->first] = why.empty() ? "the adapter exchange failed" : why;
            l.open.erase(it);
            backend->closeSession();
            break;
        }
    }
    return code;
}

int noteShort(std::int32_t handle)
{
    auto& l = tmexLayer();
    for (auto& [port, s] : l.open)
        if (s.handle == handle)
            l.errors[port] = "1-Wire bus short circuit on " + s.backend->description();
    return TMEX_BUS_SHORT;
}

std::string portErrorText(int portType, int portNum)
{
    const auto& e = tmexLayer().errors;
    const auto it = e.find(PortKey{portType, portNum});
    return it == e.end() ? std::string() : it->second;
}

void resetTmex()
{
    auto& l = tmexLayer();
    for (auto& [port, s] : l.open)
        s.backend->closeSession();
    l = TmexLayerState{};
}

} // namespace platform
