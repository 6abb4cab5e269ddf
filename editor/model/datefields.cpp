#include "editor/model/datefields.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/codecs/datetext.h"
#include "core/numeric/datevalue.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>

namespace editor {

namespace {

constexpr std::array<int, 12> kDaysBefore = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

void wrongFormat(const std::string& text)
{
    core::ShowMessage("Wrong date format: " + text + "\r\n\r\nShall be like this: 'dd-mm-yyyy'", 0, "");
}

// Two or four digits at text[at ..] as a number; -1 when one of them is no digit.
int digits(const std::string& text, std::size_t at, std::size_t count)
{
    int v = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

// Month name of the system language as Windows-1252 bytes; the English one when that
// language's name has letters the field's text cannot hold (Cyrillic, Greek, CJK, ...),
// so the date still reads and reads back.
std::string localMonthName(int month, QLocale::FormatType form)
{
    const QString name = QLocale().monthName(month, form);
    const bool latin1 = std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c.unicode() >= 0x20 && c.unicode() < 0x7F) || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF);
    });
    if (name.isEmpty() || !latin1)
        return core::numeric::monthName(month, form == QLocale::ShortFormat);
    return name.toLatin1().toStdString();
}

} // namespace

bool Skudaar(long year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

int Antal_dage(long year) { return Skudaar(year) ? 366 : 365; }

long T_server_CalDateValue(const std::string& text, bool* refused)
{
    if (refused)
        *refused = true;
    if (text.size() != 10) {
        wrongFormat(text);
        return 0;
    }
    const int day = digits(text, 0, 2);
    const int month = digits(text, 3, 2);
    const int year = digits(text, 6, 4);
    if (day < 0 || month < 0 || year < 0) {
        wrongFormat(text);
        return 0;
    }
    if (year > 2176 || year < 1998 || month > 12 || month < 1)
        return 0;
    static constexpr std::array<int, 12> length = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = (month == 2 && Skudaar(year)) ? 29 : length[static_cast<std::size_t>(month - 1)];
    if (day > last || day < 1) {
        core::ShowMessage("Error in date (day is too big) !", 0, "");
        return 0;
    }
    if (refused)
        *refused = false;
    long count = 0;
    for (long y = 1998; y < year; ++y)
        count += Antal_dage(y);
    if (Skudaar(year) && month > 2)
        ++count;
    return count + kDaysBefore[static_cast<std::size_t>(month - 1)] + day - 1;
}

std::string dateFieldText(long days)
{
    constexpr long kLastSerial = 2958465;  // 31 December 9999
    if (days < 0 || days > kLastSerial - core::coreState().DateEpoch)
        return std::to_string(days);  // beyond the calendar: the day count itself
    const auto d = core::numeric::dateFromSerial(static_cast<int>(core::coreState().DateEpoch + days));
    return localMonthName(d.month, QLocale::LongFormat) + " " + std::to_string(d.day) + ", " + std::to_string(d.year);
}

std::optional<long> dateFieldDays(const std::string& text)
{
    // A month name of the system language becomes the English one the date reader knows.
    std::string t = text;
    const QString q = QString::fromLatin1(text.c_str());
    for (int m = 1; m <= 12; ++m) {
        bool replaced = false;
        for (auto form : {QLocale::LongFormat, QLocale::ShortFormat}) {
            QString name = QLocale().monthName(m, form);
            if (name.endsWith('.'))
                name.chop(1);
            if (name.isEmpty())
                continue;
            const auto at = q.indexOf(name, 0, Qt::CaseInsensitive);
            if (at < 0)
                continue;
            // Only a whole word: the letters around it must not be letters.
            const bool before = at == 0 || !q[at - 1].isLetter();
            const auto end = at + name.size();
            const bool after = end >= q.size() || !q[end].isLetter();
            if (!before || !after)
                continue;
            t = text.substr(0, static_cast<std::size_t>(at)) + core::numeric::monthName(m) +
                text.substr(static_cast<std::size_t>(end));
            replaced = true;
            break;
        }
        if (replaced)
            break;
    }
    core::numeric::CivilDate d;
    if (!core::ParseDateText(t, d))
        return std::nullopt;
    return static_cast<long>(core::numeric::dateSerial(d)) - core::coreState().DateEpoch;
}

} // namespace editor
