#include "shell/nodes/nodehost.h"

#include "device/onewire/onewirewindow.h"

namespace shell {

bool StandInNodeHost::ds9097uDriverChecked() { return device::oneWireWindow().ds9097uDriverChecked(); }

namespace {

StandInNodeHost g_default;
NodeHost* g_host = nullptr;

} // namespace

void setNodeHost(NodeHost* host) { g_host = host; }

NodeHost& nodeHost() { return g_host ? *g_host : g_default; }

} // namespace shell
