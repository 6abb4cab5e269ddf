#pragma once
// The amplifier terminal Pelox_test without its widgets: a command text with a list of
// presets, seven numbered jobs that send and receive on the amplifier line (posted by
// the buttons, run by the job queue in order with the other device work) and the log
// of every exchange. Loaded once; closing the window only hides it.

#include "amplifier/model/toolview.h"
#include "shell/jobs/jobtarget.h"

#include <functional>
#include <string>
#include <vector>

namespace amplifier {

class PeloxTestModel final : public shell::JobTarget {
public:
    explicit PeloxTestModel(ToolView* view = nullptr);
    ~PeloxTestModel() override;

    // JobTarget
    void DoJob() override;
    void Refresh() override;
    std::string name() const override { return "Pelox_test"; }

    // The terminal's jobs (1 to 7), as the queue stores them.
    enum Job : int {
        ReceiveLine = 1,
        SendBuffer = 2,
        SendReceivedLine = 3,
        SendLF = 4,
        SendLine = 5,
        SendLineLF = 6,
        ReceiveLineLF = 7,
    };

    // First loading: switches the program to the amplifier link, the presets, an empty log.
    void Form_Load();

    // Buttons: each posts its job (1 to 7); "Add to dropdown list" posts none.
    void Addtolist_Click();
    void RecieveLine_Click() { post(Job::ReceiveLine); }
    void Send_buffer_Click() { post(Job::SendBuffer); }
    void SendReceivedLine_Click() { post(Job::SendReceivedLine); }
    void SendLF_Click() { post(Job::SendLF); }
    void SendLine_Click() { post(Job::SendLine); }
    void SendLineLF_Click() { post(Job::SendLineLF); }
    void RecieveLineLF_Click() { post(Job::ReceiveLineLF); }

    // Jobs 1 to 7.
    void Do_RecieveLine();
    void Do_Send_buffer();
    void Do_SendReceivedLine();
    void Do_SendLF();
    void Do_SendLine();
    void Do_SendLineLF();
    void Do_RecieveLineLF();

    // Shows the selected amplifier and channel numbers.
    void showSelection(int amplifier, int channel);

    // Control states, named as the window names its controls.
    std::string caption = "Tedsmith - Test Pelox";
    int HelpContextID = 0;
    std::string Send_Recieve_Pelox;                // the command text
    std::vector<std::string> Send_Recieve_PeloxItems;
    std::string Text2;                             // the exchange log
    std::string SelPelox, SelChan;

    // Posts job 5 of the main window with parameter 1 (the switch to the amplifier link).
    std::function<void()> switchToAmplifierLink;

private:
    void post(Job job);
    void log(const std::string& text) { Text2 += text; }
    void focusAway() { view_.focusAway(); }
    void changed() { view_.changed(); }

    ToolViewLink<ToolView, SilentToolView> view_;
};

} // namespace amplifier
