#include "core/base/trace.h"

#include "platform/base/system.h"

namespace core {

namespace {
TraceSink* sink = nullptr;
bool on = false;
} // namespace

void setTraceSink(TraceSink* s) { sink = s; }
bool traceOn() { return on; }
void setTraceOn(bool v) { on = v; }

void logTracewindow(const std::string& line)
{
    if (sink)
        sink->append(line);
}

void Tracewindow(const std::string& line)
{
    if (on)
        logTracewindow(line);
}

void debugTrace(const std::string& text)
{
    platform::debugOutput(text + "\r\n");
    platform::debugOutput("QT-8061:  \r\n");
}

} // namespace core
