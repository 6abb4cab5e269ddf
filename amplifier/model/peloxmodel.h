#pragma once
// The amplifier window PeloxF without its widgets: the amplifier tree, the texts and
// states of its controls and menus, its numbered jobs and the work behind them: the
// chain read (wake, addressing, identification, channels), the tree selection, the
// TEDS read through the selected channel's 1-Wire master, the sensitivity written to
// the channel, and the demonstration tree. Every exchange with the amplifiers runs as a job of the queue;
// the event handlers only post jobs. The window shows this state and forwards its
// events here; tests drive it directly.

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/model/peloxtree.h"
#include "amplifier/model/toolview.h"
#include "shell/iface/menuitemstate.h"
#include "shell/jobs/jobtarget.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace amplifier {

// What the model needs of its window.
class PeloxView : public ToolView {
public:
    // Shows the window and lets pending events run (the chain read shows its progress).
    virtual void showWindow() {}
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

    // Job 3 and its parts.
    void ReadPeloxConfig();
    void AutoTurnOn();
    bool GetConfRec(int n, bool addToTree);
    // Job 4: selects the amplifier or channel of ClickedNode.
    void click_At_PeloxTreeView();
    // Selects channel n of amplifier 1 as a click on it would, without the TEDS read.
    // False when refused: no such channel (1 <= n <= its channel count), or firmware
    // that cannot reach the transducer (after its message).
    bool Select_Channel(int n);

    // First half of job 6: empties the node list and scans the selected channel's
    // 1-Wire network until the pass ends. False when no channel is selected.
    bool ReadTrTree();
    // Job 0, second half of job 6: takes the TEDS found and, in Plug && Play mode,
    // writes its sensitivity into the channel.
    void PnP_AutoSetup();
    // Job 5: title and sensitivity of the one node with a TEDS; false when there is
    // none or more than one.
    bool GetTeds();
    // A transducer sensitivity handed in (the switch window's gain positions).
    void setTsens(double sens, const std::string& unit);
    // Writes the TEDS sensitivity to the channel (job 2); without force only in Plug &&
    // Play mode.
    void TsensToPelox(bool force);
    // Selects the amplifier unit for a TEDS unit.
    void TedsUnit2Pelox(const std::string& unit);
    // Jobs 1 and 2: writes value and unit into the selected channel and shows what the
    // amplifier reads back; refused while no channel is selected.
    void UpdateSens2Pelox(double value, const std::string& unit);

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

    // Job 7 opens the template download for an amplifier, modally; a later window
    // fills this in. Without it the job does nothing.
    std::function<void(int amplifierNo)> showDownloadWindow;

private:
    void changed() { view_.changed(); }
    void focusAway() { view_.focusAway(); }
    // The 16-channel settings, captions and file names of amplifier n's type.
    void applyTypeSettings(int n);
    void readConfItems(AmplifierRecord& amp, std::string& reply);
    void setUpChannels6188(const AmplifierRecord& amp);
    void readSensitivities(AmplifierRecord& amp);
    // Tree index of channel ch of amplifier a, 0 when it has no node.
    int channelNodeIndex(int a, int ch) const;
    void selectAmplifierRoot(int a);
    void selectChannel(int a, int ch, int idenTimeoutMs);
    // False when the firmware is refused.
    bool channelCommon(bool postTedsRead);

    ToolViewLink<PeloxView> view_;
};

// The text with every "," turned into ".".
std::string Comma2Point(std::string text);
// The amplifier unit for a TEDS unit, letter case aside: "V/(m/s\xB2)" "V/M/S2", "V/PA"
// "V/PA", "V/C" and "V/N" "V/UNIT", anything else "V/V".
std::string peloxUnitOf(const std::string& tedsUnit);
// A TEDS title as the window shows it: up to its first ",", else up to its first blank.
std::string shortTedsTitle(const std::string& title);

} // namespace amplifier
