#pragma once
// What the request server's own window shows of the engine: the poll timer, the activity
// log, the focus, and the window's own message boxes. T_server implements it; the engine
// tells it every change and asks it nothing.

#include <string>

namespace server {

class ServerView {
public:
    virtual ~ServerView() = default;

    // The poll timer's state or interval changed.
    virtual void pollTimerChanged(bool enabled, int intervalMs) = 0;
    // Text (one or more lines) was appended to the activity log / the log was emptied.
    virtual void logAppended(const std::string& text) = 0;
    virtual void logCleared() = 0;
    // The server window takes the focus back (called while the main window is shown).
    virtual void takeFocus() = 0;
    // A message box of the server window itself: shown even while messages are suppressed.
    virtual void ownMessage(const std::string& text) = 0;
};

} // namespace server
