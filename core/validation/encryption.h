#pragma once
// Repeating-key XOR routines and hex text helpers of the validation lines.
// Characters are taken by their byte codes 0..255.

#include <string>

namespace core {

// The built-in keys: 88 letters and digits; 52 characters with one blank.
const std::string& KeyK88();
const std::string& KeyK52();

// Code of the first character; 0 for an empty text.
unsigned char AsciiVal(const std::string& text);
// The character code(text at pos) xor code(key at pos), pos 1-based; "" after a
// message when pos lies outside either text.
std::string XorChar(const std::string& text, const std::string& key, int pos);
// Xor of text with key repeated; key is lengthened in place (doubled) until it is at
// least as long as text. Applying it twice gives text back. An empty key: message, "".
std::string Encrypting(const std::string& text, std::string& key);
// Every pair of hex digits becomes one character. Throws std::invalid_argument on a
// character that is not a hex digit.
std::string HexToText(const std::string& hex);
// Every character as two upper-case hex digits.
std::string TextToHex(const std::string& text);
// Deciphers a hex text made by TextToHex(MakeValidationCode(...)); "" after a message
// when it is not hex text.
std::string Decrypt2(const std::string& hex);
// Seed-keyed code, twice as long as text.
std::string MakeValidationCode(const std::string& text, const std::string& seed);

} // namespace core
