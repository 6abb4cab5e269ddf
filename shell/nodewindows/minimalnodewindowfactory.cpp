#include "shell/nodewindows/minimalnodewindowfactory.h"

#include "shell/nodewindows/functionnodewindows.h"
#include "shell/nodewindows/minimaltedsf.h"

namespace shell {

std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewTemperatureF() { return std::make_unique<MinimalTemperatureF>(); }
std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewSwitchF() { return std::make_unique<MinimalSwitchF>(); }
std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewTedsF() { return std::make_unique<MinimalTedsF>(); }
std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewNotSupportedF() { return std::make_unique<MinimalNotSupportedF>(); }

void installMinimalNodeWindows()
{
    static MinimalNodeWindowFactory factory;
    setNodeWindowFactory(&factory);
}

} // namespace shell
