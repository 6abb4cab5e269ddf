// The mixer control's rules against a scripted sound card: what an open records and a
// close restores, when the inputs are muted, a failing control skipped until the next
// open, the trace lines, the mute box's caption and the dump of every mixer.

#include "core/base/trace.h"
#include "platform/mixer/alsamixerbackend.h"
#include "shell/mixer/mixerctrl.h"
#include "shell/mixer/mixertexts.h"
#include "tests/kit/fakemixerbackend.h"
#include "tests/kit/memorytrace.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace platform;

class MixerCtrlTest : public ::testing::Test {
protected:
    MixerCtrlTest()
    {
        mixer.volMuteTicked = [this] { return ticked; };
        mixer.showVolMuteCaption = [this](const std::string& c) { caption = c; };
    }
    std::int32_t value(std::uint32_t component, std::uint32_t type) const { return card.value(card.controlId(component, type)); }
    bool traced(const std::string& line) const
    {
        return std::find(trace.lines.begin(), trace.lines.end(), line) != trace.lines.end();
    }

    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace{trace, false};  // mixer lines are written with the trace off
    FakeMixerBackend card = FakeMixerBackend::typicalCard();
    shell::MixerCtrl mixer{card};
    bool ticked = true;
    std::string caption;
};

TEST_F(MixerCtrlTest, OpenMutesTheInputsAndCloseRestoresTheCard)
{
    // The card: master open, microphone open, line in muted, line level 30000.
    mixer.openMixerCtrl(5000, true);
    EXPECT_EQ(value(SrcMicrophone, ControlMute), 1);
    EXPECT_EQ(value(SrcLine, ControlMute), 1);
    EXPECT_EQ(value(DstSpeakers, ControlMute), 0);
    EXPECT_EQ(value(DstLine, ControlVolume), 5000);
    EXPECT_EQ(caption, "mute microphone and line");

    // Moving the volume with the box ticked still sends it, with mute.
    mixer.setMixer(7000, true);
    EXPECT_EQ(value(DstLine, ControlVolume), 7000);
    EXPECT_EQ(value(SrcMicrophone, ControlMute), 1);

    mixer.closeMixerCtrl();
    EXPECT_EQ(value(SrcMicrophone, ControlMute), 0);
    EXPECT_EQ(value(SrcLine, ControlMute), 1);
    EXPECT_EQ(value(DstSpeakers, ControlMute), 0);
    EXPECT_EQ(value(DstLine, ControlVolume), 30000);
    EXPECT_EQ(card.openHandles(), 0);
    EXPECT_TRUE(trace.lines.empty());
}

TEST_F(MixerCtrlTest, InputsAreMutedOnlyWhileTheMasterIsNotAndTheBoxDecidesTheUnmuting)
{
    mixer.openMixerCtrl(5000, false);
    // Someone mutes the speakers and opens the microphone; the scan reads the card.
    card.setValue(0x100, card.controlId(DstSpeakers, ControlMute), 1);
    card.setValue(0x100, card.controlId(SrcMicrophone, ControlMute), 0);
    int volume = 0;
    bool mute = false;
    mixer.getMixer(volume, mute);
    EXPECT_TRUE(mute);
    EXPECT_EQ(volume, 5000);
    mixer.setMixer(5000, true);
    EXPECT_EQ(value(SrcMicrophone, ControlMute), 0);
    EXPECT_EQ(value(DstSpeakers, ControlMute), 1);

    // Unticked, even a mute request opens all three.
    ticked = false;
    mixer.setMixer(5000, true);
    EXPECT_EQ(value(SrcMicrophone, ControlMute), 0);
    EXPECT_EQ(value(SrcLine, ControlMute), 0);
    EXPECT_EQ(value(DstSpeakers, ControlMute), 0);
}

