#include "tests/support/tedsnetwork.h"

#include "tests/support/testsupport.h"

#include <cstdio>
#include <sstream>
#include <vector>

namespace testing_support {

namespace {

constexpr int kPageSize = 32;
constexpr int kPages = 4;

// The TEDS bytes of a memory file: the "&Hxx" lines after its three header lines.
std::vector<unsigned> tedsBytes(const std::filesystem::path& tdsFile)
{
    std::istringstream in(readAll(tdsFile));
    std::string line;
    std::vector<unsigned> bytes;
    for (int n = 0; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (n >= 3 && line.rfind("&H", 0) == 0)
            bytes.push_back(static_cast<unsigned>(std::stoul(line.substr(2), nullptr, 16)));
    }
    return bytes;
}

} // namespace

std::string tedsNodesDescription(const std::filesystem::path& tdsFile, int count, long firstSerial,
                                 unsigned long long firstRom)
{
    const auto base = tedsBytes(tdsFile);
    std::string text;
    for (int i = 0; i < count; ++i) {
        auto teds = base;
        teds.resize(kPages * (kPageSize - 1), 0);
        const long serial = firstSerial + i;
        teds[5] = static_cast<unsigned>(serial & 0xFF);
        teds[6] = static_cast<unsigned>((serial >> 8) & 0xFF);
        teds[7] = static_cast<unsigned>((serial >> 16) & 0xFF);
        // Each page: its checksum byte, then 31 TEDS bytes.
        std::vector<unsigned> memory(kPages * kPageSize, 0);
        for (int p = 0; p < kPages; ++p) {
            unsigned sum = 0;
            for (int j = 1; j < kPageSize; ++j) {
                memory[static_cast<std::size_t>(p * kPageSize + j)] = teds[static_cast<std::size_t>(p * 31 + j - 1)];
                sum += teds[static_cast<std::size_t>(p * 31 + j - 1)];
            }
            memory[static_cast<std::size_t>(p * kPageSize)] = (256 - sum % 256) % 256;
        }
        char rom[32];
        std::snprintf(rom, sizeof rom, "%012llX", firstRom + static_cast<unsigned long long>(i));
        text += "node 2D:" + std::string(rom) + "\nmemory 0000";
        for (unsigned b : memory) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", b);
            text += hex;
        }
        text += "\n";
    }
    return text;
}

std::string nodeIdText(int family, std::uint64_t serial)
{
    std::uint8_t rom[8] = {static_cast<std::uint8_t>(family)};
    for (int i = 0; i < 6; ++i)
        rom[1 + i] = static_cast<std::uint8_t>(serial >> (8 * i));
    std::uint8_t crc = 0;
    for (int i = 0; i < 7; ++i) {
        std::uint8_t b = rom[i];
        for (int k = 0; k < 8; ++k) {
            const bool mix = ((crc ^ b) & 1) != 0;
            crc = static_cast<std::uint8_t>(crc >> 1);
            if (mix)
                crc ^= 0x8C;
            b = static_cast<std::uint8_t>(b >> 1);
        }
    }
    rom[7] = crc;
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string id;
    for (int i = 7; i >= 0; --i) {
        id += hex[rom[i] >> 4];
        id += hex[rom[i] & 15];
    }
    return id;
}

} // namespace testing_support
