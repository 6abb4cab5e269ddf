#pragma once
// Calendar dates as the platform counts them: a date is a day number from
// 30 December 1899 (day 0); 1 January 1998 is day 35796.

#include <string>
#include <string_view>

namespace core::numeric {

struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

int daysInMonth(int year, int month);
// Year 100 .. 9999, month 1 .. 12, day inside the month.
bool isValidDate(int year, int month, int day);

// Day number of a date (any proleptic Gregorian date) and back.
int dateSerial(const CivilDate& d);
CivilDate dateFromSerial(int serial);

// English month name, 1 .. 12 ("" otherwise); three-letter form with abbreviated.
std::string monthName(int month, bool abbreviated = false);

// Date pattern formatting: "d" "dd" day, "ddd" "dddd" weekday name, "m" "mm" month,
// "mmm" "mmmm" month name, "yy" two-digit and "yyyy" four-digit year, "y" day of the
// year, "\" the next character literally, "..." literal text, others themselves.
// "mmmm d, yyyy" gives "May 27, 2006"; "dd-mm-yyyy" gives "27-05-2006".
std::string formatDate(const CivilDate& d, std::string_view pattern);

} // namespace core::numeric
