#pragma once
// Module-level state of the TEDS core, given its start values by start-up.

#include "platform/base/clock.h"

#include <filesystem>
#include <string>

namespace core {

struct CoreState {
    platform::TimePoint StartTime{};
    bool JapaneseWindows = false;      // micro prefix written "u"; data files accepted unread
    int DateEpoch = 35796;             // day 0 of DATE fields: 1 January 1998 (days from 30 Dec 1899)
    int LastRemapTemplate = -1;
    std::string SwitchNodeId;          // id of the PC adaptor's switch node
    std::string AdapterId9097U;
    std::string AdapterId9490R;
    bool TedsF_loaded = false;
    std::string ProgramTitle = "Tedsmith";
    std::string ProgramVersion;        // "major.minor.revision"
    std::filesystem::path ProgramFolder;  // templates, lists, help file
    std::filesystem::path DataFolder;     // per-user data folder
    std::filesystem::path IniPath;        // the settings file
    bool AllFilesValid = true;
};

// The one instance.
CoreState& coreState();
// Fresh start values (tests).
void resetCoreState();

} // namespace core
