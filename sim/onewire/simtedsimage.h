#pragma once
// TEDS memory files as node contents: reads the TEDS bytes of a .tds file and packs
// them into a node's memory the way the memory drivers lay a TEDS out (pages led by a
// checksum byte; the 40-byte DS2430A image with its application register).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

struct TedsFileImage {
    std::vector<std::uint8_t> bytes;  // TEDS bytes 1.. (496, FFh where the file ends)
    bool draftLayout = false;         // "IEEE P1451.4": page 1 keeps 8 bytes free
};

// false when the text is not a TEDS memory file.
bool readTedsFile(const std::string& text, TedsFileImage& out);

struct PackedTeds {
    std::vector<std::uint8_t> memory;                      // from address 0
    std::optional<std::array<std::uint8_t, 8>> appRegister; // DS2430A 40-byte layout: locked register
};

// nullopt for a family that holds no TEDS.
std::optional<PackedTeds> packTeds(std::uint8_t family, const std::vector<std::uint8_t>& bytes, bool draftLayout);

} // namespace platform::sim
