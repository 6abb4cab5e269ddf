// The node list as the device drivers see it.

#include "device/drivers/driverstate.h"
#include "shell/nodes/nodelist.h"

namespace shell {

namespace {

class DriverNodeListAdapter final : public device::DriverNodeList {
public:
    std::vector<int> familyCodes() override
    {
        std::vector<int> codes;
        for (const TrRecord& r : nodesState().TrList)
            codes.push_back(r.family);
        return codes;
    }

    bool NodeInList(const std::string& id) override
    {
        NodeTree::Handle index;
        bool found = false;
        shell::NodeInList(id, index, found);
        return found;
    }
};

} // namespace

device::DriverNodeList& driverNodeList()
{
    static DriverNodeListAdapter adapter;
    return adapter;
}

} // namespace shell
