#include "tests/kit/scriptedmessagebox.h"

namespace platform {

int ScriptedMessageBox::show(const std::string& prompt, int buttons, const std::string& title)
{
    shown.push_back({prompt, buttons, title});
    if (answers.empty())
        return defaultAnswer(buttons);
    const int a = answers.front();
    answers.pop_front();
    return a;
}

std::vector<std::string> ScriptedMessageBox::prompts() const
{
    std::vector<std::string> out;
    for (const auto& m : shown)
        out.push_back(m.prompt);
    return out;
}

} // namespace platform
