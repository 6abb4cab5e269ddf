#pragma once
// The shipped template library loaded through the program's own loader (tag list,
// every .tdl of the data folder in name order, manufacturer list), once per test
// program, plus lookups over it. Header only.

#include "core/base/corestate.h"
#include "core/lists/fieldtags.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/state/corelayer.h"
#include "core/tdl/templateparser.h"
#include "core/tdl/tdlstate.h"
#include "tests/support/testsupport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace library_attack {

namespace fs = std::filesystem;

inline std::string upper(std::string s)
{
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The .tdl files of the program folder in the order start-up parses them.
inline std::vector<std::string> tdlFiles(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        if (upper(e.path().extension().string()) == ".TDL") names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Loads the library into the program's state (the caller installs a message box).
inline void loadShippedLibrary()
{
    core::resetCoreLayer();
    auto& cs = core::coreState();
    cs.ProgramFolder = testing_support::dataDir();
    auto& ls = core::listsState();
    ls.FieldTagList = std::make_unique<core::Fieldtags>(cs.ProgramFolder);
    for (const auto& n : tdlFiles(cs.ProgramFolder)) core::ParseTemplateFile(n);
    core::ReadManufacturerList(cs.ProgramFolder / "ManufacturerList.xdl", ls.Manufacturers);
}

inline const std::vector<core::TemplateRecord>& templates() { return core::tdlState().Templates; }
inline int templateLast() { return core::tdlState().TemplateLast; }

inline bool contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

} // namespace library_attack
