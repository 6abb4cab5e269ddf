#pragma once
// Trace lines. The program makes the shell's trace window the sink; without one, lines go
// nowhere (tests keep them in a MemoryTrace, tests/kit/memorytrace.h).

#include "platform/base/scopedhook.h"

#include <string>

namespace core {

class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void append(const std::string& line) = 0;
};
void setTraceSink(TraceSink* s);

// Appends a line while the trace is on (Debug > Trace).
void Tracewindow(const std::string& line);
// Appends a line whether the trace is on or not.
void logTracewindow(const std::string& line);

bool traceOn();
void setTraceOn(bool on);

// Makes s the sink and sets the trace on or off for the lifetime of the object; then
// no sink, and the trace as it was.
class ScopedTrace : platform::ScopedHook<TraceSink*> {
public:
    explicit ScopedTrace(TraceSink& s, bool on = true) : ScopedHook(&setTraceSink, &s), wasOn_(traceOn())
    {
        setTraceOn(on);
    }
    ~ScopedTrace() { setTraceOn(wasOn_); }

private:
    bool wasOn_;
};

// The "QT-8061: ..." start-up lines to the debugger output, each followed by the
// line "QT-8061:  ".
void debugTrace(const std::string& text);

} // namespace core
