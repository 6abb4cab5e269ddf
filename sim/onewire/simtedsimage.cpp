#include "sim/onewire/simtedsimage.h"

#include <charconv>
#include <sstream>

namespace platform::sim {

namespace {

constexpr std::size_t kTedsFileBytes = 496;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::string cur;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

std::string trim(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return "";
    const auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// "&Hxx" or decimal.
std::optional<long> number(const std::string& raw)
{
    const std::string s = trim(raw);
    long v = 0;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    int base = 10;
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        first += 2;
        base = 16;
    }
    const auto r = std::from_chars(first, last, v, base);
    if (r.ec != std::errc() || r.ptr != last || first == last)
        return std::nullopt;
    return v;
}

void setPageChecksums(std::vector<std::uint8_t>& data, std::size_t pages, std::size_t pageSize)
{
    for (std::size_t p = 0; p < pages; ++p) {
        unsigned sum = 0;
        for (std::size_t i = 1; i < pageSize; ++i)
            sum += data[p * pageSize + i];
        data[p * pageSize] = static_cast<std::uint8_t>((256 - (sum % 256)) % 256);
    }
}

} // namespace

bool readTedsFile(const std::string& text, TedsFileImage& out)
{
    const auto ls = lines(text);
    if (ls.empty())
        return false;
    const std::string first = ls[0];
    std::size_t dataLine = 0;
    bool draft = true;
    if (first == "Memory Fileformat 1.2") {
        if (ls.size() < 3)
            return false;
        draft = ls[2] == "IEEE P1451.4";
        dataLine = 3;
    } else if (first == "Memory Fileformat 1.1" || first == "Memory Fileformat 1.0") {
        const std::size_t flagLine = first.back() == '1' ? 2 : 1;
        if (ls.size() <= flagLine + 1)
            return false;
        const auto standard = number(ls[flagLine]);
        draft = !(standard && *standard > 0);
        dataLine = flagLine + 2;
    } else if (first.size() >= 2 && first[0] == '&' && (first[1] == 'H' || first[1] == 'h')) {
        dataLine = 1;
    } else {
        return false;
    }
    out.draftLayout = draft;
    out.bytes.clear();
    for (std::size_t i = dataLine; i < ls.size() && out.bytes.size() < kTedsFileBytes; ++i) {
        std::istringstream parts(ls[i]);
        std::string item;
        while (std::getline(parts, item, ',') && out.bytes.size() < kTedsFileBytes) {
            if (trim(item).empty())
                continue;
            const auto v = number(item);
            if (!v || *v < 0 || *v > 255)
                return false;
            out.bytes.push_back(static_cast<std::uint8_t>(*v));
        }
    }
    out.bytes.resize(kTedsFileBytes, 0xFF);
    return true;
}

std::optional<PackedTeds> packTeds(std::uint8_t family, const std::vector<std::uint8_t>& bytes, bool draftLayout)
{
    auto byteAt = [&](std::size_t i) -> std::uint8_t { return i < bytes.size() ? bytes[i] : 0xFF; };
    PackedTeds out;
    if (family == 0x14) {
        if (draftLayout) {
            out.memory.assign(32, 0xFF);
            for (std::size_t i = 0; i < 31; ++i)
                out.memory[1 + i] = byteAt(i);
            setPageChecksums(out.memory, 1, 32);
            return out;
        }
        // 40 bytes: register, then the data memory led by the checksum of all 40.
        std::array<std::uint8_t, 8> reg{};
        unsigned sum = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            reg[i] = byteAt(i);
            sum += reg[i];
        }
        out.memory.assign(32, 0xFF);
        for (std::size_t i = 0; i < 31; ++i) {
            out.memory[1 + i] = byteAt(8 + i);
            sum += out.memory[1 + i];
        }
        out.memory[0] = static_cast<std::uint8_t>((256 - (sum % 256)) % 256);
        out.appRegister = reg;
        return out;
    }
    std::size_t pages = 0;
    if (family == 0x12 || family == 0x2D)
        pages = 4;
    else if (family == 0x23)
        pages = 16;
    else
        return std::nullopt;
    const std::size_t pageSize = 32;
    const std::size_t usable = pages * (pageSize - 1) - (draftLayout ? 8 : 0);
    out.memory.assign(pages * pageSize, 0xFF);
    std::size_t page = 0;
    std::size_t pos = draftLayout ? 9 : 1;  // 0-based byte within the page
    for (std::size_t i = 0; i < usable; ++i) {
        out.memory[page * pageSize + pos] = byteAt(i);
        if (pos == pageSize - 1) {
            ++page;
            pos = 1;
        } else {
            ++pos;
        }
    }
    setPageChecksums(out.memory, pages, pageSize);
    return out;
}

} // namespace platform::sim
