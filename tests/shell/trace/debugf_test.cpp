#include "shell/trace/debugf.h"
#include "platform/base/scopedhook.h"
#include "tests/support/qtapp.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {


class TraceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }
    shell::TraceHost host;
    platform::ScopedHook<core::TraceSink*> sink{&core::setTraceSink, &host};
    void TearDown() override { core::setTraceOn(false); }
};

TEST_F(TraceTest, TraceOnlyWhileOnLogAlways)
{
    core::setTraceOn(false);
    core::Tracewindow("hidden");
    EXPECT_EQ(host.window(), nullptr);
    core::logTracewindow("mixer");
    ASSERT_NE(host.window(), nullptr);
    EXPECT_FALSE(host.window()->isVisible());
    host.setTrace(true);
    EXPECT_TRUE(host.window()->isVisible());
    core::Tracewindow("a");
    core::Tracewindow("");
    core::Tracewindow("b");
    EXPECT_EQ(host.window()->text(), "mixer\r\na\r\n\r\nb\r\n");
    EXPECT_EQ(host.window()->Text1->textCursor().position(), host.window()->Text1->toPlainText().size());
}

TEST_F(TraceTest, SwitchingOffDiscardsText)
{
    host.setTrace(true);
    core::Tracewindow("x");
    host.setTrace(false);
    EXPECT_EQ(host.window(), nullptr);
    host.setTrace(true);
    EXPECT_EQ(host.window()->text(), "");
}

TEST_F(TraceTest, CloseBoxSwitchesTraceOff)
{
    bool unticked = false;
    host.onUserClosed = [&] { unticked = true; };
    host.setTrace(true);
    host.window()->close();
    EXPECT_TRUE(unticked);
    EXPECT_FALSE(core::traceOn());
    QCoreApplication::processEvents();
    EXPECT_EQ(host.window(), nullptr);
    core::Tracewindow("silent");
    EXPECT_EQ(host.window(), nullptr);
}

TEST_F(TraceTest, ClearCreatesHiddenEmpty)
{
    host.clear();
    ASSERT_NE(host.window(), nullptr);
    EXPECT_EQ(host.window()->text(), "");
    EXPECT_FALSE(host.window()->isVisible());
    EXPECT_EQ(host.window()->windowTitle(), "Tedsmith - Debug trace");
}

} // namespace
