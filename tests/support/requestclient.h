#pragma once
// A client of the request server, as another program talks to it: the request is
// written under a temporary name and renamed to TEDS_req.txt, then TEDS_ack.txt is
// created; the answer is complete once the ack file has gone; then TEDS_res.txt is read.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class RequestClient {
public:
    explicit RequestClient(std::filesystem::path workingDir) : dir_(std::move(workingDir)) {}

    // Lines joined with CR LF; the first line is the version line unless withVersion is false.
    static std::string requestText(const std::vector<std::string>& lines, bool withVersion = true);

    // Writes the request (as given, bytes) and creates the ack file.
    void send(const std::string& requestBytes);
    // Creates the ack file alone.
    void acknowledge();
    // Waits until the ack file has gone or timeout passed (real time). Between two looks
    // step runs (in-process servers do their work there); without it the client sleeps.
    bool waitForAnswer(std::chrono::milliseconds timeout, const std::function<void()>& step = {});
    // Until a server answers an ack alone with "request file not found" (an ack made before
    // its window was loaded is deleted as stale, unanswered); false when none did in time.
    bool waitUntilServing(std::chrono::milliseconds timeout);
    // The response file's bytes; nullopt when there is none.
    std::optional<std::string> response() const;
    // The response's lines (CR LF removed).
    std::vector<std::string> responseLines() const;
    bool ackPresent() const;

    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

// Lines of text split at CR LF (a last line end adds no line).
std::vector<std::string> crlfLines(const std::string& text);

} // namespace testing_support
