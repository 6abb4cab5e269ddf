#include "core/base/textfile.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

// Any line end ends a line; a last line end adds no empty line. Views and strings agree.
TEST(TextFile, LinesAtEveryKindOfLineEnd)
{
    struct Row {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
        {"\n\r", {"", ""}},
        {"\r\r\n\n", {"", "", ""}},
        {"x\ry\rz\r", {"x", "y", "z"}},
        {"x\ny\nz", {"x", "y", "z"}},
        {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(core::splitLines(r.bytes), r.lines) << r.bytes;
        const auto views = core::splitLineViews(r.bytes);
        EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), r.lines) << r.bytes;
    }
    // One kind of line end throughout, many lines.
    for (const char* end : {"\r", "\n", "\r\n"}) {
        std::string bytes;
        for (int i = 0; i < 5000; ++i)
            bytes += std::to_string(i) + end;
        const auto views = core::splitLineViews(bytes);
        ASSERT_EQ(views.size(), 5000u);
        EXPECT_EQ(views[4321], "4321");
    }
}

TEST(TextFile, UpperEqualsComparesWithoutRegardToCase)
{
    EXPECT_TRUE(core::upperEquals("Template", "TEMPLATE"));
    EXPECT_TRUE(core::upperEquals("", ""));
    EXPECT_FALSE(core::upperEquals("TEMPLATES", "TEMPLATE"));
    EXPECT_FALSE(core::upperEquals("template", "template"));  // the name is upper case
    EXPECT_FALSE(core::upperEquals("\xe9", "\xc9"));            // letters a to z only
}

} // namespace
