// A scoped hook puts back what its hook held before, for set...() entry points and for
// slots alike, and nested handles unwind in reverse.
#include "platform/base/scopedhook.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

int* current = nullptr;
std::vector<int*> calls;
void setCurrent(int* p)
{
    current = p;
    calls.push_back(p);
}

class ScopedHookTest : public ::testing::Test {
protected:
    ScopedHookTest()
    {
        current = nullptr;
        calls.clear();
    }
};

TEST_F(ScopedHookTest, AnEntryPointGetsTheValueThenWhatItHeldBefore)
{
    int a = 1, b = 2, outer = 3;
    {
        platform::ScopedHook<int*> plain(&setCurrent, &a);
        EXPECT_EQ(current, &a);
    }
    EXPECT_EQ(current, nullptr);
    current = &outer;
    {
        platform::ScopedHook<int*> withPrevious(&setCurrent, &b, current);
        EXPECT_EQ(current, &b);
    }
    EXPECT_EQ(current, &outer);
    EXPECT_EQ(calls, (std::vector<int*>{&a, nullptr, &b, &outer}));
}

TEST_F(ScopedHookTest, ASlotGetsItsOwnOldValueBack)
{
    std::function<std::string()> slot = [] { return std::string("old"); };
    {
        platform::ScopedHook<std::function<std::string()>> hook(slot, [] { return std::string("new"); });
        EXPECT_EQ(slot(), "new");
    }
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot(), "old");

    std::function<void()> empty;
    {
        platform::ScopedHook<std::function<void()>> hook(empty, [] {});
        EXPECT_TRUE(empty);
    }
    EXPECT_FALSE(empty);
}

TEST_F(ScopedHookTest, NestedHandlesUnwindInReverse)
{
    int a = 1, b = 2;
    int* slot = nullptr;
    {
        platform::ScopedHook<int*> first(slot, &a);
        {
            platform::ScopedHook<int*> second(slot, &b);
            EXPECT_EQ(slot, &b);
        }
        EXPECT_EQ(slot, &a);
    }
    EXPECT_EQ(slot, nullptr);
}

} // namespace
