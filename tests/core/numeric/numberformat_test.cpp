#include "core/numeric/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>

using core::numeric::Format;

struct FormatRow {
    double value;
    const char* pattern;
    const char* text;
};

TEST(NumberFormat, Patterns)
{
    const FormatRow rows[] = {
        // digits always and when significant, decimal point
        {2.5, "0.00", "2.50"},
        {1.5, "0.0", "1.5"},
        {5, "0.00", "5.00"},
        {0.3, "0.0", "0.3"},
        {0.5, "#.##", ".5"},
        {2, "0.##", "2."},
        {2.5, "0.##", "2.5"},
        {1234.5, "0", "1235"},
        {7, "000", "007"},
        {0, "#", ""},
        {0, "0", "0"},
        {12345, "##", "12345"},
        // rounding: half away from zero on the 15-digit decimal
        {0.125, "0.00", "0.13"},
        {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"},
        {-2.5, "0", "-3"},
        {0.5, "0", "1"},
        {9.999, "0.00", "10.00"},
        {-0.001, "0.00", "0.00"},
        // grouping, scaling, percent, literals, sections
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {999, "#,##0", "999"},
        {1234567, "0,", "1235"},
        {0.256, "0.0%", "25.6%"},
        {1234, "00-00", "12-34"},
        {5, "0 \"V\"", "5 V"},
        {5, "\\#0", "#5"},
        {-5, "0;(0)", "(5)"},
        {0, "0;(0);\"zero\"", "zero"},
        {-5, "0;;", "-5"},
        // scientific
        {1.5, "0.0000000E-00", "1.5000000E00"},
        {0.00012345, "0.0000000E-00", "1.2345000E-04"},
        {-123456789, "0.0000000E-00", "-1.2345679E08"},
        {1e-15, "0.00E+00", "1.00E-15"},
        {12345, "0.00E+00", "1.23E+04"},
        {9.996, "0.00E+00", "1.00E+01"},
        {0, "0.00E+00", "0.00E+00"},
        {1234, "00.0E+0", "12.3E+2"},
        {1234, "0.0e-0", "1.2e3"},
        // named formats and the general form
        {1234.5, "Fixed", "1234.50"},
        {1234.5, "Standard", "1,234.50"},
        {0.5, "Percent", "50.00%"},
        {1234.5, "Scientific", "1.23E+03"},
        {2.5, "", "2.5"},
        {1e-6, "", "1E-06"},
        {2.5, "General Number", "2.5"},
    };
    for (const FormatRow& r : rows)
        EXPECT_EQ(Format(r.value, r.pattern), r.text) << r.value << " with " << r.pattern;
}

TEST(NumberFormat, NotFiniteValues)
{
    EXPECT_EQ(Format(std::nan(""), "0.00"), "NaN");
    EXPECT_EQ(Format(INFINITY, "0.00"), "Infinity");
    EXPECT_EQ(Format(-INFINITY, "0.00"), "-Infinity");
}
