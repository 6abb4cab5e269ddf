// A test peer, not part of the program: an emulated serial 1-Wire adapter (DS2480B or
// passive) in front of a simulated network, served on a pseudo-terminal, so that the
// program under test talks to it as to an adapter on a serial port and the nodes'
// memory outlives the program (kill -9 it and start it again: the nodes keep what was
// written).
//
//   adapterpeer <network description file> [ds2480b|passive]
//
// stdout: the slave path of the pseudo-terminal, then one line "bus <resets> <copies>"
// whenever the count of reset pulses or of completed scratchpad copies changed.
// stdin, one command a line: "dump" prints "memory <node id> <hex bytes>" per EEPROM
// node and then "end"; "reload" loads the description again (the nodes get their first
// memory back) and prints "reloaded"; "short on" / "short off" shorts the 1-Wire line or
// frees it and prints "short <on|off>"; "errors" prints "error <text>" per protocol error
// the adapter saw and then "end"; "writes" prints "writes <n>", the host's
// writes to the adapter so far; "vanish" closes the adapter's side of the line (the
// program's tty hangs up; the name stays taken, so no other peer gets it) and prints
// "vanished"; "unplug-after <n>" takes every EEPROM node off the bus once n more copies
// have completed (n = 0: at once) and then prints "unplugged"; "plug" puts them back with
// their memory and prints "plugged"; end of input ends the peer.
//
// The adapter loses its power when no program holds the port open (the line is hung
// up): it starts again from power-up, as a real one powered from the port would.

#include "sim/adapters/ds2480bemu.h"
#include "sim/adapters/passiveadapteremu.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simscratcheeprom.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::sim::SimNetwork;
using platform::sim::SimScratchEeprom;

int baudOf(speed_t s)
{
    switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 9600;
    }
}

// EEPROM nodes taken off the bus by "unplug-after"; they keep their memory and counts.
std::vector<std::shared_ptr<platform::sim::SimNode>> unplugged;

int copiesOf(const SimNetwork& net)
{
    int n = 0;
    for (const auto& node : net.nodes())
        if (const auto* e = dynamic_cast<const SimScratchEeprom*>(node.get()))
            n += e->copies();
    for (const auto& node : unplugged)
        if (const auto* e = dynamic_cast<const SimScratchEeprom*>(node.get()))
            n += e->copies();
    return n;
}

void unplugEeproms(SimNetwork& net)
{
    std::vector<platform::sim::RomCode> roms;
    for (const auto& node : net.nodes())
        if (dynamic_cast<const SimScratchEeprom*>(node.get()))
            roms.push_back(node->rom());
    for (const auto& rom : roms)
        if (auto node = net.removeNode(rom))
            unplugged.push_back(std::move(node));
}

void say(const std::string& line)
{
    std::cout << line << std::endl;
}

