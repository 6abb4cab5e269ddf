#pragma once
// A far end for the in-memory port: echoes every character after a delay and
// answers complete lines (or the raw text so far) through a callback.

#include "sim/serial/memoryserialport.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace testing_support {

class ScriptedDevice final : public platform::SerialDevice {
public:
    using Micros = platform::Micros;
    // Answer for the text received since the last LF (called after every character);
    // "" = nothing (yet).
    std::function<std::string(const std::string& lineSoFar, bool complete)> answer;
    bool echo = true;
    Micros echoDelay{1000};
    Micros replyDelay{2000};
    Micros charInterval{0}; // between the characters of an answer
    std::string received;   // everything the host sent

    void hostWrote(const std::string& bytes, platform::TimePoint at) override
    {
        for (char c : bytes) {
            received += c;
            if (echo)
                queue(std::string(1, c), at + echoDelay);
            const bool complete = c == '\n';
            line_ += c;
            if (answer) {
                const std::string a = answer(complete ? line_.substr(0, line_.size() - 1) : line_, complete);
                if (!a.empty()) {
                    queue(a, at + replyDelay);
                    line_.clear();
                }
            }
            if (complete)
                line_.clear();
        }
    }

    std::string sentBy(platform::TimePoint now) override
    {
        std::string out;
        while (!out_.empty() && out_.front().first <= now) {
            out += out_.front().second;
            out_.pop_front();
        }
        return out;
    }

private:
    void queue(const std::string& text, platform::TimePoint at)
    {
        platform::TimePoint t = at;
        if (!out_.empty() && out_.back().first > t)
            t = out_.back().first;
        for (char c : text) {
            out_.emplace_back(t, c);
            t += charInterval;
        }
    }

    std::string line_;
    std::deque<std::pair<platform::TimePoint, char>> out_;
};

} // namespace testing_support
