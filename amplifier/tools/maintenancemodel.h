#pragma once
// The serial-number window Pelox_MaintenanceF without its widgets: writes a 7-character
// serial number into the one amplifier on the chain ("ATAC_RESET_SERIAL_NUMBER", one
// "ATAC_WRITE_SERIAL_NUMBER nn" per character with nn its two-digit code, then
// "ATAC_PROGRAM_SERIAL_NUMBER?"). A character's code is sent as two decimal digits, so
// only characters with codes 32 to 99 can be written: anything else is refused before
// a single command is sent. The write runs as the window's job 0, in order with the
// other work on the amplifier line. Loaded once; closing the window only hides it.

#include "amplifier/model/toolview.h"
#include "shell/jobs/jobtarget.h"

#include <functional>
#include <string>

namespace amplifier {

class MaintenanceModel final : public shell::JobTarget {
public:
    static constexpr int kSerialLength = 7;
    // Its one job: writes the serial number.
    static constexpr int WriteSerialJob = 0;

    explicit MaintenanceModel(ToolView* view = nullptr);
    ~MaintenanceModel() override;

    // JobTarget: job 0 writes the serial number.
    void DoJob() override;
    void Refresh() override { changed(); }
    std::string name() const override { return "Pelox_MaintenanceF"; }

    // First loading: switches the program to the amplifier link.
    void Form_Load();
    // Confirms, checks the text and posts the write.
    void ReqWriteSerialno_Click();
    // Sends the command sequence for SerialNo; nothing when the text is refused.
    void Write_Serialno();

    // Why text cannot be written as a serial number; "" when it can.
    static std::string serialRefusal(const std::string& text);

    // Control states, named as the window names its controls.
    std::string caption = "Tedsmith - Pelox Maintenance";
    int HelpContextID = 0;
    std::string SerialNo = "0000000";

    // Posts job 5 of the main window with parameter 1 (the switch to the amplifier link).
    std::function<void()> switchToAmplifierLink;

private:
    void changed() { view_.changed(); }
    void focusAway() { view_.focusAway(); }

    ToolViewLink<ToolView, SilentToolView> view_;
};

} // namespace amplifier
