#pragma once
// A program folder in a temporary directory with a tag list, fresh library state and
// scripted message boxes.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/lists/listsstate.h"
#include "core/state/corelayer.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace tdltest {

namespace fs = std::filesystem;

inline std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

class TdlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::coreState().ProgramFolder = dir.path();
        fs::copy_file(testing_support::fixturesDir() / "tdl" / "multi" / "TagList.xdl", dir / "TagList.xdl");
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(dir.path());
    }

    // A description file with the version line and the given lines (LF become CR LF).
    fs::path writeTdl(const std::string& name, const std::string& body)
    {
        return dir.write(name, crlf(std::string(core::kDescriptionLanguageVersion) + "\n" + body));
    }
    const core::TemplateRecord& T(int i) const { return core::tdlState().Templates.at(static_cast<std::size_t>(i)); }

    testing_support::FreshState<core::resetCoreLayer> fresh;
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

} // namespace tdltest
