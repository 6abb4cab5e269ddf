#include "device/onewire/tmexerror.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/state/devicelayer.h"
#include "platform/base/messagebox.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"

#include <gtest/gtest.h>

using namespace device;

TEST(TmexErrorText, WholeTable)
{
    const std::pair<int, const char*> rows[] = {
        {0, ""},
        {-1, "(-1)    PORT_NOT_INITIALIZED - Specified MicroLan has not been initialized with a call to the TMSetup function."},
        {-2, "(-2)    PORT_NOT_EXIST - Specified MicroLan nonexistent."},
        {-3, "(-3)    NO_SUCH_FUNCTION - Function not supported."},
        {-200, "(-200)  INVALID_SESSION - session not valid (not applicable in DOS TMEX)"},
        {-201, "(-201)  HS_NOT_FOUND - Hardware_Specific driver not found and is required."},
        {1, "unknown error"},
        {-4, "unknown error"},
        {-202, "unknown error"},
    };
    for (auto [code, text] : rows)
        EXPECT_EQ(TMEX_Error_Text(code), text) << code;
}

TEST(ReportSessionError, MessageLinesAndOnceOnly)
{
    testing_support::FreshState<resetDeviceLayer> fresh;
    deviceState().PortNum = 3;
    deviceState().PortType = 5;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox(box);
    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace(trace);

    Report_Session_Error(-5);
    Report_Session_Error(-200);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error accessing the microLAN\r\n\r\nPortNum = 3\r\nPortType = 5\r\n");
    EXPECT_EQ(box.shown[0].buttons, 16);
    EXPECT_EQ(box.shown[0].title, "");
    EXPECT_EQ(trace.lines, std::vector<std::string>{"Error accessing the microLAN"});
    EXPECT_TRUE(deviceState().SessionError);

    deviceState().SessionError = 0;
    Report_Session_Error(-200);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].prompt,
              "Error accessing the microLAN\r\nSession not valid, TMEX session error code -200\r\nPortNum = 3\r\nPortType = 5\r\n");
}
