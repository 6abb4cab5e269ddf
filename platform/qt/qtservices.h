#pragma once
// Qt implementations of the platform services: message box and event pump.

#include "platform/base/clock.h"
#include "platform/base/messagebox.h"

class QMessageBox;
class QString;

namespace platform {

// Puts a prompt into a message box so that every line that fits the box's widest size
// (as the box limits it on its screen) shows whole; only longer lines wrap. A plain
// box wraps any line past about half the screen.
void setMessageText(QMessageBox& box, const QString& prompt);

class QtMessageBox final : public MessageBoxService {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override;
};

// The Qt event pump for the clock service (the program hands it to setEventPump).
EventPump qtEventPump();

} // namespace platform