TEST_F(MixerCtrlTest, AFailingControlIsSkippedUntilTheNextOpen)
{
    mixer.openMixerCtrl(5000, true);
    const auto mic = card.controlId(SrcMicrophone, ControlMute);
    card.failures["setValue:" + std::to_string(mic)] = MixerInvalControl;
    mixer.setMixer(6000, true);
    EXPECT_EQ(trace.lines, (std::vector<std::string>{
                               "SetMuteControl, mixerSetControlDetails error, no.: 1025 : MIXERR_INVALCONTROL The control reference is invalid.",
                               "MicCtrl mute failed"}));
    EXPECT_EQ(value(DstLine, ControlVolume), 6000);
    trace.lines.clear();
    mixer.setMixer(6500, true);
    EXPECT_TRUE(trace.lines.empty());
    EXPECT_EQ(value(DstLine, ControlVolume), 6500);

    // A code outside the table: the number alone. The next open tries the control again.
    card.failures["setValue:" + std::to_string(mic)] = 1026;
    mixer.closeMixerCtrl();
    mixer.openMixerCtrl(5000, true);
    EXPECT_TRUE(traced("SetMuteControl, mixerSetControlDetails error, no.: 1026"));
    // The caption tells what the open found working.
    EXPECT_EQ(caption, "mute line");
}

TEST_F(MixerCtrlTest, ACardWithoutLineDestinationOrInputMutesLosesOnlyThose)
{
    FakeMixerBackend bare;
    bare.devices.emplace_back();
    auto& speakers = bare.addDestination(DstSpeakers, "Master");
    bare.addControl(speakers, ControlMute, "Master Mute", 0);
    bare.addSource(0, SrcLine, "Line");
    shell::MixerCtrl m(bare);
    m.showVolMuteCaption = [this](const std::string& c) { caption = c; };
    m.openMixerCtrl(5000, true);
    EXPECT_TRUE(traced("GetVolumeControl, mixerGetLineInfo error, no.: 1024 : MIXERR_INVALLINE, The audio line reference is invalid."));
    EXPECT_TRUE(traced("Get volume DST_LINE failed"));
    EXPECT_TRUE(traced("Get mute SRC_MICROPHONE failed"));
    EXPECT_TRUE(traced("Get mute SRC_LINE failed"));
    EXPECT_EQ(caption, "mute, error could not find microphone or line");
    EXPECT_FALSE(m.LineDstCtrl.volumePresent);
    EXPECT_TRUE(m.MasterCtrl.mutePresent);

    // With every control gone, getMixer returns the values last set.
    trace.lines.clear();
    m.setMixer(1234, false);
    int volume = 0;
    bool mute = true;
    m.getMixer(volume, mute);
    EXPECT_EQ(volume, 1234);
    EXPECT_TRUE(trace.lines.empty());
}

TEST_F(MixerCtrlTest, CaptionNamesTheInputsFound)
{
    FakeMixerBackend micOnly;
    micOnly.devices.emplace_back();
    micOnly.addDestination(DstSpeakers, "Master");
    auto& mic = micOnly.addSource(0, SrcMicrophone, "Mic");
    micOnly.addControl(mic, ControlMute, "Mic Mute", 0);
    shell::MixerCtrl m(micOnly);
    m.showVolMuteCaption = [this](const std::string& c) { caption = c; };
    m.openMixerCtrl(0, true);
    EXPECT_EQ(caption, "mute microphone");
}

TEST_F(MixerCtrlTest, BeforeAnyOpenNothingTouchesTheCard)
{
    mixer.setMixer(5000, true);
    int volume = 0;
    bool mute = false;
    mixer.getMixer(volume, mute);
    EXPECT_EQ(volume, 5000);
    EXPECT_TRUE(card.writes.empty());
    EXPECT_TRUE(trace.lines.empty());
}

