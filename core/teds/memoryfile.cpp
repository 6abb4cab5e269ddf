#include "core/teds/memoryfile.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/numeric/numberrules.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace core {

namespace {

constexpr int kFileBytes = kMemoryFileBytes;
// A memory file is three header lines and at most 496 values, about 3 KB as written; room
// for decimal values, blanks and a few spare lines. A larger file is no memory file and
// is refused without being read further.
constexpr std::size_t kMaxFileSize = 16 * 1024;
constexpr const char* kCrLf = "\r\n";
const char* const kFormat10 = "Memory Fileformat 1.0";
const char* const kFormat11 = "Memory Fileformat 1.1";
const char* const kFormat12 = "Memory Fileformat 1.2";
const char* const kStandard = "IEEE 1451.4";
const char* const kDraftStandard = "IEEE P1451.4";

SaveValidationGate* validationGate = nullptr;

void reportError(const std::string& sub, const std::string& description)
{
    ShowMessage("Error in Sub '" + sub + "'" + kCrLf + kCrLf + "Error: " + description, 16, "");
}

// The free-format values of a memory file: separated by line ends and commas, each
// remembering its line for messages. Empty lines hold no value.
struct Value {
    std::string text;
    int line = 0;  // 1-based
};

std::vector<Value> valuesFrom(const std::vector<std::string>& lines, std::size_t first)
{
    std::vector<Value> out;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (trim(lines[i]).empty())
            continue;
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = lines[i].find(',', start);
            const std::size_t end = comma == std::string::npos ? lines[i].size() : comma;
            out.push_back({trim(lines[i].substr(start, end - start)), static_cast<int>(i) + 1});
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    return out;
}

std::optional<int> byteValue(const std::string& text)
{
    const auto v = numeric::parseNumber(text, false);
    if (!v || *v != std::floor(*v) || *v < 0 || *v > 255)
        return std::nullopt;
    return static_cast<int>(*v);
}

struct ParsedFile {
    std::optional<std::string> id;  // formats 1.1 and 1.2
    bool draft = true;
    std::vector<std::uint8_t> bytes;
};

// The whole file checked; nullopt after reporting what is wrong.
std::optional<ParsedFile> parseMemoryFile(const std::vector<std::string>& lines, const std::string& path)
{
    const std::string first = lines.empty() ? std::string() : lines[0];
    const bool headerless = first.rfind("&H", 0) == 0;
    if (first != kFormat10 && first != kFormat11 && first != kFormat12 && !headerless) {
        ShowMessage("Unknown fileformat", 0, "");
        return std::nullopt;
    }
    auto pastEnd = [&]() {
        reportError("LoadMemoryFile", path + ": input past end of file");
        return std::nullopt;
    };
    ParsedFile f;
    std::size_t valueLine = 0;
    int headerNumbers = 0;  // numbers before the bytes: the standard flag and an ignored one
    if (first == kFormat12) {
        if (lines.size() < 3)
            return pastEnd();
        f.id = lines[1];
        f.draft = lines[2] == kDraftStandard;
        valueLine = 3;
    } else if (first == kFormat11) {
        if (lines.size() < 2)
            return pastEnd();
        f.id = lines[1];
        valueLine = 2;
        headerNumbers = 2;
    } else if (first == kFormat10) {
        valueLine = 1;
        headerNumbers = 2;
    } else {
        valueLine = 0;
        headerNumbers = 1;  // the first line is a number that is not a data byte
    }

    const std::vector<Value> values = valuesFrom(lines, valueLine);
    if (static_cast<int>(values.size()) < headerNumbers)
        return pastEnd();
    for (int k = 0; k < headerNumbers; ++k) {
        const auto v = numeric::parseNumber(values[static_cast<std::size_t>(k)].text, false);
        if (!v) {
            reportError("LoadMemoryFile", path + ", line " + std::to_string(values[static_cast<std::size_t>(k)].line) +
                                              ": \"" + values[static_cast<std::size_t>(k)].text + "\" is not a number");
            return std::nullopt;
        }
        if (k == 0 && first != kFormat12 && !headerless)
            f.draft = !(*v > 0);
    }
    for (std::size_t k = static_cast<std::size_t>(headerNumbers); k < values.size(); ++k) {
        if (f.bytes.size() == kFileBytes)
            break;
        const auto b = byteValue(values[k].text);
        if (!b) {
            reportError("LoadMemoryFile", path + ", line " + std::to_string(values[k].line) + ": \"" + values[k].text +
                                              "\" is not a byte value");
            return std::nullopt;
        }
        f.bytes.push_back(static_cast<std::uint8_t>(*b));
    }
    return f;
}

void appendBit(std::string& text, const TedsBuf& image, int i)
{
    if (i >= 0 && i < 8 * image.Size && i < image.bitCount())
        text.push_back(image.Bits[static_cast<std::size_t>(i)] ? '1' : '0');
}

// Bits first .. bitCount - 1 in lines of 64 (counting the leading 8-bit checksum mark).
void appendMemoryBits(std::string& text, const TedsBuf& image, int first, int bitCount)
{
    for (int i = first; i < bitCount; ++i) {
        const int j = i + 8;
        if (j % 64 == 0)
            text += kCrLf;
        else if (j % 8 == 0)
            text += "  ";
        appendBit(text, image, i);
    }
}

} // namespace

