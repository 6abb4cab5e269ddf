#pragma once
// The amplifier's ":MLAN?" reply in its plain form: a decimal character count, a
// comma, a double quote, hex digits, a closing double quote. Positions are taken
// relative to the first double quote, so a short count field or a short reply does
// not shift them.

#include <string>

namespace device {

struct MlanReply {
    std::string text;  // the reply as received
    bool quoted = false;  // a double quote was found
    std::string hex;   // the characters after the first quote, up to the next one (or the end)
    bool closed = false;  // the hex digits end with a double quote

    explicit MlanReply(std::string reply);

    bool empty() const { return text.empty(); }
    // The k-th byte after the quote (0 = the first), -1 when the reply does not hold it
    // or the pair is no hex number.
    int byteAt(std::size_t k) const;
    // The last byte before the closing quote, -1 when there is none.
    int lastByte() const;
    // The hex characters from byte k on (empty when the reply is shorter).
    std::string from(std::size_t k) const;
};

} // namespace device
