#pragma once
// The amplifier window as the main window sees it: created and loaded at its first
// showing, released when the program leaves the amplifier link.

#include "shell/iface/neighbourwindows.h"

#include <memory>

namespace amplifier {
class PeloxF;
}

namespace app {

class AmplifierWindowHost final : public shell::AmplifierWindow {
public:
    AmplifierWindowHost();
    ~AmplifierWindowHost() override;
    void show() override;
    void unload() override;
    void Wakeup_Pelox() override;
    void setTsens(double value, const std::string& unit) override;
    void TsensToPelox(bool force) override;

    // The loaded window, or nullptr.
    amplifier::PeloxF* window() { return window_.get(); }

private:
    std::unique_ptr<amplifier::PeloxF> window_;
};

} // namespace app
