#include "amplifier/tools/maintenancemodel.h"

#include "core/base/message.h"
#include "device/amplink/linehold.h"
#include "device/amplink/peloxtransport.h"
#include "platform/base/messagebox.h"
#include "platform/serial/serialport.h"
#include "shell/jobs/jobqueue.h"

namespace amplifier {

MaintenanceModel::MaintenanceModel(ToolView* view) : view_(view) {}

MaintenanceModel::~MaintenanceModel() { detachFromQueue(); }

void MaintenanceModel::Form_Load()
{
    HelpContextID = 29;
    if (switchToAmplifierLink)
        switchToAmplifierLink();
    if (auto* port = device::peloxPort())
        port->setInputLen(0);
    changed();
}

std::string MaintenanceModel::serialRefusal(const std::string& text)
{
    if (static_cast<int>(text.size()) != kSerialLength)
        return "Wrong length";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c > 99)
            return std::string("A serial number holds only characters with a code from 32 to 99 (digits, capitals, ") +
                   "blanks and most signs): \"" + ch + "\" cannot be written";
    }
    return "";
}

void MaintenanceModel::ReqWriteSerialno_Click()
{
    if (core::MsgBox("Are you sure ?", platform::MsgOkCancel) != platform::MsgOK)
        return;
    if (const auto why = serialRefusal(SerialNo); !why.empty()) {
        core::MsgBox(why);
        return;
    }
    shell::jobQueue().Insert_In_JobQue(*this, WriteSerialJob, 0LL);
    focusAway();
}

void MaintenanceModel::DoJob()
{
    auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    if (q.head().subno != WriteSerialJob) {
        core::MsgBox("No such job in Pelox_MaintenanceF");
        return;
    }
    Write_Serialno();
}

void MaintenanceModel::Write_Serialno()
{
    const std::string serial = SerialNo;
    if (const auto why = serialRefusal(serial); !why.empty()) {
        core::MsgBox(why);
        return;
    }
    device::LineHold hold;
    if (!hold) {
        core::MsgBox("The amplifier line is busy with another exchange; the serial number was not written");
        return;
    }
    device::Pelox_Send("ATAC_RESET_SERIAL_NUMBER");
    for (const char ch : serial) {
        const int code = static_cast<unsigned char>(ch);
        device::Pelox_Send("ATAC_WRITE_SERIAL_NUMBER " + std::string(code < 10 ? "0" : "") + std::to_string(code));
    }
    device::Pelox_Send("ATAC_PROGRAM_SERIAL_NUMBER?");
}

} // namespace amplifier
