#include "tests/support/adapterpeer.h"

#include "tests/support/testsupport.h"

#include <csignal>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

AdapterPeer::~AdapterPeer() { stop(); }

bool AdapterPeer::start(const std::filesystem::path& network, const std::string& adapter)
{
    // A peer started again replaces the one before.
    stop();
    {
        std::lock_guard lock(m_);
        pty_.clear();
        answer_.clear();
        resets_ = copies_ = 0;
        ended_ = false;
    }
    int toPeer[2], fromPeer[2];
    if (::pipe(toPeer) != 0 || ::pipe(fromPeer) != 0)
        return false;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(toPeer[0], 0);
        ::dup2(fromPeer[1], 1);
        ::close(toPeer[1]);
        ::close(fromPeer[0]);
        ::execl(adapterPeerBinary().c_str(), "adapterpeer", network.c_str(), adapter.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toPeer[0]);
    ::close(fromPeer[1]);
    in_ = toPeer[1];
    out_ = fromPeer[0];
    if (pid_ < 0)
        return false;
    reader_ = std::thread([this] { readLoop(); });
    std::unique_lock lock(m_);
    changed_.wait_for(lock, std::chrono::seconds(20), [this] { return !pty_.empty() || ended_; });
    return !pty_.empty();
}

void AdapterPeer::stop()
{
    if (in_ >= 0)
        ::close(in_);
    in_ = -1;
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (reader_.joinable())
        reader_.join();
    if (out_ >= 0)
        ::close(out_);
    out_ = -1;
}

void AdapterPeer::readLoop()
{
    std::string buffer;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(out_, chunk, sizeof chunk);
        if (n <= 0)
            break;
        buffer.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = buffer.find('\n')) != std::string::npos; buffer.erase(0, end + 1)) {
            const std::string line = buffer.substr(0, end);
            std::lock_guard lock(m_);
            if (pty_.empty()) {
                pty_ = line;
            } else if (line.rfind("bus ", 0) == 0) {
                std::istringstream s(line.substr(4));
                s >> resets_ >> copies_;
            } else {
                answer_.push_back(line);
            }
            changed_.notify_all();
        }
    }
    std::lock_guard lock(m_);
    ended_ = true;
    changed_.notify_all();
}

int AdapterPeer::resets()
{
    std::lock_guard lock(m_);
    return resets_;
}

int AdapterPeer::copies()
{
    std::lock_guard lock(m_);
    return copies_;
}

bool AdapterPeer::waitFor(const std::function<bool(int, int)>& done, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_);
    return changed_.wait_for(lock, timeout, [&] { return done(resets_, copies_) || ended_; }) && !ended_;
}

bool AdapterPeer::ask(const std::string& command, const std::string& last, std::chrono::milliseconds timeout)
{
    {
        std::lock_guard lock(m_);
        answer_.clear();
    }
    const std::string line = command + "\n";
    if (::write(in_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        return false;
    std::unique_lock lock(m_);
    return changed_.wait_for(lock, timeout, [&] { return (!answer_.empty() && answer_.back() == last) || ended_; }) &&
           !ended_;
}

std::map<std::string, std::vector<std::uint8_t>> AdapterPeer::memory()
{
    std::map<std::string, std::vector<std::uint8_t>> nodes;
    if (!ask("dump", "end", std::chrono::seconds(20)))
        return nodes;
    std::lock_guard lock(m_);
    for (const auto& l : answer_) {
        std::istringstream s(l);
        std::string word, id, hex;
        s >> word >> id >> hex;
        if (word != "memory")
            continue;
        auto& bytes = nodes[id];
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return nodes;
}

bool AdapterPeer::reload() { return ask("reload", "reloaded", std::chrono::seconds(20)); }

bool AdapterPeer::vanish() { return ask("vanish", "vanished", std::chrono::seconds(20)); }

bool AdapterPeer::setShorted(bool on)
{
    const std::string c = on ? "short on" : "short off";
    return ask(c, c, std::chrono::seconds(20));
}

long AdapterPeer::hostWrites()
{
    {
        std::lock_guard lock(m_);
        answer_.clear();
    }
    const std::string line = "writes\n";
    if (::write(in_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        return -1;
    std::unique_lock lock(m_);
    if (!changed_.wait_for(lock, std::chrono::seconds(20),
                           [&] { return (!answer_.empty() && answer_.back().rfind("writes ", 0) == 0) || ended_; }) ||
        ended_)
        return -1;
    return std::stol(answer_.back().substr(7));
}

std::vector<std::string> AdapterPeer::protocolErrors()
{
    std::vector<std::string> errors;
    if (!ask("errors", "end", std::chrono::seconds(20))) {
        errors.push_back("(the peer did not answer)");
        return errors;
    }
    std::lock_guard lock(m_);
    for (const auto& l : answer_)
        if (l.rfind("error ", 0) == 0)
            errors.push_back(l.substr(6));
    return errors;
}

} // namespace testing_support