TEST_F(MixerCtrlTest, NoSoundCardIsOneTraceLineAndNoMore)
{
    NullMixerBackend none;
    shell::MixerCtrl m(none);
    m.showVolMuteCaption = [this](const std::string& c) { caption = c; };
    m.openMixerCtrl(5000, true);
    m.setMixer(6000, true);
    int volume = 0;
    bool mute = false;
    m.getMixer(volume, mute);
    m.closeMixerCtrl();
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"initMixerCtrl failed error, no.: 6 : MMSYSERR_NODRIVER No "
                                                     "mixer device is available for the object specified by hmxobj."}));
    EXPECT_EQ(caption, "mute microphone and line");
}

TEST_F(MixerCtrlTest, TheAlsaBackendWithoutACardFailsOpenWithOneLine)
{
    auto alsa = makeAlsaMixerBackend();
    if (alsa->numDevs() > 0)
        GTEST_SKIP() << "this machine has a sound card";
    shell::MixerCtrl m(*alsa);
    m.openMixerCtrl(5000, true);
    m.setMixer(5000, false);
    m.closeMixerCtrl();
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0].rfind("initMixerCtrl failed error, no.: 6", 0), 0u);
}

TEST_F(MixerCtrlTest, DumpListsEveryMixerLineAndControl)
{
    // A source without controls.
    card.addSource(0, SrcAuxiliary, "Aux");
    mixer.getAllMixerInfo();
    const auto& l = trace.lines;
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], "Mixer info:");
    EXPECT_EQ(l[1], "No. of mixers: 1");
    EXPECT_EQ(l[2], "Info for mixer: 1");
    EXPECT_TRUE(traced("Product name: \tFake Audio"));
    EXPECT_TRUE(traced("Count of destinations: \t2"));
    EXPECT_TRUE(traced(std::string(38, '*') + " List all mixerline info " + std::string(38, '*')));
    EXPECT_TRUE(traced(std::string(28, '*') + "  Destination  " + std::string(28, '*')));
    EXPECT_TRUE(traced("getMixerLineInfo called for destination no: 2"));
    EXPECT_TRUE(traced("MIXER_GETLINEINFOF_DESTINATION: destination no: 1"));
    EXPECT_TRUE(traced("MIXER_GETLINEINFOF_SOURCE: destination no: 0, source no: 2"));
    EXPECT_TRUE(traced("dwControlType    : MIXERCONTROL_CONTROLTYPE_MUTE"));
    EXPECT_TRUE(traced("szName           : Aux"));
    EXPECT_TRUE(traced("No controls"));
    EXPECT_TRUE(traced("Reserved (10)    : 0"));
    EXPECT_EQ(l.back(), "");
    EXPECT_EQ(card.openHandles(), 0);

    // No mixer at all: three lines.
    trace.lines.clear();
    NullMixerBackend none;
    shell::MixerCtrl m(none);
    m.getAllMixerInfo();
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"Mixer info:", "No. of mixers: 0", ""}));
}

TEST(MixerTexts, NamesByExactValue)
{
    using namespace shell;
    EXPECT_EQ(LineFlagsText(0x80000001u), "no translation found");
    EXPECT_EQ(LineFlagsText(1).rfind("MIXERLINE_LINEF_ACTIVE:\r\n", 0), 0u);
    EXPECT_EQ(ControlTypeText(0), "MIXERCONTROL_CT_CLASS_CUSTOM");
    EXPECT_EQ(ControlTypeText(0x50030001), "MIXERCONTROL_CONTROLTYPE_VOLUME");
    EXPECT_EQ(ControlTypeText(12345), "no translation found");
    EXPECT_EQ(ComponentTypeText(4096).rfind("MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED\r\n", 0), 0u);
    EXPECT_EQ(ComponentTypeText(4099).rfind("MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE:\r\n", 0), 0u);
    EXPECT_EQ(ComponentTypeText(9), "no translation found");
    EXPECT_EQ(ControlFlagsText(3), "no translation found");
    EXPECT_EQ(TrimAtNul(std::string("Mic\0junk", 8)), "Mic");
    EXPECT_EQ(TrimAtNul("no nul"), "no nul");
}

} // namespace
