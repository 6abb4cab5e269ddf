#pragma once
// The four node-window factories the node list calls by family code. The program
// registers its factories once; each call returns a new window, not yet shown.

#include "shell/nodes/nodewindow.h"

#include <memory>

namespace shell {

class NodeWindowFactory {
public:
    virtual ~NodeWindowFactory() = default;
    // Thermometer (family 10h).
    virtual std::unique_ptr<NodeWindow> NewTemperatureF() = 0;
    // Dual switch, second record of a family 12h node.
    virtual std::unique_ptr<NodeWindow> NewSwitchF() = 0;
    // Memory record (families 12h, 14h, 23h, 2Dh).
    virtual std::unique_ptr<NodeWindow> NewTedsF() = 0;
    // Every other family.
    virtual std::unique_ptr<NodeWindow> NewNotSupportedF() = 0;
    // The one application-wide TEDS window (files, empty TEDS), created on first use and
    // kept by the factory; nullptr when the program has none.
    virtual NodeWindow* SharedTedsF() = 0;
};

// nullptr: none registered (creating a record then fails). The caller keeps ownership.
void setNodeWindowFactory(NodeWindowFactory* factory);
// Throws std::runtime_error when none is registered.
NodeWindowFactory& nodeWindowFactory();

} // namespace shell
