#pragma once
// The far end of an in-memory serial line that plays an amplifier's ":MLAN" master:
// echoes every character, keeps the lines it got, and answers each ":MLAN?" query
// with the next scripted reply (an empty reply when the script has run out).

#include "sim/serial/memoryserialport.h"

#include <deque>
#include <string>
#include <vector>

namespace testing_support {

class MlanFake final : public platform::SerialDevice {
public:
    std::vector<std::string> lines;    // every line received, without its LF
    std::deque<std::string> replies;   // answers to the ":MLAN?" queries, in order

    void hostWrote(const std::string& bytes, platform::TimePoint) override
    {
        for (char c : bytes) {
            out_ += c;  // echo
            if (c != '\n') {
                line_ += c;
                continue;
            }
            lines.push_back(line_);
            if (line_.size() >= 6 && line_.compare(line_.size() - 6, 6, ":MLAN?") == 0) {
                std::string reply;
                if (!replies.empty()) {
                    reply = replies.front();
                    replies.pop_front();
                }
                out_ += reply + "\n";
            }
            line_.clear();
        }
    }

    std::string sentBy(platform::TimePoint) override
    {
        std::string s;
        s.swap(out_);
        return s;
    }

    // The payload lines only (the ":MLAN" commands, not the queries).
    std::vector<std::string> commands() const
    {
        std::vector<std::string> out;
        for (const auto& l : lines)
            if (l.find(":MLAN?") == std::string::npos)
                out.push_back(l);
        return out;
    }

private:
    std::string line_;
    std::string out_;
};

// The ":MLAN" line of a payload on a channel, spelled out.
inline std::string mlanLine(int channel, const std::string& payload)
{
    static const char* hex = "0123456789ABCDEF";
    const std::size_t n = payload.size() / 2;
    std::string count{hex[(n >> 4) & 15], hex[n & 15]};
    return "I_C_" + std::to_string(channel) + ":MLAN " + std::to_string(payload.size() + 2) + ", \"" + count +
           payload + "\"";
}

} // namespace testing_support
