#pragma once
// Trace lines. The shell's trace window registers the sink; without one, lines go
// nowhere (tests keep them in a MemoryTrace, tests/kit/memorytrace.h).

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

class ScopedTrace {
public:
    explicit ScopedTrace(TraceSink& s, bool on = true);
    ~ScopedTrace();
    ScopedTrace(const ScopedTrace&) = delete;
    ScopedTrace& operator=(const ScopedTrace&) = delete;

private:
    bool wasOn_;
};

// The "QT-8061: ..." start-up lines to the debugger output, each followed by the
// line "QT-8061:  ".
void debugTrace(const std::string& text);

} // namespace core
