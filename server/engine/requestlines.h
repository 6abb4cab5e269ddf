#pragma once
// The lines of a request file and the poll time text, taken apart without any file or
// window: tag lines ("%name[index]=\"value\""), keyword lines (keyword, one blank or
// comma, parameter) and the poll interval typed into the server window.

#include <optional>
#include <string>

namespace server {

inline constexpr const char* kRequestVersionLine = "T-block server request file version 1.0.0";

struct TagLine {
    std::string name;   // between "%" and "=" (without the index)
    std::string index;  // "[2]"-style, brackets included; "" when none
    std::string value;  // between the first pair of double quotes after "="
    bool noValue = false;  // nothing follows the "="
};

// A line starting with "%". nullopt when it has no "=".
std::optional<TagLine> parseTagLine(const std::string& line);

struct KeywordLine {
    std::string keyword;    // upper case
    std::string parameter;  // everything after the one separator, unchanged
};

// Leading blanks skipped; the keyword runs to the first blank or comma.
KeywordLine parseKeywordLine(const std::string& line);

// The family code a FAMILY parameter gives: its leading number, whole; a number beyond
// any family code (1e300, -1e300, NaN) gives 0, a code of no device.
long familyCode(const std::string& parameter);

// The device name of a family code: the chip of the switch and memory families of the
// family table ("DS2406", "DS2430A", "DS2433", "DS2431"); "" for any other code.
std::string deviceNameOfFamily(long family);
// The family code of a device name: a switch or memory chip of the family table, exact
// and case-sensitive, "DS2430" read as "DS2430A"; -1 for any other name.
long familyOfDeviceName(const std::string& name);

// Poll interval committed from the box's text: seconds ("," or "." as decimal mark),
// in milliseconds, rounded, within 100 .. 65535.
int committedPollInterval(const std::string& text);
// The text the box shows for an interval: seconds with one decimal ("0.1", "65.5").
std::string pollTimeText(int intervalMs);
// The interval while typing: applied only when 1 .. 65535 ms; nullopt otherwise.
std::optional<int> typedPollInterval(const std::string& text);

} // namespace server
