#include "device/drivers/driverstate.h"

#include "core/tdl/templatefileupkeep.h"

namespace device {

namespace {

class LibraryValidation final : public FileValidation {
public:
    bool CheckAllFilesValidated(bool ask) override { return core::CheckAllFilesValidated(ask); }
};

DriverState state;
DriverNodeList* nodeList = nullptr;
FileValidation* validation = nullptr;
} // namespace

DriverState& driverState() { return state; }
void resetDriverState() { state = DriverState{}; }

void setDriverNodeList(DriverNodeList* list) { nodeList = list; }
DriverNodeList* driverNodeList() { return nodeList; }

void setFileValidation(FileValidation* v) { validation = v; }
FileValidation& fileValidation()
{
    static LibraryValidation library;
    return validation != nullptr ? *validation : library;
}

} // namespace device
