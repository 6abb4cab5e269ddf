#pragma once
// Line tokenizers: each returns the next piece of a data-file line and leaves the
// rest in the text it was given. Their separator quirks decide how every data file
// is read, so they are kept exactly. Each comes twice: on a std::string, and on a view
// whose start moves on (what a reader of a whole file uses, without copying its lines).

#include <stdexcept>
#include <string>
#include <string_view>

namespace core {

// A quoted text without its closing quote, or a separator past the 255th character.
struct TokenError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Text before the first occurrence of separator; the remainder starts at it, minus a
// run of one-character separators (the text's last character is always kept). Without
// separator: the whole text, and text becomes "".
std::string NextToken(const std::string& separator, std::string& text);
std::string_view NextToken(std::string_view separator, std::string_view& text);

// Drops text up to the first double quote, returns what lies before the next one, and
// leaves what follows it without leading blanks and commas. Throws TokenError.
std::string QuotedText(std::string& text);
std::string_view QuotedText(std::string_view& text);

// Drops leading blanks; returns the text before the first blank or comma and removes that
// separator. Throws TokenError.
std::string NextWord(std::string& text);
std::string_view NextWord(std::string_view& text);

// Drops leading blanks; returns the text before the first comma and removes it.
// Throws TokenError.
std::string NextCommaItem(std::string& text);
std::string_view NextCommaItem(std::string_view& text);

} // namespace core
