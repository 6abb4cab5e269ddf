#pragma once
// Reading a typed date.

#include "core/numeric/datevalue.h"

#include <string>

namespace core {

// True and the date in result when text is a date:
// - a general date: ISO "2006-05-27" (also with "/" or "."), day-month-year
//   "27-05-2006" (month-day-year when that is the only valid reading), or with a
//   month name: "May 27, 2006", "27 May 2006", "27-May-2006" (full or three-letter
//   English names, any letter case); two-digit years are 1930 .. 2029;
// - eight digits first (more characters are ignored): yyyymmdd, else yyyyddmm.
// Otherwise false and result unchanged.
bool ParseDateText(const std::string& text, numeric::CivilDate& result);

} // namespace core
