#pragma once
// The amplifier window PeloxF without its widgets: the amplifier tree, the texts and
// states of its controls and menus, its numbered jobs and the demonstration tree. The
// work behind the jobs lives in its parts, which work on this state: the chain read
// (ChainConfigRead), the tree selection (ChannelSelection), the TEDS read through the
// selected channel's 1-Wire master (AmplifierTedsRead) and the sensitivity written to
// the channel (SensitivityTransfer). Every exchange with the amplifiers runs as a job
// of the queue; the event handlers only post jobs. The window shows this state and
// forwards its events here; tests drive it directly.

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/model/amplifiertedsread.h"
#include "amplifier/model/chainconfigread.h"
#include "amplifier/model/channelselection.h"
#include "amplifier/model/peloxtree.h"
#include "amplifier/model/sensitivitytransfer.h"
#include "amplifier/model/toolview.h"
#include "shell/iface/menuitemstate.h"
#include "shell/jobs/jobtarget.h"

#include <array>
#include <string>
#include <vector>

namespace amplifier {

// What the model needs of its window.
class PeloxView : public ToolView {
public:
    // Shows the window and lets pending events run (the chain read shows its progress).
    virtual void showWindow() = 0;
    // Job 7: the template download for an amplifier, modally; returns when it is closed.
    virtual void showDownloadWindow(int amplifierNo) = 0;
};

// The amplifier model's view without a window.
class SilentPeloxView final : public PeloxView {
public:
    bool windowVisible() override { return false; }
    void parkFocus() override {}
    void modelChanged() override {}
    void showWindow() override {}
    void showDownloadWindow(int) override {}
};

inline shell::MenuItemState menuItem(const char* caption)
{
    shell::MenuItemState m;
    m.caption = caption;
    return m;
}

// The jobs of the amplifier window (job target "PeloxF"), as the queue stores them.
enum AmplifierJob : int {
    // Takes the TEDS found; in Plug && Play mode writes its sensitivity to the channel.
    PlugAndPlaySetup = 0,
    // Writes the typed sensitivity and unit to the selected channel.
    WriteTypedSensitivity = 1,
    // Writes the TEDS sensitivity to the selected channel.
    WriteTedsSensitivity = 2,
    // Reads the chain: wake, addressing, identification, channels.
    ReadChain = 3,
    // Selects the amplifier or channel of the tree node clicked.
    SelectClickedNode = 4,
    // Title and sensitivity of the one node with a TEDS.
    ReadTedsTitle = 5,
    // Scans the selected channel's network, then the Plug && Play setup.
    ReadChannelTeds = 6,
    // Runs tools menu item <param>.
    RunTool = 7,
};

struct ControlState {
    bool enabled = true;
    bool visible = true;
};

class PeloxModel final : public shell::JobTarget {
public:
    explicit PeloxModel(PeloxView* view = nullptr);
    ~PeloxModel() override;

    // JobTarget
    void DoJob() override;
    void Refresh() override;
    std::string name() const override { return "PeloxF"; }

    // Loading: unit list, file names, controls, and job 3 posted.
    void Form_Load();

    // Event handlers.
    void mnuPelox_Click();
    void mnuMode_Click(int index);
    void mnuTools_Click(int index);
    // index: the clicked node's index in the tree.
    void PeloxTreeView_NodeClick(int index);
    void ReadTeds_Click();
    void Sens2Pelox_Click();
    void Tsens2Pelox_Click();
    // Shows the TEDS window of the (first) node with a TEDS.
    void ShowTheTEDS_Click();

    // Procedures of the window.
    void InsertPeloxroot(int n, const std::string& description);
    void InsertPeloxCh(int amplifierNo, int channelNo, const std::string& description, const std::string& unit);
    void EnableTEDS(bool on);
    void EnableChannel(bool on);
    void DoTools(int item);
    void ClearDB();
    void buildDemonstrationTree();
    // Sends "MLAN OFF".
    void Wakeup_Pelox();

    // Job 3, the chain read, and its parts.
    void ReadPeloxConfig() { chainRead_.ReadPeloxConfig(); }
    void AutoTurnOn() { chainRead_.AutoTurnOn(); }
    bool GetConfRec(int n, bool addToTree) { return chainRead_.GetConfRec(n, addToTree); }
    // Job 4: selects the amplifier or channel of ClickedNode.
    void click_At_PeloxTreeView() { selection_.click_At_PeloxTreeView(); }
    // Channel n of amplifier 1 selected as a click would, without the TEDS read.
    bool Select_Channel(int n) { return selection_.Select_Channel(n); }
    // First half of job 6: the scan of the selected channel's network.
    bool ReadTrTree() { return tedsRead_.ReadTrTree(); }
    // Job 0, second half of job 6: the TEDS found taken, in Plug && Play mode written.
    void PnP_AutoSetup() { tedsRead_.PnP_AutoSetup(); }
    // Job 5: title and sensitivity of the one node with a TEDS.
    bool GetTeds() { return tedsRead_.GetTeds(); }
    void setTsens(double sens, const std::string& unit) { sensitivity_.setTsens(sens, unit); }
    void TsensToPelox(bool force) { sensitivity_.TsensToPelox(force); }
    void TedsUnit2Pelox(const std::string& unit) { sensitivity_.TedsUnit2Pelox(unit); }
    // Jobs 1 and 2.
    void UpdateSens2Pelox(double value, const std::string& unit) { sensitivity_.UpdateSens2Pelox(value, unit); }

    // For the model's parts: the view told of a change, the focus parked, the window shown.
    void changed() { view_.changed(); }
    void focusAway() { view_.focusAway(); }
    void showWindow() { view_->showWindow(); }

    // Control states, named as the window names its controls.
    std::string caption = "Tedsmith - Control Pelox, 6188";
    int HelpContextID = 0;
    PeloxTree tree;
    shell::MenuItemState mnuPelox = menuItem("Read");
    std::array<shell::MenuItemState, 3> mnuMode{menuItem("Plug && Play"), menuItem("Manual"), menuItem("Fake tree")};
    std::array<shell::MenuItemState, 1> mnuTools{menuItem("Selection of embedded templates")};
    std::string SelectedPelox = "Amplifier: -";
    std::string channel;
    std::string SelectedChannelText;  // the label SelectedChannel
    std::string Sensitivity;
    std::vector<std::string> PeloxunitItems;
    std::string PeloxunitText;
    std::string Sens2PeloxCaption = "Update Pelox";
    std::string Tsens2PeloxCaption = "Write Sens. to Pelox";
    std::string TedsTitle;
    std::string TSensitivity = "unknow";
    std::string Modetext = "Manual";
    ControlState Label2, SensitivityCtl, PeloxunitCtl, Sens2Pelox, Tsens2Pelox, ReadTeds, ShowTheTEDS;

    // Window members.
    int ModeIndex = 1;
    double TedsSens = 0;
    std::string TedsUnit;
    // TedsSens is a sensitivity: false while the TEDS gave none (no field, or N/A), so
    // that nothing is written to the channel.
    bool TedsSensKnown = false;
    int ClickedNode = 0;  // tree node id (PeloxTreeNode::id), 0 = none
    int LastNode = 0;

private:
    ToolViewLink<PeloxView, SilentPeloxView> view_;
    ChainConfigRead chainRead_{*this};
    ChannelSelection selection_{*this};
    AmplifierTedsRead tedsRead_{*this};
    SensitivityTransfer sensitivity_{*this};
};

} // namespace amplifier
