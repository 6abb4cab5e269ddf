#include "amplifier/tools/peloxtestmodel.h"

#include "core/base/message.h"
#include "device/amplink/linehold.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "platform/serial/serialport.h"
#include "shell/jobs/jobqueue.h"

namespace amplifier {

namespace {

constexpr int kReplyMs = 10000;
constexpr const char* kPresets[] = {"START_PELOX", "PELOX00 IDRESET", "PELOX00 IDNUM01", "PELOX00 IDNUM02",
                                    "Conf?",       "A_C_N?",          "Err?",            "S_B?"};
constexpr const char* kCrLf = "\r\n";

} // namespace

PeloxTestModel::PeloxTestModel(ToolView* view) : view_(view) {}

PeloxTestModel::~PeloxTestModel() { detachFromQueue(); }

void PeloxTestModel::Form_Load()
{
    HelpContextID = 27;
    if (switchToAmplifierLink)
        switchToAmplifierLink();
    auto& ds = device::deviceState();
    ds.PeloxTestOpen = true;
    showSelection(ds.SelectedAmplifier, ds.SelectedChannel);
    if (auto* port = device::peloxPort())
        port->setInputLen(0);
    Send_Recieve_Pelox = "S_B?";
    Send_Recieve_PeloxItems.assign(std::begin(kPresets), std::end(kPresets));
    Text2.clear();
    changed();
}

void PeloxTestModel::showSelection(int amplifier, int channel)
{
    SelPelox = std::to_string(amplifier);
    SelChan = std::to_string(channel);
    changed();
}

void PeloxTestModel::post(Job job)
{
    shell::jobQueue().Insert_In_JobQue(*this, job, 0LL);
    focusAway();
}

void PeloxTestModel::Addtolist_Click()
{
    Send_Recieve_PeloxItems.push_back(Send_Recieve_Pelox);
    focusAway();
    changed();
}

void PeloxTestModel::DoJob()
{
    auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    const int job = q.head().subno;
    if (job < Job::ReceiveLine || job > Job::ReceiveLineLF) {
        core::MsgBox("No such job in Pelox_test");
        return;
    }
    // Another exchange holds the line (it waits for an answer): this one is not run.
    device::LineHold hold;
    if (!hold) {
        log("Line busy, job " + std::to_string(job) + " not run" + kCrLf);
        changed();
        return;
    }
    switch (job) {
    case Job::ReceiveLine: Do_RecieveLine(); break;
    case Job::SendBuffer: Do_Send_buffer(); break;
    case Job::SendReceivedLine: Do_SendReceivedLine(); break;
    case Job::SendLF: Do_SendLF(); break;
    case Job::SendLine: Do_SendLine(); break;
    case Job::SendLineLF: Do_SendLineLF(); break;
    case Job::ReceiveLineLF: Do_RecieveLineLF(); break;
    default: break;
    }
    changed();
}

void PeloxTestModel::Refresh() { changed(); }

void PeloxTestModel::Do_RecieveLine()
{
    log("From Pelox : ");
    log(device::Pelox_Receive_Count(0, kReplyMs) + kCrLf);
}

void PeloxTestModel::Do_Send_buffer()
{
    const std::string text = Send_Recieve_Pelox;
    log("Buffer to Pelox: " + text + kCrLf);
    log("received: " + device::Mlan_Transaction(text) + kCrLf);
}

void PeloxTestModel::Do_SendReceivedLine()
{
    const std::string text = Send_Recieve_Pelox;
    log("Line to Pelox: " + text + kCrLf);
    device::Pelox_Send(text);
    log("received: " + device::Pelox_Receive(kReplyMs) + kCrLf);
}

void PeloxTestModel::Do_SendLF()
{
    log(std::string("To Pelox: <LF>") + kCrLf);
    device::Pelox_Send_NoTerm("\n");
}

void PeloxTestModel::Do_SendLine()
{
    const std::string text = Send_Recieve_Pelox;
    log("To Pelox: " + text + kCrLf);
    device::Pelox_Send_NoTerm(text);
    focusAway();
}

void PeloxTestModel::Do_SendLineLF()
{
    const std::string text = Send_Recieve_Pelox;
    log("To Pelox (LF): " + text + kCrLf);
    device::Pelox_Send(text);
}

void PeloxTestModel::Do_RecieveLineLF()
{
    log("From Pelox (LF): ");
    log(device::Pelox_Receive(kReplyMs) + kCrLf);
}

} // namespace amplifier
