#pragma once
// Message boxes go through this one service, so tests can answer them and read
// what was shown (tests/kit/scriptedmessagebox.h). Texts are Windows-1252 bytes.

#include "platform/base/scopedhook.h"

#include <string>

namespace platform {

// Answers, as a message box returns them.
enum MsgAnswer : int { MsgOK = 1, MsgCancel = 2, MsgAbort = 3, MsgRetry = 4, MsgIgnore = 5, MsgYes = 6, MsgNo = 7 };

// Style word: low 3 bits the button set, plus an icon.
enum MsgStyle : int {
    MsgOkOnly = 0, MsgOkCancel = 1, MsgAbortRetryIgnore = 2, MsgYesNoCancel = 3, MsgYesNo = 4, MsgRetryCancel = 5,
    MsgCritical = 16, MsgQuestion = 32, MsgExclamation = 48, MsgInformation = 64,
};

// The first (default) button of a style's button set.
int defaultAnswer(int buttons);
// The answer given when nobody can be asked: OK for OK sets, Yes for Yes/No sets, and the
// button that stops for the sets without either (Abort, Cancel), so nothing retries for ever.
int unattendedAnswer(int buttons);
// True when answer is one of the buttons of the style's set.
bool answerInSet(int buttons, int answer);

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int show(const std::string& prompt, int buttons, const std::string& title) = 0;
};

// The service in force. Without one set, messages go to stderr and get the default button.
MessageBoxService& messageBox();
void setMessageBox(MessageBoxService* s);

class ScopedMessageBox : ScopedHook<MessageBoxService*> {
public:
    explicit ScopedMessageBox(MessageBoxService& s) : ScopedHook(&setMessageBox, &s) {}
};

} // namespace platform
