#pragma once
// Qt implementations of the platform services: message box and event pump.

#include "platform/base/messagebox.h"

namespace platform {

class QtMessageBox final : public MessageBoxService {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override;
};

// Installs the Qt event pump into the clock service.
void installQtEventPump();

} // namespace platform
