#include "shell/nodewindows/minimalnodewindowfactory.h"

#include "shell/nodewindows/minimaltedsf.h"
#include "shell/nodewindows/notsupportedf.h"
#include "shell/nodewindows/switchf.h"
#include "shell/nodewindows/temperaturef.h"

namespace shell {

std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewTemperatureF() { return std::make_unique<TemperatureF>(); }
std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewSwitchF() { return std::make_unique<SwitchF>(); }
std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewTedsF() { return std::make_unique<MinimalTedsF>(); }
std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewNotSupportedF() { return std::make_unique<Not_SupportedF>(); }

void installMinimalNodeWindows()
{
    static MinimalNodeWindowFactory factory;
    setNodeWindowFactory(&factory);
}

} // namespace shell
