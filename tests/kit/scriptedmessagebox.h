#pragma once
// The message box of tests: installed with platform::ScopedMessageBox, it records every
// message and answers from a queue.

#include "platform/base/messagebox.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

struct ShownMessage {
    std::string prompt;
    int buttons = 0;
    std::string title;
};

// For tests: records every message and answers from a queue (the default button when empty).
class ScriptedMessageBox final : public MessageBoxService {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override;
    void queue(int answer) { answers.push_back(answer); }
    // Prompts shown so far.
    std::vector<std::string> prompts() const;
    void clear() { shown.clear(); answers.clear(); }

    std::deque<int> answers;
    std::vector<ShownMessage> shown;
};

} // namespace platform
