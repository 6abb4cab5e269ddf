#include "shell/nodewindows/shellnodewindowfactory.h"

#include "shell/nodewindows/notsupportedf.h"
#include "shell/nodewindows/switchf.h"
#include "shell/nodewindows/temperaturef.h"

namespace shell {

std::unique_ptr<NodeWindow> ShellNodeWindowFactory::NewTemperatureF() { return std::make_unique<TemperatureF>(); }
std::unique_ptr<NodeWindow> ShellNodeWindowFactory::NewSwitchF() { return std::make_unique<SwitchF>(); }
std::unique_ptr<NodeWindow> ShellNodeWindowFactory::NewTedsF() { return std::make_unique<Not_SupportedF>(); }
std::unique_ptr<NodeWindow> ShellNodeWindowFactory::NewNotSupportedF() { return std::make_unique<Not_SupportedF>(); }

} // namespace shell
