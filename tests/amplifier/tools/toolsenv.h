#pragma once
// The amplifier tools' test set-up: fresh state, a program folder and a data folder in
// temporary directories, scripted message boxes, the queue, and a simulated chain on
// an in-memory line on virtual time.

#include "templatebuilder.h"

#include "../model/chainline.h"

#include "amplifier/model/amplifierrecord.h"
#include "core/base/corestate.h"
#include "core/base/trace.h"
#include "core/lists/fieldtags.h"
#include "core/lists/listsstate.h"
#include "core/tdl/templateparser.h"
#include "device/base/devicestate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace tools_test {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

using chain_line::chainOf;

class ToolsTest : public ::testing::Test {
protected:
    ToolsTest()
    {
        shell::jobQueue().StartJobQue();
        fs::create_directories(program.path());
        core::coreState().ProgramFolder = program.path();
        core::coreState().DataFolder = data.path();
    }

    // The shipped library, read as start-up reads it.
    void loadShippedLibrary()
    {
        for (const char* f : {"TagList.xdl", "IEEE_Templates.tdl"})
            fs::copy_file(testing_support::dataDir() / f, program / f);
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(program.path());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        box.clear();
    }

    // A chain with one amplifier of that type (and further description lines).
    void startChain(const std::string& type = "Type 6180", const std::string& more = "")
    {
        line.start(chainOf("amplifier " + type + "\n" + more));
        auto& amps = amplifier::amplifierState().Amplifiers;
        amps.resize(2);
        amps[1].TypeText = type;
        amps[1].SerialNumber = "0000001";
    }
    Lines heard() { return line.chain().heardTexts(); }
    std::vector<std::string> table() { return line.chain().amplifier(1).templates(); }
    // Runs the queued jobs, as one tick of the main window's timer.
    void runJobs() { shell::jobQueue().tick(); }

    testing_support::FreshState<amplifier::resetAmplifierLayer> fresh;
    testing_support::TempDir program;
    testing_support::TempDir data;
    chain_line::MemoryLine line;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox boxScope{box};
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, false};
};

} // namespace tools_test
