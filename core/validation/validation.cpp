#include "core/validation/validation.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/validation/checksums.h"
#include "core/validation/encryption.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>
#include <stdexcept>
#include <vector>

namespace core {

namespace {

struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Sums {
    std::int64_t sum1 = 0;
    std::int64_t sum2 = 0;
};

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && s[0] == prefix[0] && s.substr(0, prefix.size()) == prefix;
}

// Text after the line's first blank (the whole line when it has none).
std::string afterFirstBlank(std::string_view line)
{
    const auto p = line.find(' ');
    return std::string(p == std::string_view::npos ? line : line.substr(p + 1));
}

template <class Lines>
Sums checksums(const Lines& lines, std::size_t end)
{
    Checksums c;
    for (std::size_t i = 0; i < end; ++i)
        c.add(lines[i]);
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::uint64_t sum1 = c.sum1(), sum2 = c.sum2();
    if (sum1 > kMax || sum2 > kMax)
        throw FileError("Overflow");
    return {static_cast<std::int64_t>(sum1), static_cast<std::int64_t>(sum2)};
}

// A decimal whole number with optional blanks and sign, as a 32-bit integer.
std::optional<std::int64_t> wholeNumber(const std::string& text)
{
    std::size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    while (n > i && text[n - 1] == ' ')
        --n;
    bool neg = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        neg = text[i++] == '-';
    if (i == n || n - i > 10)
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return neg ? -v : v;
}

} // namespace

const std::string& SupportAddress()
{
    static const std::string a = "support@morvelund.example";
    return a;
}

namespace {

// The check on lines (std::string or std::string_view) the caller read, or on the file
// read here (std::string lines).
template <class Line>
bool validate(const std::filesystem::path& path, const std::vector<Line>* given, bool Create, bool WriteSecondKey,
              int& Score)
{
    if (coreState().JapaneseWindows) {
        Score = 1;
        return true;
    }
    Score = 0;
    try {
        std::string error;
        std::optional<std::vector<Line>> read;
        if (!given) {
            if constexpr (std::is_same_v<Line, std::string>)
                read = readLines(path, &error);
            if (!read)
                throw FileError("File not found: " + error);
        }
        const std::vector<Line>* lines = given ? given : &*read;

        std::size_t first = 0;
        while (first < lines->size() && !startsWith((*lines)[first], "Validation_"))
            ++first;
        const Sums sums = checksums(*lines, first);

        std::string storedKey, storedSecond;
        if (first < lines->size()) {
            if (startsWith((*lines)[first], "Validation_keycode"))
                storedKey = afterFirstBlank((*lines)[first]);
            for (std::size_t i = first + 1; i < lines->size(); ++i)
                if (startsWith((*lines)[i], "Validation_key_ZQ"))
                    storedSecond = afterFirstBlank((*lines)[i]);
        }

        const std::string sum1Text = std::to_string(sums.sum1);
        const std::string sum2Text = std::to_string(sums.sum2);
        const std::string expected = TextToHex(MakeValidationCode(sum2Text, KeyK52()));

        if (Create) {
            std::vector<std::string> out(lines->begin(), lines->begin() + static_cast<std::ptrdiff_t>(first));
            out.push_back("Validation_keycode " + sum1Text);
            if (WriteSecondKey)
                out.push_back("Validation_key_ZQ " + expected);
            if (!writeFileAtomic(path, joinCrLf(out), &error))
                throw FileError(error);
            // The file now holds only what was written.
            storedSecond = WriteSecondKey ? expected : std::string();
        }

        if (storedKey == sum1Text)
            Score += 2;
        if (storedSecond.empty())
            return false;
        std::string key = KeyK88();
        const auto value = wholeNumber(Encrypting(Decrypt2(storedSecond), key));
        if (!value || *value < std::numeric_limits<std::int32_t>::min() || *value > std::numeric_limits<std::int32_t>::max())
            throw FileError("Type mismatch");
        if (*value == sums.sum2) {
            Score += 1;
            return true;
        }
        return false;
    } catch (const std::exception& e) {
        ShowMessage("Error in file: " + path.string() + ", please report to " + SupportAddress());
        Tracewindow(std::string("Error in validate file: ") + e.what());
        return false;
    }
}

} // namespace

bool ValidateFile(const std::filesystem::path& path, bool Create, bool WriteSecondKey, int& Score)
{
    return validate<std::string>(path, nullptr, Create, WriteSecondKey, Score);
}

bool ValidateFileLines(const std::filesystem::path& path, const std::vector<std::string>& lines, int& Score)
{
    return validate(path, &lines, false, false, Score);
}

bool ValidateFileLines(const std::filesystem::path& path, const std::vector<std::string_view>& lines, int& Score)
{
    return validate(path, &lines, false, false, Score);
}

bool ValidateFile(const std::filesystem::path& path, bool Create, bool WriteSecondKey)
{
    int score = 0;
    return ValidateFile(path, Create, WriteSecondKey, score);
}

} // namespace core
