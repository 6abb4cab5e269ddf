#include "tests/support/requestclient.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace testing_support {

namespace fs = std::filesystem;

std::string RequestClient::requestText(const std::vector<std::string>& lines, bool withVersion)
{
    std::string text = withVersion ? "T-block server request file version 1.0.0\r\n" : "";
    for (const auto& l : lines)
        text += l + "\r\n";
    return text;
}

void RequestClient::send(const std::string& requestBytes)
{
    const fs::path tmp = dir_ / "TEDS_req.tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << requestBytes;
    }
    fs::rename(tmp, dir_ / "TEDS_req.txt");
    acknowledge();
}

void RequestClient::acknowledge()
{
    std::ofstream out(dir_ / "TEDS_ack.txt", std::ios::binary | std::ios::trunc);
}

bool RequestClient::ackPresent() const { return fs::exists(dir_ / "TEDS_ack.txt"); }

bool RequestClient::waitForAnswer(std::chrono::milliseconds timeout, const std::function<void()>& step)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (ackPresent()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        if (step)
            step();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool RequestClient::waitUntilServing(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        acknowledge();
        if (!waitForAnswer(std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())))
            return false;
        const auto r = response();
        if (r && r->find("Error request file not found: TEDS_req.txt") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::optional<std::string> RequestClient::response() const
{
    std::ifstream in(dir_ / "TEDS_res.txt", std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> RequestClient::responseLines() const
{
    const auto r = response();
    return r ? crlfLines(*r) : std::vector<std::string>{};
}

std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace testing_support