void dump(SimNetwork& net)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::vector<std::shared_ptr<platform::sim::SimNode>> all = net.nodes();
    all.insert(all.end(), unplugged.begin(), unplugged.end());
    for (const auto& node : all) {
        auto* e = dynamic_cast<SimScratchEeprom*>(node.get());
        if (!e)
            continue;
        std::string text;
        for (std::uint8_t b : e->memory()) {
            text.push_back(hex[b >> 4]);
            text.push_back(hex[b & 15]);
        }
        say("memory " + node->rom().nodeId() + " " + text);
    }
    say("end");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: adapterpeer <network description> [ds2480b|passive]\n";
        return 2;
    }
    auto net = std::make_shared<SimNetwork>();
    std::string error;
    if (!net->loadFile(argv[1], error)) {
        std::cerr << error << "\n";
        return 1;
    }
    net->setTranscriptLimit(0);
    const bool passive = argc > 2 && std::string(argv[2]) == "passive";
    std::unique_ptr<platform::emu::SerialAdapterEmu> adapter;
    if (passive)
        adapter = std::make_unique<platform::emu::PassiveAdapterEmu>(net);
    else
        adapter = std::make_unique<platform::emu::Ds2480bEmu>(net);

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    char name[128] = {};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        std::cerr << "cannot create a pseudo-terminal: " << std::strerror(errno) << "\n";
        return 1;
    }
    // Raw from the start; any user may open it (the program may run as another user).
    {
        const int slave = ::open(name, O_RDWR | O_NOCTTY);
        termios t{};
        if (slave >= 0 && tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            cfsetispeed(&t, B9600);
            cfsetospeed(&t, B9600);
            tcsetattr(slave, TCSANOW, &t);
        }
        if (slave >= 0)
            ::close(slave);
        ::chmod(name, 0666);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    say(name);

    // Copies are counted over reloads.
    int resets = 0, copyBase = 0, copies = copiesOf(*net);
    int unplugAt = -1;  // the copy count at which the EEPROM nodes leave the bus
    bool hungUp = true;
    int baud = 9600;
    std::string unsent, command;
    [[maybe_unused]] int keptSlave = -1;
    for (;;) {
        pollfd fds[2] = {{master, POLLIN, 0}, {0, POLLIN, 0}};
        ::poll(fds, 2, 1);
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            char buf[256];
            const ssize_t n = ::read(0, buf, sizeof buf);
            if (n <= 0)
                return 0;
            command.append(buf, static_cast<std::size_t>(n));
            for (std::size_t end; (end = command.find('\n')) != std::string::npos; command.erase(0, end + 1)) {
                const std::string c = command.substr(0, end);
                if (c == "dump") {
                    dump(*net);
                } else if (c.rfind("unplug-after ", 0) == 0) {
                    unplugAt = copyBase + copiesOf(*net) + std::atoi(c.c_str() + 13);
                } else if (c == "plug") {
                    for (auto& node : unplugged)
                        net->addNode(node);
                    unplugged.clear();
                    unplugAt = -1;
                    say("plugged");
                } else if (c == "reload") {
                    copyBase += copiesOf(*net);
                    unplugged.clear();
                    net->clearNodes();
                    std::string e;
                    net->loadFile(argv[1], e);
                    say("reloaded");
                } else if (c == "short on" || c == "short off") {
                    adapter->setShorted(c == "short on");
                    say(c);
                } else if (c == "vanish") {
                    if (master >= 0) {
                        keptSlave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
                        ::close(master);
                        master = -1;
                    }
                    say("vanished");
                } else if (c == "writes") {
                    say("writes " + std::to_string(adapter->counters().hostWrites));
                } else if (c == "errors") {
                    for (const auto& e : adapter->protocolErrors())
                        say("error " + e);
                    say("end");
                }
            }
        }
        if (master < 0)
            continue;
        if ((fds[0].revents & POLLHUP) && !(fds[0].revents & POLLIN)) {
            // No program holds the port: the adapter has no power.
            hungUp = true;
            unsent.clear();
            ::usleep(1000);
            continue;
        }
        const auto now = platform::clock().now();
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            if (hungUp) {
                adapter->hostBreak(now);
                hungUp = false;
            }
            termios t{};
            if (tcgetattr(master, &t) == 0 && baudOf(cfgetospeed(&t)) != baud) {
                baud = baudOf(cfgetospeed(&t));
                platform::LineSettings s;
                s.baud = baud;
                adapter->lineSettings(s);
            }
            adapter->hostWrote(std::string(buf, static_cast<std::size_t>(n)), now);
        }
        unsent += adapter->sentBy(platform::clock().now());
        while (!unsent.empty()) {
            const ssize_t n = ::write(master, unsent.data(), unsent.size());
            if (n <= 0)
                break;
            unsent.erase(0, static_cast<std::size_t>(n));
        }
        int r = 0;
        for (const auto& e : net->transcript())
            if (e.kind == platform::sim::BusEvent::Reset)
                ++r;
        net->clearTranscript();
        const int c = copyBase + copiesOf(*net);
        if (unplugAt >= 0 && c >= unplugAt) {
            unplugEeproms(*net);
            unplugAt = -1;
            say("unplugged");
        }
        if (r > 0 || c != copies) {
            resets += r;
            copies = c;
            say("bus " + std::to_string(resets) + " " + std::to_string(copies));
        }
    }
}
