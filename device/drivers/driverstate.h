#pragma once
// Module-level state of the node drivers and the two calls they make upwards: the
// node list (the shell registers it) and the check of the template and list files
// before a write (the template library side registers it).

#include <string>
#include <vector>

namespace device {

// How far the last node write got. The writers of the scratchpad EEPROMs count their
// pages; the others leave known false.
struct WriteReport {
    bool known = false;      // the writer counted its pages
    int changed = 0;         // pages that were to change
    int reached = 0;         // of them, pages of which the node confirmed a copy
    bool uncertain = false;  // a copy was sent that the node did not confirm
};

struct DriverState {
    // The last node write (Write_Node and the erase).
    WriteReport lastWrite;
    // Result of the last file check a node write ran.
    bool ValidationResult = false;
    // The running request allowed ROM programming: a confirmation that cannot be shown
    // because messages are suppressed then counts as OK instead of Cancel.
    bool RomProgrammingAllowed = false;
};

DriverState& driverState();
void resetDriverState();

// The node list as the drivers see it.
class DriverNodeList {
public:
    virtual ~DriverNodeList() = default;
    // Family codes of the node records, in list order (0 for an empty record).
    virtual std::vector<int> familyCodes() = 0;
    // True when a record has that node id.
    virtual bool NodeInList(const std::string& id) = 0;
};

// nullptr: no node list (no records). The caller keeps ownership.
void setDriverNodeList(DriverNodeList* list);
DriverNodeList* driverNodeList();

// Validation of every list and description file.
class FileValidation {
public:
    virtual ~FileValidation() = default;
    // ask: offer a repair for each failing file.
    virtual bool CheckAllFilesValidated(bool ask) = 0;
};

// nullptr: the template library's own check (core::CheckAllFilesValidated). The caller
// keeps ownership.
void setFileValidation(FileValidation* validation);
FileValidation& fileValidation();

} // namespace device
