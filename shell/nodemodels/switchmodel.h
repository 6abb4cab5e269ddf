#pragma once
// The dual-switch window without its widgets: the two output captions ("0"/"1"), the
// selected switch position, the Mode menu's check marks and which frames show, the
// position captions from the transducer's TEDS, and the window's jobs 0 to 4.
//
// Every device access runs as a job of the window (the owner posts them through
// `post`), so it never interleaves with another job's bus traffic.

#include "shell/nodemodels/switchgains.h"

#include <array>
#include <functional>
#include <string>

namespace shell {

class NodeWindow;

// The DS2406 routines the window calls; the family 12h driver unless replaced.
struct SwitchDevice {
    std::function<void(const std::string& id, bool& a, bool& b, bool& failed)> Read_PIO_fam12;
    std::function<void(const std::string& id, bool a, bool b)> Set_PIO_fam12;
    std::function<void(const std::string& id, bool a, bool b)> Program_Powerup_fam12;
    std::function<void(const std::string& id)> Show_Status_fam12;
    static SwitchDevice driver();
};

class SwitchModel {
public:
    // Job numbers.
    enum Job { JobRead = 0, JobWrite = 1, JobStatus = 2, JobPowerup = 3, JobTedsInfo = 4 };
    // Parameter of jobs 0 and 1: the plain job, or the read frame's read (job 0) and
    // both outputs high for "Read PIOA/B" (job 1).
    enum JobVariant { Plain = 0, ReadFrame = 1, BothHigh = 1 };
    // Mode menu items.
    enum Mode { ReadAfterWrite = 0, BitSwitches = 1, ReadPio = 2 };

    SwitchModel();

    // Posts a job of the window (number, parameter); set by the window.
    std::function<void(int subno, long long param)> post;
    SwitchDevice device;

    std::string NodeID = "0000000000000000";
    std::string Info1 = "Transducer  title";
    std::string Demo_adaptor;
    std::string SW_A = "1";
    std::string SW_B = "1";
    int position = -1;  // selected SW_select option, -1 none
    std::array<std::string, 4> SW_select{};
    std::array<bool, 3> mnuMode{};
    bool ModeSelectorVisible = true;
    bool DIP_SwitchVisible = false;
    bool FrameReadVisible = false;
    std::string lbPIOA = "PIO-A =";
    std::string lbPIOB = "PIO-B =";
    bool UserDataVisible = false;
    std::string UserData = "To be edited via the TEDS form";
    int TedsInfoTries = 0;
    std::array<double, 4> PositionSensitivity{};
    std::string PositionUnit;

    // Binds to TrList(index): id, title, outputs, posts jobs 4 (and 1 for the PC
    // adaptor's own switch). Throws std::out_of_range for an index outside the list.
    void Inititiate(int index);
    // Runs job subno; false for a number the window does not know.
    bool DoJob(int subno, long long param);

    void Toggel_sw(const std::string& which);
    void SW_select_Click(int index);
    void mnuMode_Click(int index);
    // Tools menu: 0 "Show Status", 1 "Program Powerup" (after the confirmation).
    void mnuTools_Click(int index);
    // The Read button: the labels show hyphens until the posted read has run.
    void cbRead_Click();
    void Form_Activate();

    void Read_SW();
    void Write_SW(bool bothHigh = false);
    void ShowStatus();
    void ProgramPowerup();
    void GetTedsInfo();

    // Something shown changed.
    std::function<void()> changed = [] {};

private:
    void Sync_SW_select();
    void selectPosition(int index);
    void Mode_Select_A();
    void Mode_Select_B();
    void Arrange_SwitchControls(bool hasInfo, bool hasUserData);
    void readFrame();
    void postJob(int subno, long long param = 0);
};

} // namespace shell
