#pragma once
// A main window stand-in for the interface model: records the jobs it is given, holds
// a node list of plain ids, counts beeps; settings in a temporary file.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "platform/base/scopedhook.h"
#include "platform/onewire/tmex.h"
#include "shell/state/shelllayer.h"
#include "sim/serial/memoryserialport.h"
#include "shell/iface/iface.h"
#include "shell/iface/ifacestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/mixer/soundmixer.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace iface_test {

struct PostedJob {
    int subno;
    long long param;
    bool operator==(const PostedJob&) const = default;
};

struct FakeHost final : shell::IfaceHost {
    std::vector<PostedJob> jobs;
    std::vector<std::string> nodes;
    int beeps = 0;
    int focusParks = 0;
    int traceClears = 0;
    void postMainJob(shell::MainJob subno, shell::JobParam param) override { jobs.push_back({subno, shell::paramAsInteger(param)}); }
    void parkFocus() override { ++focusParks; }
    int nodeCount() override { return static_cast<int>(nodes.size()); }
    std::string nodeId(int index) override { return nodes.at(static_cast<std::size_t>(index)); }
    void Remove_transducer(const std::string& id) override { std::erase(nodes, id); }
    void beep() override { ++beeps; }
    void clearTrace() override { ++traceClears; }
    void changed() override {}
    void activationStarted() override {}
};

struct RecordingMixer final : shell::SoundMixerControl {
    std::vector<std::string> calls;
    void openMixerCtrl(int v, bool m) override { calls.push_back("open " + std::to_string(v) + " " + std::to_string(m)); }
    void closeMixerCtrl() override { calls.push_back("close"); }
    void setMixer(int v, bool m) override { calls.push_back("set " + std::to_string(v) + " " + std::to_string(m)); }
    void getMixer(int&, bool&) override { calls.push_back("get"); }
    void getAllMixerInfo() override {}
};

struct FakeAmplifierWindow final : shell::AmplifierWindow {
    std::vector<std::string> calls;
    void show() override { calls.push_back("show"); }
    void unload() override { calls.push_back("unload"); }
    void Wakeup_Pelox() override { calls.push_back("wakeup"); }
    void setTsens(double, const std::string&) override {}
    void TsensToPelox(bool) override {}
};

// An adapter port that counts its releases.
struct CountingBackend final : platform::OneWireBackend {
    int releases = 0;
    int openSession() override { return 1; }
    void releasePort() override { ++releases; }
    bool setup() override { return true; }
    bool reset() override { return false; }
    int touchBit(int bit) override { return bit; }
    int touchByte(int byte) override { return byte; }
    void setStrongPullup(bool) override {}
    bool strongPullup() const override { return false; }
    bool programPulse() override { return false; }
    void setSpeed(int) override {}
    int speed() const override { return 0; }
    bool isSimulated() const override { return true; }
    std::string description() const override { return "counting port"; }
    std::string typeVersion(int) const override { return "counting"; }
};

class IfaceTest : public ::testing::Test {
protected:
    IfaceTest() { core::coreState().IniPath = dir / "QT8061_Inifile.txt"; }

    void setting(const std::string& key, const std::string& value)
    {
        core::Inifile_CreateKeyWithValue(core::coreState().IniPath, key, value);
    }
    std::string stored(const std::string& key)
    {
        std::string v;
        return core::Inifile_Read_String_Value(core::coreState().IniPath, key, v) == core::IniFound ? v : "<missing>";
    }
    std::vector<int> jobNumbers() const
    {
        std::vector<int> n;
        for (const auto& j : host.jobs)
            n.push_back(j.subno);
        return n;
    }
    // Runs the jobs posted since the last call, first in first out, as the main
    // window would (2 SetMode, 4 tree enabled, 5 Set_IF); returns their numbers.
    std::vector<int> drain()
    {
        std::vector<int> ran;
        for (; drained_ < host.jobs.size(); ++drained_) {
            const PostedJob j = host.jobs[drained_];
            ran.push_back(j.subno);
            if (j.subno == 2)
                model.modes.SetMode(static_cast<int>(j.param));
            else if (j.subno == 4)
                model.treeEnabled = true;
            else if (j.subno == 5)
                model.Set_IF(static_cast<int>(j.param));
        }
        return ran;
    }
    std::size_t drained_ = 0;

    testing_support::FreshState<shell::resetShellLayer> fresh;
    testing_support::TempDir dir;
    platform::VirtualClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    RecordingMixer mixer;
    platform::ScopedHook<shell::SoundMixerControl*> mixerHook{&shell::setSoundMixer, &mixer};
    FakeAmplifierWindow amplifier;
    platform::ScopedHook<shell::AmplifierWindow*> amplifierHook{&shell::setAmplifierWindow, &amplifier};
    FakeHost host;
    platform::MemorySerialPort port;
    shell::Iface model{host, port};
};

} // namespace iface_test
