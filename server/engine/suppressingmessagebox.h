#pragma once
// The message boxes that windows show directly (not through ShowMessage) while the
// request server is enabled: nobody is at the screen, so none is shown. Each is logged
// as ShowMessage logs it and answered as a user who does not agree would: Cancel (No,
// Abort) for a question, OK for a notice. Installed in front of the program's box.

#include "core/base/message.h"
#include "platform/base/messagebox.h"

namespace server {

// The answer to a direct box nobody can see: the button that does nothing.
int declineAnswer(int buttons);

class SuppressingMessageBox final : public platform::MessageBoxService {
public:
    // inner: the box shown otherwise. Both are kept by the caller.
    SuppressingMessageBox(platform::MessageBoxService& inner, core::MessageSuppressor& server)
        : inner_(inner), server_(server)
    {
    }
    int show(const std::string& prompt, int buttons, const std::string& title) override;
    // The box behind this one (the server's own messages are always shown).
    platform::MessageBoxService& inner() { return inner_; }

private:
    platform::MessageBoxService& inner_;
    core::MessageSuppressor& server_;
};

} // namespace server
