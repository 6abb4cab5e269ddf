#include "platform/serial/termiosserialport.h"

#include "platform/serial/comports.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

speed_t baudConstant(int baud)
{
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

bool configure(int fd, const LineSettings& s)
{
    const speed_t speed = baudConstant(s.baud);
    if (speed == B0)
        return false;
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    switch (s.dataBits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    default: t.c_cflag |= CS8; break;
    }
    if (s.parity == 'e' || s.parity == 'o') {
        t.c_cflag |= PARENB;
        if (s.parity == 'o')
            t.c_cflag |= PARODD;
    } else if (s.parity == 'm' || s.parity == 's') {
#ifdef CMSPAR
        t.c_cflag |= PARENB | CMSPAR;
        if (s.parity == 'm')
            t.c_cflag |= PARODD;
#else
        return false;
#endif
    }
    if (s.stopBits10 > 10)
        t.c_cflag |= CSTOPB;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

TermiosSerialPort::~TermiosSerialPort() { closeDevice(); }

std::string TermiosSerialPort::devicePath() const
{
    if (!openedPath_.empty())
        return openedPath_;
    return path_.empty() ? commPortDevice(CommPort()) : path_;
}

bool TermiosSerialPort::openDevice(int commPort, const LineSettings& s, std::string& error)
{
    const std::string path = path_.empty() ? commPortDevice(commPort) : path_;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!isatty(fd)) {
        ::close(fd);
        error = "Cannot open " + path + ": not a serial device";
        return false;
    }
    if (ioctl(fd, TIOCEXCL) != 0 && errno == EBUSY) {
        ::close(fd);
        error = "Cannot open " + path + ": port in use";
        return false;
    }
    if (!configure(fd, s)) {
        ::close(fd);
        error = "Cannot set up " + path + " for " + Settings();
        return false;
    }
    tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    openedPath_ = path;
    unsent_.clear();
    deviceError_.clear();
    return true;
}

void TermiosSerialPort::closeDevice()
{
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }
    fd_ = -1;
    openedPath_.clear();
    unsent_.clear();
}

bool TermiosSerialPort::applySettings(const LineSettings& s) { return fd_ >= 0 && configure(fd_, s); }

void TermiosSerialPort::readAvailable(std::string& to)
{
    if (fd_ < 0)
        return;
    flushPending();
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            to.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EIO, ENXIO, ENODEV: the device went away (an unplugged USB adapter, the far end
        // of a pseudo-terminal closed). Nothing arrives; deviceError() says why.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            noteError("read", errno);
        break;
    }
}

void TermiosSerialPort::flushPending()
{
    while (!unsent_.empty()) {
        const ssize_t n = ::write(fd_, unsent_.data(), unsent_.size());
        if (n > 0) {
            unsent_.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            noteError("write", errno);
        break;
    }
}

void TermiosSerialPort::noteError(const char* what, int code)
{
    if (deviceError_.empty())
        deviceError_ = std::string("cannot ") + what + " " + openedPath_ + ": " + std::strerror(code);
}

void TermiosSerialPort::writeBytes(const std::string& bytes)
{
    if (fd_ < 0)
        return;
    unsent_ += bytes;
    flushPending();
}

int TermiosSerialPort::pendingOutput()
{
    if (fd_ < 0)
        return 0;
    flushPending();
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) != 0)
        queued = 0;
    return queued + static_cast<int>(unsent_.size());
}

void TermiosSerialPort::breakSignal()
{
    if (fd_ >= 0)
        tcsendbreak(fd_, 0);
}

void TermiosSerialPort::dropOutput()
{
    unsent_.clear();
    if (fd_ >= 0)
        tcflush(fd_, TCOFLUSH);
}

bool TermiosSerialPort::waitReadable(Micros maxWait)
{
    if (fd_ < 0)
        return false;
    flushPending();
    pollfd p{fd_, POLLIN, 0};
    // Rounded up, so a wait of a few microseconds still gives up the CPU.
    const auto ms = static_cast<int>((maxWait.count() + 999) / 1000);
    for (;;) {
        const int n = ::poll(&p, 1, ms);
        if (n < 0 && errno == EINTR)
            continue;
        if (n > 0 && (p.revents & POLLIN) != 0)
            return true;
        // A hung-up or failed device is "ready" at once; wait out the time instead of
        // letting the caller spin.
        if (n != 0)
            std::this_thread::sleep_for(maxWait);
        return false;
    }
}

} // namespace platform
