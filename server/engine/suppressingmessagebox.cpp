#include "server/engine/suppressingmessagebox.h"

namespace server {

int declineAnswer(int buttons)
{
    switch (buttons & 7) {
    case platform::MsgOkCancel:
    case platform::MsgYesNoCancel:
    case platform::MsgRetryCancel:
        return platform::MsgCancel;
    case platform::MsgAbortRetryIgnore:
        return platform::MsgAbort;
    case platform::MsgYesNo:
        return platform::MsgNo;
    default:
        return platform::MsgOK;
    }
}

int SuppressingMessageBox::show(const std::string& prompt, int buttons, const std::string& title)
{
    if (!server_.suppressing())
        return inner_.show(prompt, buttons, title);
    server_.addLog(title.empty() ? "MsgBox suppressed: " + prompt : "MsgBox suppressed: " + title + ", " + prompt);
    return declineAnswer(buttons);
}

} // namespace server
