#pragma once
// Where the pieces of the request engine write their lines: the server's activity log.
// RequestEngine implements it (the same addLog that logs a suppressed message).

#include <string>

namespace server {

class ActivityLog {
public:
    virtual ~ActivityLog() = default;
    // One or more lines (CR LF between them) at the end of the log.
    virtual void addLog(const std::string& text) = 0;
};

} // namespace server
