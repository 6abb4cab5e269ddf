#include "tests/kit/minimalnodewindowfactory.h"

#include "tests/kit/minimaltedsf.h"

namespace shell {

std::unique_ptr<NodeWindow> MinimalNodeWindowFactory::NewTedsF() { return std::make_unique<MinimalTedsF>(); }

void installMinimalNodeWindows()
{
    static MinimalNodeWindowFactory factory;
    setNodeWindowFactory(&factory);
}

} // namespace shell
