// Amplifier replies as the transport receives them: the input, cut at its NULs into
// replies, answers the host's lines one after the other (each after the echo of the
// line) while the transport runs an address exchange, an ":MLAN" transaction and a
// plain receive; the first reply is also read as an ":MLAN?" reply.

#include "tests/fuzz/fuzzsupport.h"

#include "device/base/devicestate.h"
#include "device/memimage/hexbytes.h"
#include "device/onewire/mlanreply.h"
#include "device/amplink/peloxtransport.h"
#include "sim/serial/memoryserialport.h"

#include <chrono>
#include <deque>
#include <utility>

namespace {

using namespace std::chrono_literals;

// Echoes each character 1 ms after it came and answers each complete line with the
// next reply 3 ms after it.
class ReplyingDevice final : public platform::SerialDevice {
public:
    std::deque<std::string> replies;

    void hostWrote(const std::string& bytes, platform::TimePoint at) override
    {
        for (char c : bytes) {
            out_.emplace_back(at + 1ms, std::string(1, c));
            if (c == '\n' && !replies.empty()) {
                out_.emplace_back(at + 3ms, replies.front());
                replies.pop_front();
            }
        }
    }
    std::string sentBy(platform::TimePoint now) override
    {
        std::string s;
        while (!out_.empty() && out_.front().first <= now) {
            s += out_.front().second;
            out_.pop_front();
        }
        return s;
    }

private:
    std::deque<std::pair<platform::TimePoint, std::string>> out_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    std::string rest = fuzz::bytes(data, size);
    ReplyingDevice far;
    while (!rest.empty() && far.replies.size() < 8) {
        auto [reply, after] = fuzz::splitAtNul(rest);
        far.replies.push_back(reply);
        if (after.empty())
            break;
        rest = after;
    }
    if (far.replies.empty())
        far.replies.push_back("");

    const device::MlanReply mlan(far.replies.front());
    for (std::size_t k = 0; k < 70; ++k)
        mlan.byteAt(k);
    mlan.lastByte();
    mlan.from(size % 40);
    device::leadingHexValue(far.replies.front(), 0, size % 20);

    device::resetDeviceState();
    device::resetTransportState();
    platform::MemorySerialPort port(&far);
    port.setPortOpen(true);
    device::setPeloxPort(&port);
    std::string answer;
    device::Pelox_Assign_Address(1, &answer);
    device::deviceState().SelectedAmplifier = 1;
    device::deviceState().SelectedChannel = 2;
    device::Mlan_Transaction("8081000085");
    device::Pelox_Send("Err?");
    device::Pelox_Receive(200);
    device::Pelox_Receive_Count(4, 100);
    device::setPeloxPort(nullptr);
    return 0;
}
