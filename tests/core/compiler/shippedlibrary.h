#pragma once
// The template library as shipped in data/, loaded as start-up loads it: every description
// file in name order. Once per test suite.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/lists/listsstate.h"
#include "core/state/corelayer.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "core/teds/bitfields.h"
#include "editor/model/tedsdocument.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <string>

namespace shipped_test {

// TEDS bytes of the memories a template may sit in: DS2430A, DS2431, DS2433.
constexpr int kTedsBytes[] = {39, 124, 496};
// The same memories in the older (IEEE P1451.4) layout.
constexpr int kDraftTedsBytes[] = {31, 116, 488};

inline std::uint64_t bits(const core::TedsBuf& tb, int pos, int n) { return core::Bits2Val(tb, pos, n).low64(); }

// The template the TEDS document finds for an image (its GetTemplate): the library index,
// -1 when nothing matches, -2 for a node list.
inline int documentTemplate(const core::TedsBuf& tb)
{
    editor::TedsDocument doc;
    doc.TedsBuf = tb;
    int index = 0;
    const bool found = doc.GetTemplate(index);
    if (!found)
        return -1;
    return doc.hasLibraryTemplate() ? index : -2;
}

class ShippedLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        core::resetCoreLayer();
        core::coreState().ProgramFolder = testing_support::dataDir();
        platform::ScriptedMessageBox box;
        platform::ScopedMessageBox scoped{box};
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        for (const auto& p : core::matchFiles(testing_support::dataDir(), "*.TDL"))
            core::ParseTemplateFile(p.filename().string());
        messages = box.shown.size();
    }
    static void TearDownTestSuite() { core::resetCoreLayer(); }

    static const core::TemplateRecord& T(int i) { return core::tdlState().Templates.at(static_cast<std::size_t>(i)); }
    static bool isIeee(const core::TemplateRecord& t) { return t.file.rfind("IEEE_", 0) == 0; }
    // The index of the template of that name; -1 when there is none.
    static int named(const std::string& name)
    {
        const auto& lib = core::tdlState();
        for (int i = 0; i <= lib.TemplateLast; ++i)
            if (T(i).name == name)
                return i;
        return -1;
    }
    // True when the template ends with the end section: selector 3, then the extended end
    // selector 1.
    static bool hasEndSection(const core::TemplateRecord& t)
    {
        if (t.selectorLast < 1)
            return false;
        const auto& ext = t.selectors[static_cast<std::size_t>(t.selectorLast)];
        const auto& end = t.selectors[static_cast<std::size_t>(t.selectorLast - 1)];
        return ext.width == 1 && ext.match == 1 && end.width == 2 && end.match == 3 &&
               end.bitAddress + 2 == ext.bitAddress;
    }

    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    static inline std::size_t messages = 0;
};

} // namespace shipped_test
