#pragma once
// The test's side of the adapter peer (tests/support/peer/adapterpeer.cpp): starts it on
// a network description, reads its pseudo-terminal path and its bus reports on a
// thread of its own, waits on them, and asks it for the nodes' memory or to load the
// network again. The peer outlives any program started against it.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace testing_support {

class AdapterPeer {
public:
    AdapterPeer() = default;
    ~AdapterPeer();
    AdapterPeer(const AdapterPeer&) = delete;
    AdapterPeer& operator=(const AdapterPeer&) = delete;

    // Starts the peer (adapter "ds2480b" or "passive"); false when it did not come up.
    bool start(const std::filesystem::path& network, const std::string& adapter = "ds2480b");
    void stop();
    const std::string& ptyPath() const { return pty_; }

    // Bus counts reported so far.
    int resets();
    int copies();
    // Waits until done(resets, copies) holds; false after timeout.
    bool waitFor(const std::function<bool(int resets, int copies)>& done, std::chrono::milliseconds timeout);

    // Every EEPROM node's memory, by node id.
    std::map<std::string, std::vector<std::uint8_t>> memory();
    // The nodes get their first memory back.
    bool reload();
    // The adapter's side of the line goes (the program's tty hangs up); its name stays taken.
    bool vanish();
    // Shorts the 1-Wire line (or frees it).
    bool setShorted(bool on);
    // The program's writes to the adapter so far (-1 when the peer did not answer).
    long hostWrites();
    // What the emulated adapter was sent that its chip does not allow.
    std::vector<std::string> protocolErrors();

private:
    void readLoop();
    // Sends a command and waits for the line that ends its answer.
    bool ask(const std::string& command, const std::string& last, std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int in_ = -1;   // the peer's stdin
    int out_ = -1;  // the peer's stdout
    std::string pty_;
    std::thread reader_;
    std::mutex m_;
    std::condition_variable changed_;
    int resets_ = 0, copies_ = 0;
    std::vector<std::string> answer_;  // lines of the current command's answer
    bool ended_ = false;
};

} // namespace testing_support
