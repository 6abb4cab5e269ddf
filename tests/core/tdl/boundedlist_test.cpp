#include "core/tdl/boundedlist.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every index below the limit works as in a fixed array; only what was written is stored.
TEST(BoundedList, StoresOnlyUpToTheHighestIndexWritten)
{
    core::BoundedList<std::string, 4> list;
    const auto& view = list;
    EXPECT_EQ(view[3], "");
    EXPECT_EQ(list.stored(), 0u);  // reading stores nothing

    list[2] = "c";
    EXPECT_EQ(list.stored(), 3u);
    EXPECT_EQ(view[0], "");
    EXPECT_EQ(view[2], "c");
    EXPECT_EQ(view[3], "");
    int seen = 0;
    for (const auto& s : view)
        seen += s.empty() ? 0 : 1;
    EXPECT_EQ(seen, 1);

    list.clear();
    EXPECT_EQ(list.stored(), 0u);
    EXPECT_EQ(view[2], "");
}

TEST(BoundedList, AnIndexAtTheLimitOrBeyondThrows)
{
    core::BoundedList<int, 4> list;
    const auto& view = list;
    EXPECT_THROW(list[4] = 1, std::out_of_range);
    EXPECT_THROW((void)view[4], std::out_of_range);
    EXPECT_THROW(list[static_cast<std::size_t>(-1)] = 1, std::out_of_range);
    EXPECT_EQ(list.stored(), 0u);
}

} // namespace
