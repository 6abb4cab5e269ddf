#pragma once
// Module state of the 1-Wire layer: registered backends, open sessions, ports set up.

#include "platform/onewire/tmex.h"

#include <map>
#include <vector>

namespace platform {

struct PortKey {
    int type = -1;
    int num = -1;
    auto operator<=>(const PortKey&) const = default;
};

struct TmexSession {
    std::int32_t handle = 0;
    std::shared_ptr<OneWireBackend> backend;
    bool pullupPrimed = false;  // strong pull-up right after the next byte
    // Steps held back for an adapter that pipelines: sent with the next exchange.
    std::vector<BusStep> pending;
    bool pendingSends = false;  // pending holds bytes of TMBlockSend (not only accesses)
};

struct TmexLayerState {
    std::vector<std::pair<PortKey, std::shared_ptr<OneWireBackend>>> backends;
    std::map<PortKey, TmexSession> open;  // one session per port
    std::int32_t lastHandle = 0;
    std::map<PortKey, std::string> errors;  // why the port last failed
};

TmexLayerState& tmexLayer();

// The open session with this handle whose port is still served by its backend.
TmexSession* findSession(std::int32_t handle);
// Ends the session after a failed exchange, keeps the backend's reason for the port and
// returns code.
int failSession(std::int32_t handle, int code, const std::string& reason = {});

// The bus of the session's port is shorted: keeps the reason for the port, the session
// stays open. Returns TMEX_BUS_SHORT.
int noteShort(std::int32_t handle);

// A backend serving the port type on some port number.
std::shared_ptr<OneWireBackend> backendForType(int portType);

} // namespace platform
