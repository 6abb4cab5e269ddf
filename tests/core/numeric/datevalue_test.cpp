#include "core/numeric/datevalue.h"

#include <gtest/gtest.h>

namespace n = core::numeric;

TEST(DateValue, DayNumbers)
{
    EXPECT_EQ(n::dateSerial({1899, 12, 30}), 0);
    EXPECT_EQ(n::dateSerial({1998, 1, 1}), 35796);
    EXPECT_EQ(n::dateSerial({1999, 1, 2}), 35796 + 366);
    EXPECT_EQ(n::dateSerial({2099, 12, 31}), 35796 + 37254);
    EXPECT_EQ(n::dateSerial({1899, 12, 29}), -1);
    for (int s = -1000; s < 80000; s += 37) {
        const n::CivilDate d = n::dateFromSerial(s);
        EXPECT_TRUE(n::isValidDate(d.year, d.month, d.day));
        EXPECT_EQ(n::dateSerial(d), s);
    }
}

TEST(DateValue, Validity)
{
    EXPECT_TRUE(n::isValidDate(2004, 2, 29));
    EXPECT_FALSE(n::isValidDate(1900, 2, 29));
    EXPECT_TRUE(n::isValidDate(2000, 2, 29));
    EXPECT_FALSE(n::isValidDate(2006, 27, 5));
    EXPECT_FALSE(n::isValidDate(2006, 4, 31));
    EXPECT_FALSE(n::isValidDate(99, 1, 1));
    EXPECT_FALSE(n::isValidDate(2006, 1, 0));
}

TEST(DateValue, Patterns)
{
    const n::CivilDate d{2006, 5, 27};
    EXPECT_EQ(n::formatDate(d, "mmmm d, yyyy"), "May 27, 2006");
    EXPECT_EQ(n::formatDate({1998, 1, 1}, "mmmm d, yyyy"), "January 1, 1998");
    EXPECT_EQ(n::formatDate(d, "dd-mm-yyyy"), "27-05-2006");
    EXPECT_EQ(n::formatDate({2006, 5, 7}, "mm-dd, yyyy"), "05-07, 2006");
    EXPECT_EQ(n::formatDate(d, "ddd dddd mmm yy"), "Sat Saturday May 06");
    EXPECT_EQ(n::formatDate(d, "y"), "147");
    EXPECT_EQ(n::formatDate(d, "\"day\" d"), "day 27");
    EXPECT_EQ(n::formatDate({999, 3, 4}, "yyyy"), "0999");
}
