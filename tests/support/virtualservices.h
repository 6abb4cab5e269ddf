#pragma once
// The services a window or device test replaces, installed for the object's life:
// virtual time, a scripted message box and a trace kept in memory (recording or not).
// A fixture derives from it and uses clock, box and trace as its own members. Header
// only: the tests that include it link the core libraries themselves.

#include "core/base/trace.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"

namespace testing_support {

struct VirtualServices {
    explicit VirtualServices(bool traceOn = true) : scopedTrace{trace, traceOn} {}

    platform::VirtualClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace;
};

} // namespace testing_support