void setSaveValidationGate(SaveValidationGate* gate) { validationGate = gate; }

bool SaveMemoryFile(const TedsBuf& image, const std::filesystem::path& path)
{
    if (validationGate && !validationGate->filesValidated(image)) {
        ShowMessage("Validation of files failed, please validate, and try again", 0, "");
        return false;
    }
    std::vector<std::string> lines{kFormat12, image.id, image.DraftLayout ? kDraftStandard : kStandard};
    const int last = std::min(image.Size, static_cast<int>(image.Bytes.size()) - 1);
    for (int i = 1; i <= last; ++i)
        lines.push_back("&H" + ByteToHex2(image.Bytes[static_cast<std::size_t>(i)]));
    std::string error;
    if (!writeFileAtomic(path, joinCrLf(lines), &error)) {
        reportError("SaveMemoryFile", error);
        return false;
    }
    return true;
}

bool LoadMemoryFile(TedsBuf& image, const std::filesystem::path& path)
{
    std::string error;
    const auto bytes = readFileHead(path, kMaxFileSize, &error);
    if (!bytes) {
        reportError("LoadMemoryFile", error);
        return false;
    }
    if (bytes->size() > kMaxFileSize) {
        ShowMessage(path.string() + " is no TEDS memory file: it holds more than " + std::to_string(kMaxFileSize) +
                        " bytes. Nothing was loaded.",
                    0, "");
        return false;
    }
    const auto parsed = parseMemoryFile(splitLines(*bytes), path.string());
    if (!parsed)
        return false;
    if (parsed->id)
        image.id = *parsed->id;
    image.DraftLayout = parsed->draft;
    image.ReadOK = false;
    image.Size = kFileBytes;
    image.Bytes.assign(kFileBytes + 1, 0xFF);
    image.Bytes[0] = 0;
    for (std::size_t k = 0; k < parsed->bytes.size(); ++k)
        image.Bytes[k + 1] = parsed->bytes[k];
    image.Bits.assign(8 * kFileBytes + 1, false);
    BytesToBits(image);
    return true;
}

std::string memoryDump(const std::string& title, const TedsBuf& image, int bitCount, bool withRom)
{
    std::string text = title + kCrLf;
    if (!withRom) {
        text += std::string(kCrLf) + "Memory data (LSB first):" + kCrLf;
        if (bitCount > 0)
            text += "[8 bit Crc]";
        appendMemoryBits(text, image, 0, bitCount);
        return text;
    }
    text += std::string(kCrLf) + "Rom data (64 bit, LSB first):" + kCrLf;
    for (int i = 0; i < 64; ++i) {
        if (i > 0 && i % 8 == 0)
            text += "  ";
        appendBit(text, image, i);
    }
    text += std::string(kCrLf) + kCrLf + "Memory data (8 bit Crc + " + std::to_string(bitCount - 64) +
            " bit data, LSB first):" + kCrLf + "[8 bit Crc]";
    appendMemoryBits(text, image, 64, bitCount);
    return text;
}

void MemoryDumpText(const std::string& title, const TedsBuf& image, int bitCount, bool withRom)
{
    const std::string text = memoryDump(title, image, bitCount, withRom);
    ShowMessage(text, 0, "");
    Tracewindow(text);
}

} // namespace core
