#include "amplifier/model/chainconfigread.h"

#include "amplifier/model/channelread.h"
#include "amplifier/model/confitems.h"
#include "amplifier/model/peloxmodel.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "platform/serial/serialport.h"
#include "shell/jobs/jobqueue.h"

#include <limits>

namespace amplifier {

namespace {

constexpr int kReplyMs = 10000;
constexpr int kWakeTestMs = 100;
constexpr int kBurstEchoMs = 10;
constexpr int kWakePauseMs = 10000;
// Chain addresses are two digits.
constexpr int kLastAddress = 99;

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Hourglass and the Err? switch as they were, whatever way the read ends.
class ChainReadScope {
public:
    ChainReadScope() : hourglass_(shell::jobQueue().HourGlass()), errAfterSend_(device::deviceState().ErrAfterSend)
    {
        shell::jobQueue().allFormsHourglass(true);
        device::deviceState().ErrAfterSend = false;
    }
    ~ChainReadScope()
    {
        restoreErrAfterSend();
        if (!hourglass_)
            shell::jobQueue().allFormsHourglass(false);
    }
    void restoreErrAfterSend() { device::deviceState().ErrAfterSend = errAfterSend_; }
    ChainReadScope(const ChainReadScope&) = delete;
    ChainReadScope& operator=(const ChainReadScope&) = delete;

private:
    bool hourglass_;
    bool errAfterSend_;
};

// A configuration number as the record holds it (16 bits); a value outside is clamped
// with a trace line.
std::int16_t confNumber(std::int32_t v, int amplifierNo, const char* what)
{
    constexpr std::int32_t lo = std::numeric_limits<std::int16_t>::min(), hi = std::numeric_limits<std::int16_t>::max();
    if (v >= lo && v <= hi)
        return static_cast<std::int16_t>(v);
    core::logTracewindow("Amplifier " + std::to_string(amplifierNo) + ": " + what + " " + std::to_string(v) +
                         " out of range, taken as " + std::to_string(v < lo ? lo : hi));
    return static_cast<std::int16_t>(v < lo ? lo : hi);
}

} // namespace

void ChainConfigRead::ReadPeloxConfig()
{
    ChainReadScope scope;
    m_.ClearDB();
    m_.InsertPeloxroot(0, "Working ... ");
    m_.showWindow();

    AutoTurnOn();
    device::Pelox_Send("@");
    device::Pelox_Send("HEADER OFF");
    device::Pelox_Send("PELOX00 IDRESET");
    int n = 0;
    while (n < kLastAddress && device::Pelox_Assign_Address(n + 1))
        ++n;

    m_.ClearDB();
    scope.restoreErrAfterSend();
    if (n < 1) {
        core::MsgBox("Could not assign any Pelox");
    } else {
        for (int a = 1; a <= n; ++a) {
            if (!GetConfRec(a, true))
                continue;
            const int count = amplifierState().amplifier(a)->ChannelCount;
            for (int ch = 1; ch <= count; ++ch) {
                const auto& c = *amplifierState().amplifier(a)->channel(ch);
                m_.InsertPeloxCh(a, ch, c.Description, c.Unit);
                m_.tree.visibleId = m_.LastNode;
            }
        }
    }
    if (device::deviceState().AmplifierCount >= 1 && device::deviceState().SelectedAmplifier == 0 && m_.tree.count() > 0) {
        m_.tree.selectedId = m_.tree.node(1).id;
        m_.ClickedNode = m_.tree.selectedId;
        m_.click_At_PeloxTreeView();
    }
    m_.changed();
}

void ChainConfigRead::AutoTurnOn()
{
    device::Pelox_Send("s_b?");
    if (!device::Pelox_Receive(kWakeTestMs).empty())
        return;
    auto* port = device::peloxPort();
    const bool up = port && port->PortOpen();
    if (up)
        port->setOutBufferCount(0);
    const auto deadline = core::MakeDeadline(kBurstEchoMs);
    device::transportState().pendingInput.clear();
    if (up) {
        port->Input();
        port->setInputLen(0);
    }
    core::Tracewindow("Send @@@@@@@@@@@@@@@@@@@@ to Pelox or 6188");
    if (up)
        port->Output(std::string(20, '@'));
    while (!core::DeadlinePassed(deadline) && !(up && port->InBufferCount() > 0))
        platform::awaitInput(up ? port : nullptr, deadline.at);
    if (up)
        port->setInputLen(0);
    core::Delay(kWakePauseMs);
}

bool ChainConfigRead::GetConfRec(int n, bool addToTree)
{
    device::Pelox_Send("PELOX" + twoDigits(n) + " Iden?");
    if (device::Pelox_Receive(kReplyMs).empty()) {
        core::MsgBox("Pelox not responding");
        return false;
    }
    device::Pelox_Send("conf?");
    std::string reply = device::Pelox_Receive(kReplyMs);
    if (reply.empty()) {
        core::MsgBox("Pelox not responding");
        return false;
    }
    const std::string serial = GetStr(reply);
    const std::string type = GetStr(reply);
    if (addToTree)
        m_.InsertPeloxroot(n, type + " Serial no.: " + serial);
    auto& list = amplifierState().Amplifiers;
    if (static_cast<int>(list.size()) <= n)
        list.resize(static_cast<std::size_t>(n) + 1);
    auto& amp = list[static_cast<std::size_t>(n)];
    amp.SerialNumber = serial;
    amp.TypeText = type;
    amp.ConfValue1 = confNumber(GetLong(reply), n, "configuration value 1");
    amp.ConfValue2 = confNumber(GetLong(reply), n, "configuration value 2");
    amp.ConfValue3 = confNumber(GetLong(reply), n, "configuration value 3");
    amp.FirmwareMajor = confNumber(GetLong(reply), n, "firmware major");
    amp.FirmwareMinor = confNumber(GetLong(reply), n, "firmware minor");
    amp.FirmwareBuild = confNumber(GetLong(reply), n, "firmware build");
    const std::int32_t reported = GetLong(reply);
    int count = is6188(type) ? kMaxChannels : reported;
    if (count > kMaxChannels || count < 0) {
        core::logTracewindow("Amplifier " + std::to_string(n) + ": " + std::to_string(reported) +
                             " channels reported, " + std::to_string(count < 0 ? 0 : kMaxChannels) + " taken");
        count = count < 0 ? 0 : kMaxChannels;
    }
    amp.ChannelCount = static_cast<std::int16_t>(count);

    if (count > 0 && !is618x(type) && !is6188Variant(type)) {
        core::logTracewindow("Amplifier " + std::to_string(n) + ": unknown type \"" + type + "\", channels not read");
        return false;
    }
    ChannelRead::readChannels(amp, reply, m_.PeloxunitItems);
    m_.changed();
    return true;
}

} // namespace amplifier
