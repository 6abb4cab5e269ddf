#include "core/validation/encryption.h"

#include "platform/base/onewirecrc.h"

#include "core/base/message.h"
#include "core/base/trace.h"

#include <stdexcept>

namespace core {

namespace {

const char* const kCrLf = "\r\n";


void functionError(const std::string& name, const std::string& extra, const std::string& description)
{
    ShowMessage("Error in Function '" + name + "'" + kCrLf + kCrLf + extra + "Error: " + description);
}

} // namespace

const std::string& KeyK88()
{
    static const std::string k = "M0XvqZjxTW3xvboSRt5Mh3dAwVtRMflhbmuaptt0Azn0DNRUQxA71p2Td8VKqxryo1nIj7BRd03Q2ybv097SHzxg";
    return k;
}

const std::string& KeyK52()
{
    static const std::string k = "QA6TCvY4d hKMlRdZQ9QsTXUuSnH6av1Ib8pp1xxXHU0BScJXj67";
    return k;
}

unsigned char AsciiVal(const std::string& text)
{
    if (text.empty()) {
        debugTrace("QT-8061: Error in Function 'AsciiVal'");
        debugTrace("QT-8061: Error: empty text");
        return 0;
    }
    return static_cast<unsigned char>(text[0]);
}

std::string XorChar(const std::string& text, const std::string& key, int pos)
{
    if (pos < 1 || static_cast<std::size_t>(pos) > text.size() || static_cast<std::size_t>(pos) > key.size()) {
        functionError("XorChar", "", "Invalid procedure call or argument");
        return "";
    }
    const auto i = static_cast<std::size_t>(pos - 1);
    const unsigned a = static_cast<unsigned char>(text[i]);
    const unsigned b = static_cast<unsigned char>(key[i]);
    return std::string(1, static_cast<char>((a ^ b) & 0xFFu));
}

std::string Encrypting(const std::string& text, std::string& key)
{
    if (key.empty()) {
        ShowMessage("Encryption key missing");
        return "";
    }
    try {
        while (key.size() < text.size())
            key += key;
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            out += XorChar(text, key, static_cast<int>(i + 1));
        return out;
    } catch (const std::exception& e) {
        functionError("Encrypting", "Org = " + text + kCrLf + "Key = " + key + kCrLf, e.what());
        return "";
    }
}

std::string HexToText(const std::string& hex)
{
    std::string out;
    out.reserve(hex.size() / 2 + 1);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned v = 0;
        for (std::size_t j = i; j < i + 2 && j < hex.size(); ++j) {
            const int d = platform::hexDigitValue(hex[j]);
            if (d < 0)
                throw std::invalid_argument("Type mismatch");
            v = v * 16 + static_cast<unsigned>(d);
        }
        out.push_back(static_cast<char>(v));
    }
    return out;
}

std::string TextToHex(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text)
        out += ByteToHex2(static_cast<unsigned char>(c));
    return out;
}

std::string Decrypt2(const std::string& hex)
{
    try {
        const std::string s = HexToText(hex);
        const std::size_t half = s.size() / 2;
        std::string key = KeyK88();
        std::string a = Encrypting(s.substr(0, half), key);
        return Encrypting(s.substr(half), a);
    } catch (const std::exception& e) {
        functionError("Decrypt2", "", e.what());
        return "";
    }
}

std::string MakeValidationCode(const std::string& text, const std::string& seed)
{
    std::string key = KeyK88();
    const std::string a = Encrypting(seed.substr(0, text.size()), key);
    std::string key2 = a;
    return a + Encrypting(text, key2);
}

} // namespace core
