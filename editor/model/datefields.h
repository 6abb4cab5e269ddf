#pragma once
// DATE fields: day counts from 1 January 1998 (DateEpoch), shown as "mmmm d, yyyy" with
// the month name of the system language, read back in that language or in English, and
// the strict day-month-year reading of request texts.

#include <optional>
#include <string>

namespace editor {

// Leap year of the Gregorian calendar.
bool Skudaar(long year);
// Days of the year: 366 or 365.
int Antal_dage(long year);

// "dd-mm-yyyy" (any character at positions 3 and 6) as a day count from 1 January 1998;
// 0 when refused. A text that is not 10 characters long and a day outside its month are
// reported; a year outside 1998 .. 2176 or a month outside 1 .. 12 give 0 quietly.
// *refused (when given) tells a refusal from 1 January 1998.
long T_server_CalDateValue(const std::string& text, bool* refused = nullptr);

// The display text of day count days (0 is 1 January 1998): "January 1, 1998" in
// English, the month name of the system language otherwise.
std::string dateFieldText(long days);

// The day count of a typed date (system language, English, or the numeric forms), or
// nullopt when the text is no date. Dates before 1 January 1998 give a negative count.
std::optional<long> dateFieldDays(const std::string& text);

} // namespace editor
