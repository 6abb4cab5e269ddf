#pragma once
// The amplifier tool windows as the program opens them: the terminal (Debug > "Pelox")
// and the serial-number window (Tools > "Pelox maintenance"), each loaded at its first
// showing and kept until the program ends. The template download window is the
// amplifier window's own (its job 7).

#include <functional>
#include <memory>

namespace amplifier {
class Pelox_test;
class Pelox_MaintenanceF;
} // namespace amplifier

namespace app {

class AmplifierToolsHost {
public:
    AmplifierToolsHost();
    ~AmplifierToolsHost();

    // Debug > "Pelox": the terminal with its log emptied.
    void Pelox_test();
    // Tools > "Pelox maintenance".
    void Pelox_MaintenanceF();

    // Posts the main window's switch to the amplifier link (job 5, parameter 1); the
    // first loading of the terminal and of the serial-number window calls it.
    std::function<void()> switchToAmplifierLink;

    amplifier::Pelox_test* terminal() { return terminal_.get(); }
    amplifier::Pelox_MaintenanceF* maintenance() { return maintenance_.get(); }

private:
    std::unique_ptr<amplifier::Pelox_test> terminal_;
    std::unique_ptr<amplifier::Pelox_MaintenanceF> maintenance_;
};

} // namespace app
