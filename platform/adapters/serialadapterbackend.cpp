#include "platform/adapters/serialadapterbackend.h"

#include "platform/serial/termiosserialport.h"

#include <algorithm>

namespace platform {

namespace {

// Time on the line for n characters of 10 bits, each rounded up to the microsecond (never
// less than the line takes).
Micros lineTime(std::size_t n, int baud)
{
    return Micros(static_cast<long long>(n) * ((10'000'000LL + baud - 1) / baud));
}

// Allowance for the far end and the operating system on top of the line time. An answer
// is taken as it arrives, so this only sets how long a silent adapter takes to be found
// out; a USB serial converter on a busy machine may lag by more than a tenth of a second.
constexpr Micros kAllowance{1'000'000};
// Longest sleep between two runs of the window events while an answer is awaited.
constexpr Micros kEventSlice{20'000};
// Shortest step of a wait on a clock the port cannot wait on.
constexpr Micros kMinStep{200};

} // namespace

SerialAdapterBackend::SerialAdapterBackend(std::unique_ptr<SerialPort> port, int commPort, std::string name)
    : port_(std::move(port)), name_(std::move(name))
{
    port_->setCommPort(commPort);
}

std::string SerialAdapterBackend::devicePath() const
{
    if (const auto* tty = dynamic_cast<const TermiosSerialPort*>(port_.get()))
        return tty->devicePath();
    return "Com" + std::to_string(port_->CommPort());
}

std::string SerialAdapterBackend::description() const { return name_ + " on " + devicePath(); }

int SerialAdapterBackend::openSession()
{
    if (port_->PortOpen())
        return 1;
    const std::string path = devicePath();
    port_->setSettings(openSettings());
    if (!port_->setPortOpen(true)) {
        error_ = name_ + ": " + port_->lastError();
        return TMEX_PORT_NOT_EXIST;
    }
    LineSettings s;
    parseLineSettings(port_->Settings(), s);
    baud_ = s.baud;
    error_.clear();
    if (!start()) {
        port_->setPortOpen(false);
        forget();
        return TMEX_PORT_NOT_EXIST;
    }
    return 1;
}

void SerialAdapterBackend::closeSession()
{
    if (port_->PortOpen() && strongPullup())
        setStrongPullup(false);
}

void SerialAdapterBackend::releasePort()
{
    if (port_->PortOpen())
        port_->setPortOpen(false);
    forget();
}

bool SerialAdapterBackend::fail(const std::string& why)
{
    error_ = name_ + " on " + devicePath() + ": " + why;
    if (port_->PortOpen())
        port_->setPortOpen(false);
    forget();
    return false;
}

bool SerialAdapterBackend::setBaud(int baud)
{
    if (baud == baud_)
        return true;
    if (!port_->setSettings(std::to_string(baud) + ",n,8,1"))
        return fail("cannot set " + std::to_string(baud) + " baud");
    baud_ = baud;
    return true;
}

Micros SerialAdapterBackend::characterTime() const { return lineTime(1, baud_); }

bool SerialAdapterBackend::send(const std::string& out)
{
    if (!port_->PortOpen())
        return fail("the port is not open");
    port_->Input();  // nothing stale is taken for an answer
    if (const std::string why = port_->deviceError(); !why.empty())
        return fail(why);
    const TimePoint now = clock().now();
    port_->Output(out);
    traffic_.bytesOut += static_cast<long>(out.size());
    // The bytes follow what is still on the line.
    lineFree_ = std::max(lineFree_, now) + lineTime(out.size(), baud_);
    if (const std::string why = port_->deviceError(); !why.empty())
        return fail(why);
    return true;
}

bool SerialAdapterBackend::exchange(const std::string& out, std::size_t n, std::string& in, Micros extra)
{
    in.clear();
    if (!out.empty()) {
        if (!send(out))
            return false;
        ++traffic_.roundTrips;
    }
    if (n == 0)
        return true;
    // The answer is taken as it arrives (a full-duplex adapter answers while the host still
    // sends); the line and bus time only set the deadline.
    Clock& c = clock();
    const Micros expected = lineTime(out.size() + n, baud_) + extra;
    const TimePoint deadline = c.now() + expected + kAllowance;
    const bool kernelWait = port_->canWaitForInput() && dynamic_cast<SystemClock*>(&c) != nullptr;
    for (;;) {
        in += port_->Input();
        if (in.size() >= n)
            break;
        if (const std::string why = port_->deviceError(); !why.empty())
            return fail(why);
        const TimePoint now = c.now();
        if (now >= deadline)
            return fail(in.empty() ? "no answer from the adapter" : "the adapter's answer is incomplete");
        const auto left = std::chrono::duration_cast<Micros>(deadline - now);
        if (kernelWait) {
            // Sleeps in the kernel until input arrives, window events running in between.
            processEvents();
            port_->waitForInput(std::min(left, kEventSlice));
        } else {
            // The rest cannot be complete before its characters have crossed the line.
            const std::size_t rest = n - in.size();
            c.pause(std::min(left, std::max(kMinStep, lineTime(rest - 1, baud_))));
        }
    }
    traffic_.bytesIn += static_cast<long>(n);
    if (in.size() > n)
        in.resize(n);
    // Bytes after the last answered one (a mode switch, the accelerator off) may still be
    // on the line: the next write, or a break, comes after them.
    if (const TimePoint now = c.now(); now < lineFree_)
        c.pause(std::chrono::duration_cast<Micros>(lineFree_ - now));
    return true;
}

} // namespace platform
