#include "app/amplifiertoolshost.h"

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/toolwindows/peloxmaintenancef.h"
#include "amplifier/toolwindows/peloxtest.h"

namespace app {

AmplifierToolsHost::AmplifierToolsHost() = default;
AmplifierToolsHost::~AmplifierToolsHost()
{
    if (terminal_)
        amplifier::amplifierState().showTerminalSelection = nullptr;
}

void AmplifierToolsHost::Pelox_test()
{
    if (!terminal_) {
        terminal_ = std::make_unique<amplifier::Pelox_test>();
        terminal_->model().switchToAmplifierLink = switchToAmplifierLink;
        amplifier::amplifierState().showTerminalSelection = [this](int a, int ch) {
            terminal_->model().showSelection(a, ch);
        };
        terminal_->Form_Load();
    }
    // The log of earlier exchanges stays over every opening.
    terminal_->sync();
    terminal_->show();
    terminal_->raise();
}

void AmplifierToolsHost::Pelox_MaintenanceF()
{
    if (!maintenance_) {
        maintenance_ = std::make_unique<amplifier::Pelox_MaintenanceF>();
        maintenance_->model().switchToAmplifierLink = switchToAmplifierLink;
        maintenance_->Form_Load();
    }
    maintenance_->show();
    maintenance_->raise();
}

} // namespace app
