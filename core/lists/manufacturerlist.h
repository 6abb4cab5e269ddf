#pragma once
// Reading "ManufacturerList.xdl": id and name pairs, position for position.

#include "core/lists/manufacturerlistmodel.h"

#include <filesystem>

namespace core {

// Appends every entry's name to list and its id to ManufacturerIds (from position 0),
// then selects position 0. Entries 17 .. 4096 of the table are set to -1 first.
// A wrong first line ends the program; a malformed entry line is reported and skipped;
// entries past the table's last position are reported and not read.
void ReadManufacturerList(const std::filesystem::path& path, ManufacturerListModel& list);

} // namespace core
