#include "core/codecs/datetext.h"

#include <gtest/gtest.h>

using core::numeric::CivilDate;

TEST(DateText, Readings)
{
    struct Row {
        const char* text;
        CivilDate date;
    };
    const Row rows[] = {
        {"20060527", {2006, 5, 27}},
        {"20062705", {2006, 5, 27}},  // second reading: day before month
        {"20060527 and more", {2006, 5, 27}},
        {"2006-05-27", {2006, 5, 27}},
        {"2006/5/7", {2006, 5, 7}},
        {"27-05-2006", {2006, 5, 27}},
        {"27.05.2006", {2006, 5, 27}},
        {"05-27-2006", {2006, 5, 27}},  // only the month-first reading is a date
        {"05-06-2006", {2006, 6, 5}},   // day first when both are
        {"May 27, 2006", {2006, 5, 27}},
        {" may 27 2006 ", {2006, 5, 27}},
        {"27 May 2006", {2006, 5, 27}},
        {"27-may-2006", {2006, 5, 27}},
        {"January 1, 1998", {1998, 1, 1}},
        {"Sep 3, 2010", {2010, 9, 3}},
        {"2006-May-27", {2006, 5, 27}},
        {"27-05-06", {2006, 5, 27}},
        {"1-1-30", {1930, 1, 1}},
        {"29-02-2004", {2004, 2, 29}},
    };
    for (const Row& r : rows) {
        CivilDate d{1, 1, 1};
        EXPECT_TRUE(core::ParseDateText(r.text, d)) << r.text;
        EXPECT_EQ(d, r.date) << r.text;
    }
}

TEST(DateText, NotDates)
{
    for (const char* text : {"2006", "", "abc", "20061313", "2006052", "29-02-2005", "32-01-2006", "May 2006",
                             "27-05", "Mai 27, 2006", "27/05/2006 12:00", "2006-05-27x", "2006052x", "13-13-2006"}) {
        CivilDate d{1, 2, 3};
        EXPECT_FALSE(core::ParseDateText(text, d)) << text;
        EXPECT_EQ(d, (CivilDate{1, 2, 3})) << text;
    }
}

TEST(DateText, EveryShownDateReadsBack)
{
    // The editor's forms, for every day a 16-bit DATE field can hold.
    for (int days = 0; days < 65536; days += 7) {
        const CivilDate d = core::numeric::dateFromSerial(35796 + days);
        for (const char* pattern : {"mmmm d, yyyy", "dd-mm-yyyy", "yyyy-mm-dd", "yyyymmdd"}) {
            CivilDate back;
            const std::string text = core::numeric::formatDate(d, pattern);
            ASSERT_TRUE(core::ParseDateText(text, back)) << text;
            ASSERT_EQ(back, d) << text;
        }
    }
}
