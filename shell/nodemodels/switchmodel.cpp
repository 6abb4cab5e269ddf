#include "shell/nodemodels/switchmodel.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/drivers/dualswitch.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/tedsfields.h"
#include "shell/nodemodels/boundrecord.h"

namespace shell {

namespace {
constexpr const char* kHyphens = "--------------";
constexpr int kReadFrameWaitMs = 500;
} // namespace

SwitchDevice SwitchDevice::driver()
{
    return {device::Read_PIO_fam12, device::Set_PIO_fam12, device::Program_Powerup_fam12,
            [](const std::string& id) { device::Show_Status_fam12(id); }};
}

SwitchModel::SwitchModel() : device(SwitchDevice::driver()), SW_select(designPositionCaptions()) {}

void SwitchModel::postJob(int subno, long long param)
{
    if (post)
        post(subno, param);
}

void SwitchModel::Inititiate(int index)
{
    const TrRecord& r = boundRecord(index);
    NodeID = r.id;
    Info1 = GetTRName(NodeID);
    SW_A = "1";
    SW_B = "1";
    if (!NodeID.empty() && NodeID == core::coreState().SwitchNodeId) {
        Demo_adaptor = "Controlled by the TEDS editor";
        SW_A = "1";
        SW_B = "0";
        postJob(JobWrite);
    }
    Mode_Select_A();
    TedsInfoTries = 2;
    postJob(JobTedsInfo);
    changed();
}

bool SwitchModel::DoJob(int subno, long long param)
{
    switch (subno) {
    case JobRead:
        if (param == ReadFrame)
            readFrame();
        else
            Read_SW();
        break;
    case JobWrite:
        Write_SW(param == BothHigh);
        break;
    case JobStatus:
        ShowStatus();
        break;
    case JobPowerup:
        ProgramPowerup();
        break;
    case JobTedsInfo:
        GetTedsInfo();
        break;
    default:
        return false;
    }
    changed();
    return true;
}

void SwitchModel::Mode_Select_A()
{
    ModeSelectorVisible = !mnuMode[BitSwitches];
    DIP_SwitchVisible = mnuMode[BitSwitches];
}

void SwitchModel::Mode_Select_B()
{
    if (mnuMode[ReadPio]) {
        ModeSelectorVisible = true;
        DIP_SwitchVisible = false;
        FrameReadVisible = true;
    } else {
        FrameReadVisible = false;
    }
}

void SwitchModel::mnuMode_Click(int index)
{
    if (index < 0 || index > 2)
        return;
    mnuMode[static_cast<std::size_t>(index)] = !mnuMode[static_cast<std::size_t>(index)];
    switch (index) {
    case ReadAfterWrite:
        FrameReadVisible = false;
        mnuMode[ReadPio] = false;
        if (mnuMode[ReadAfterWrite])
            postJob(JobRead);
        break;
    case BitSwitches:
        FrameReadVisible = false;
        mnuMode[ReadPio] = false;
        Mode_Select_A();
        break;
    case ReadPio:
        Mode_Select_B();
        postJob(JobWrite, BothHigh);
        mnuMode[BitSwitches] = false;
        break;
    default:
        break;
    }
    if (!mnuMode[ReadPio])
        postJob(JobWrite);
    changed();
}

void SwitchModel::mnuTools_Click(int index)
{
    if (index == 0) {
        postJob(JobStatus);
    } else if (index == 1) {
        if (core::MsgBox("Are you sure you will program the powerup state ?", platform::MsgOkCancel) == platform::MsgOK)
            postJob(JobPowerup);
    }
}

void SwitchModel::Toggel_sw(const std::string& which)
{
    std::string& caption = which == "A" ? SW_A : SW_B;
    caption = caption == "1" ? "0" : "1";
    Sync_SW_select();
    postJob(JobWrite);
    changed();
}

void SwitchModel::Sync_SW_select()
{
    const bool a = SW_A == "1";
    const bool b = SW_B == "1";
    selectPosition((a ? 1 : 0) + (b ? 2 : 0));
}

void SwitchModel::selectPosition(int index)
{
    if (index == position)
        return;
    position = index;
    SW_select_Click(index);
}

void SwitchModel::SW_select_Click(int index)
{
    if (index < 0 || index > 3)
        return;
    position = index;
    SW_A = (index & 1) ? "1" : "0";
    SW_B = (index & 2) ? "1" : "0";
    postJob(JobWrite);
    // Only the gain positions carry a sensitivity; 0 and 3 hand the amplifier nothing.
    if (device::deviceState().InterfaceType == device::InterfaceType::AmplifierLink && (index == 1 || index == 2)) {
        amplifierWindow().setTsens(PositionSensitivity[static_cast<std::size_t>(index)], PositionUnit);
        amplifierWindow().TsensToPelox(false);
    }
    changed();
}

void SwitchModel::Form_Activate()
{
    SW_B = "1";
    SW_A = "1";
    Sync_SW_select();
    changed();
}

void SwitchModel::Read_SW()
{
    bool a = false, b = false, failed = false;
    device.Read_PIO_fam12(NodeID, a, b, failed);
    if (failed) {
        // Nothing was read: the outputs are not rewritten from a guess.
        core::Tracewindow("Switch " + NodeID + ": reading PIO-A/B failed");
        return;
    }
    SW_A = a ? "1" : "0";
    SW_B = b ? "1" : "0";
    Sync_SW_select();
}

void SwitchModel::Write_SW(bool bothHigh)
{
    if (bothHigh) {
        device.Set_PIO_fam12(NodeID, true, true);
        return;
    }
    device.Set_PIO_fam12(NodeID, SW_A == "1", SW_B == "1");
    if (mnuMode[ReadAfterWrite])
        Read_SW();
}

void SwitchModel::ShowStatus() { device.Show_Status_fam12(NodeID); }

void SwitchModel::ProgramPowerup()
{
    device.Program_Powerup_fam12(NodeID, SW_A == "1", SW_B == "1");
    device.Show_Status_fam12(NodeID);
}

void SwitchModel::cbRead_Click()
{
    lbPIOA = kHyphens;
    lbPIOB = kHyphens;
    changed();
    postJob(JobRead, ReadFrame);
}

void SwitchModel::readFrame()
{
    core::Delay(kReadFrameWaitMs);
    bool a = false, b = false, failed = false;
    device.Read_PIO_fam12(NodeID, a, b, failed);
    if (failed) {
        core::Tracewindow("Switch " + NodeID + ": reading PIO-A/B failed");
        lbPIOA = "PIO-A = ?";
        lbPIOB = "PIO-B = ?";
        return;
    }
    lbPIOA = a ? "PIO-A = 1" : "PIO-A = 0";
    lbPIOB = b ? "PIO-B = 1" : "PIO-B = 0";
}

void SwitchModel::GetTedsInfo()
{
    NodeWindow* tedsWindow = nullptr;
    if (!GetTedsObject(NodeID, "TEDS", tedsWindow) || !tedsWindow) {
        --TedsInfoTries;
        if (TedsInfoTries <= 0)
            Arrange_SwitchControls(false, false);
        return;
    }
    TedsFields* fields = tedsFieldsOf(*tedsWindow);
    if (!fields) {
        Arrange_SwitchControls(false, false);
        return;
    }
    const SwitchTedsInfo info = readSwitchTedsInfo(*fields);
    UserData = info.userData;
    if (!info.hasInfo) {
        Arrange_SwitchControls(false, info.hasUserData);
        return;
    }
    if (info.gainsFound) {
        for (std::size_t i = 0; i < SW_select.size(); ++i)
            if (info.captions[i])
                SW_select[i] = *info.captions[i];
        PositionSensitivity[1] = info.sensitivity[1];
        PositionSensitivity[2] = info.sensitivity[2];
        PositionUnit = info.unit;
    }
    Arrange_SwitchControls(true, info.hasUserData);
}

void SwitchModel::Arrange_SwitchControls(bool hasInfo, bool hasUserData)
{
    mnuMode[BitSwitches] = !hasInfo;
    Mode_Select_A();
    UserDataVisible = hasUserData;
}

} // namespace shell
