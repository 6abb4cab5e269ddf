#pragma once
// Keeping description files consistent: their UTID lines and validation lines.

#include <filesystem>

namespace core {

// True when every template's UTID line equals the UTID computed from its UTIDT and
// selector values (as the parser computes it). With Rewrite the file is rewritten with
// UTID, UTIDT and (when missing) UGID lines right after each TEMPLATE line; the file is
// replaced through a temporary file and left untouched when that fails. Any error is
// reported and makes the result false.
bool UpdateUTIDInFile(const std::filesystem::path& path, bool Rewrite);

// The same with both answers apart: every UTID line matched (before a rewrite), and the
// file was read (and rewritten) without error.
struct UtidUpdate {
    bool allMatched = true;
    bool ok = true;
};
UtidUpdate UpdateUTIDs(const std::filesystem::path& path, bool Rewrite);

// Checks every list file (*.xdl) and description file (*.TDL) of the program folder.
// With ask every failing file is offered for repair; a repaired file counts as passed.
bool CheckAllFilesValidated(bool ask);

} // namespace core
