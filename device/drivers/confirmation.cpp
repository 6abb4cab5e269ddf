#include "device/drivers/confirmation.h"

#include "core/base/message.h"
#include "device/drivers/driverstate.h"

namespace device {

bool confirmProgramming(const std::string& question, ConfirmBox box)
{
    if (core::MessagesSuppressed()) {
        core::ShowMessage(question, platform::MsgOkCancel, "");
        return driverState().RomProgrammingAllowed;
    }
    const int answer = box == ConfirmBox::Plain ? core::MsgBox(question, platform::MsgOkCancel, "")
                                                : core::ShowMessage(question, platform::MsgOkCancel, "");
    return answer == platform::MsgOK;
}

} // namespace device
