#include "core/base/message.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

namespace {

struct FakeServer : core::MessageSuppressor {
    bool enabled = true;
    std::vector<std::string> log;
    bool suppressing() override { return enabled; }
    void addLog(const std::string& t) override { log.push_back(t); }
};

class MessageTest : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    FakeServer server;
    void TearDown() override { core::setMessageSuppressor(nullptr); }
};

TEST_F(MessageTest, ShownWhenNoServer)
{
    box.queue(platform::MsgCancel);
    EXPECT_EQ(core::ShowMessage("Hello", platform::MsgOkCancel, "T"), platform::MsgCancel);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Hello");
    EXPECT_EQ(box.shown[0].title, "T");
}

TEST_F(MessageTest, SuppressedWhileServerEnabled)
{
    core::setMessageSuppressor(&server);
    EXPECT_EQ(core::ShowMessage("Read failed", 16, "Tedsmith"), platform::MsgOK);
    EXPECT_EQ(core::ShowMessage("No title"), platform::MsgOK);
    EXPECT_EQ(core::ShowMessage("Sure?", platform::MsgYesNo), platform::MsgYes);
    EXPECT_EQ(core::ShowMessage("Retry?", platform::MsgAbortRetryIgnore), platform::MsgAbort);
    EXPECT_EQ(core::ShowMessage("Retry?", platform::MsgRetryCancel), platform::MsgCancel);
    EXPECT_TRUE(box.shown.empty());
    ASSERT_EQ(server.log.size(), 5u);
    EXPECT_EQ(server.log[0], "MsgBox suppressed: Tedsmith, Read failed");
    EXPECT_EQ(server.log[1], "MsgBox suppressed: No title");
    EXPECT_TRUE(core::MessagesSuppressed());
}

TEST_F(MessageTest, ShownAgainWhenServerDisabled)
{
    core::setMessageSuppressor(&server);
    server.enabled = false;
    core::ShowMessage("Visible");
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(server.log.empty());
}

TEST(Waits, DelayOnVirtualTime)
{
    platform::VirtualClock vc;
    platform::ScopedClock sc(vc);
    core::Delay(10000);
    EXPECT_GE(vc.elapsed(), platform::Millis(10000));
    EXPECT_LT(vc.elapsed(), platform::Millis(10010));
}

TEST(Waits, DeadlineStrictlyAfter)
{
    platform::VirtualClock vc;
    platform::ScopedClock sc(vc);
    auto d = core::MakeDeadline(1000);
    vc.advance(platform::Millis(1000));
    EXPECT_FALSE(core::DeadlinePassed(d));
    vc.advance(platform::Micros(1));
    EXPECT_TRUE(core::DeadlinePassed(d));
}

TEST(Waits, DelayAcrossMidnight)
{
    // Monotonic time: a wait that starts just before midnight ends after its length.
    platform::VirtualClock vc;
    vc.setTimeOfDay(86399.0);
    platform::ScopedClock sc(vc);
    const auto t0 = vc.now();
    core::Delay(2000);
    EXPECT_GE(vc.now() - t0, platform::Millis(2000));
    EXPECT_NEAR(vc.timeOfDay(), 1.0, 0.01);
}

TEST(Waits, ZeroAndNegativeReturnAtOnce)
{
    platform::VirtualClock vc;
    platform::ScopedClock sc(vc);
    core::Delay(0);
    core::Delay(-5);
    core::DelayUntil(vc.now() - platform::Millis(5000), 100);
    EXPECT_EQ(vc.elapsed(), platform::Micros(0));
}

TEST(SmallHelpers, ByteToHex2AndAddItem)
{
    EXPECT_EQ(core::ByteToHex2(0), "00");
    EXPECT_EQ(core::ByteToHex2(171), "AB");
    EXPECT_EQ(core::ByteToHex2(10), "0A");
    std::vector<std::string> l{"a"};
    core::AddItemIfMissing(l, "a");
    EXPECT_EQ(l.size(), 1u);
    core::AddItemIfMissing(l, "");
    EXPECT_EQ(l.size(), 2u);
    core::AddItemIfMissing(l, "A");
    EXPECT_EQ(l.size(), 3u);
}

} // namespace
