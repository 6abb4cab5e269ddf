#include "app/amplifierwindowhost.h"

#include "amplifier/peloxf/peloxf.h"
#include "device/amplink/peloxtransport.h"

namespace app {

AmplifierWindowHost::AmplifierWindowHost() = default;
AmplifierWindowHost::~AmplifierWindowHost() = default;

void AmplifierWindowHost::show()
{
    if (!window_) {
        window_ = std::make_unique<amplifier::PeloxF>();
        window_->Form_Load();
    }
    window_->show();
    window_->raise();
}

void AmplifierWindowHost::unload()
{
    // Called from a main-window job, never while one of the window's own jobs runs;
    // its queued jobs are dropped with it.
    window_.reset();
}

void AmplifierWindowHost::Wakeup_Pelox()
{
    if (window_)
        window_->model().Wakeup_Pelox();
    else
        device::Pelox_Send("MLAN OFF");
}

void AmplifierWindowHost::setTsens(double value, const std::string& unit)
{
    if (window_)
        window_->model().setTsens(value, unit);
}

void AmplifierWindowHost::TsensToPelox(bool force)
{
    if (window_)
        window_->model().TsensToPelox(force);
}

} // namespace app
