#include "shell/nodes/nodehost.h"

#include "device/onewire/onewirewindow.h"

namespace shell {

namespace {
NodeHost g_default;
NodeHost* g_host = nullptr;
} // namespace

bool NodeHost::ds9097uDriverChecked() { return device::oneWireWindow().ds9097uDriverChecked(); }

void setNodeHost(NodeHost* host) { g_host = host; }

NodeHost& nodeHost() { return g_host ? *g_host : g_default; }

} // namespace shell
