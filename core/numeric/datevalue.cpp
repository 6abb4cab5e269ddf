#include "core/numeric/datevalue.h"

namespace core::numeric {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days since 1970-01-01 of a proleptic Gregorian date.
long daysFromCivil(long y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), m, d};
}

const long kSerialBase = daysFromCivil(1899, 12, 30);

std::string twoDigits(int v)
{
    std::string s = std::to_string(v % 100);
    return s.size() < 2 ? "0" + s : s;
}

} // namespace

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

bool isValidDate(int year, int month, int day)
{
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

int dateSerial(const CivilDate& d) { return static_cast<int>(daysFromCivil(d.year, d.month, d.day) - kSerialBase); }

CivilDate dateFromSerial(int serial) { return civilFromDays(serial + kSerialBase); }

std::string monthName(int month, bool abbreviated)
{
    if (month < 1 || month > 12)
        return {};
    std::string name = kMonths[month - 1];
    return abbreviated ? name.substr(0, 3) : name;
}

std::string formatDate(const CivilDate& d, std::string_view pattern)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '"') {
            const std::size_t end = pattern.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
            out.append(pattern.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < pattern.size())
                out.push_back(pattern[i + 1]);
            i += 2;
            continue;
        }
        const char lc = lower(c);
        if (lc != 'd' && lc != 'm' && lc != 'y') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (i + n < pattern.size() && lower(pattern[i + n]) == lc)
            ++n;
        i += n;
        if (lc == 'd') {
            const int weekday = static_cast<int>(((dateSerial(d) % 7) + 7 + 6) % 7);  // day 0 was a Saturday
            if (n == 1)
                out.append(std::to_string(d.day));
            else if (n == 2)
                out.append(twoDigits(d.day));
            else if (n == 3)
                out.append(std::string(kDays[weekday]).substr(0, 3));
            else
                out.append(kDays[weekday]);
        } else if (lc == 'm') {
            if (n == 1)
                out.append(std::to_string(d.month));
            else if (n == 2)
                out.append(twoDigits(d.month));
            else
                out.append(monthName(d.month, n == 3));
        } else {
            if (n == 1)
                out.append(std::to_string(dateSerial(d) - dateSerial({d.year, 1, 1}) + 1));
            else if (n <= 3)
                out.append(twoDigits(d.year));
            else {
                std::string y = std::to_string(d.year);
                if (y.size() < 4)
                    y.insert(0, 4 - y.size(), '0');
                out.append(y);
            }
        }
    }
    return out;
}

} // namespace core::numeric
