#include "platform/base/messagebox.h"

#include <cstdio>

namespace platform {

namespace {

class StderrMessageBox final : public MessageBoxService {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override
    {
        std::fprintf(stderr, "[message%s%s] %s\n", title.empty() ? "" : ": ", title.c_str(), prompt.c_str());
        return unattendedAnswer(buttons);
    }
};

StderrMessageBox stderrBox;
MessageBoxService* current = nullptr;

} // namespace

int defaultAnswer(int buttons)
{
    switch (buttons & 7) {
    case MsgAbortRetryIgnore: return MsgAbort;
    case MsgYesNoCancel:
    case MsgYesNo: return MsgYes;
    case MsgRetryCancel: return MsgRetry;
    default: return MsgOK;
    }
}

int unattendedAnswer(int buttons)
{
    switch (buttons & 7) {
    case MsgAbortRetryIgnore: return MsgAbort;
    case MsgYesNoCancel:
    case MsgYesNo: return MsgYes;
    case MsgRetryCancel: return MsgCancel;
    default: return MsgOK;
    }
}

bool answerInSet(int buttons, int answer)
{
    switch (buttons & 7) {
    case MsgOkOnly: return answer == MsgOK;
    case MsgOkCancel: return answer == MsgOK || answer == MsgCancel;
    case MsgAbortRetryIgnore: return answer == MsgAbort || answer == MsgRetry || answer == MsgIgnore;
    case MsgYesNoCancel: return answer == MsgYes || answer == MsgNo || answer == MsgCancel;
    case MsgYesNo: return answer == MsgYes || answer == MsgNo;
    case MsgRetryCancel: return answer == MsgRetry || answer == MsgCancel;
    default: return false;
    }
}

MessageBoxService& messageBox() { return current ? *current : stderrBox; }
void setMessageBox(MessageBoxService* s) { current = s; }

} // namespace platform
