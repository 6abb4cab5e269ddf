#pragma once
// One TEDS image: the node's raw memory as read, the TEDS bytes and the same content
// as bits (least significant bit first within each byte).
//
// TEDS bit address a is bit a % 8 of Bytes[a / 8 + 1]; Bytes[0] is not used.
// Bits and Bytes 1 .. Size hold the same content: every field writer (core/teds
// bitfields, the codecs) writes both, so neither can lose a field on its way to a node,
// a file or a dump. Code that fills one array wholesale calls BytesToBits / BitsToBytes.
// Invariants kept by the callers: Bytes.size() == Size + 1, Bits.size() >= 8 * Size,
// RawImage.size() == RawSize + 1 (RawSize is the last index of RawImage).

#include <cstdint>
#include <string>
#include <vector>

namespace core {

// TedsBuf::Status values.
enum TedsStatus : int {
    TedsStatusNotRead = 1,
    TedsStatusReadError = 2,
    TedsStatusReadOk = 3,
    TedsStatusCrcError = 4,
    TedsStatusVirgin = 5,
};

// Manufacturer ids of IEEE 1451.4 take 14 bits and run from 17 to 16381 (1 marks a node list).
constexpr int kTedsManufacturerIdLast = 16381;

struct TedsBuf {
    std::vector<std::uint8_t> RawImage;  // node memory as last read, page checksums included
    bool ReadOK = false;                 // RawImage holds what was read from the node
    int RawSize = -1;                    // last index of RawImage
    std::vector<std::uint8_t> Bytes;     // TEDS byte i is Bytes[i], i = 1 .. Size
    std::vector<bool> Bits;              // bit (i - 1) * 8 + k is bit k of Bytes[i]
    int Size = 0;                        // usable TEDS bytes
    std::string id;                      // node id (16 hex digits)
    bool DraftLayout = false;            // layout of the preliminary standard ("IEEE P1451.4")
    int TemplateIndex = -1;              // matching template in the template library
    int Family = 0;                      // family code of the node
    int Status = TedsStatusNotRead;

    // Size := size; Bytes and Bits sized for it (new bytes fill, new bits cleared;
    // existing bytes and bits kept).
    void dimension(int size, std::uint8_t fill = 0);
    // Number of bits the image holds.
    int bitCount() const { return static_cast<int>(Bits.size()); }
    // True when bits first .. first + count - 1 lie inside Bits (count <= 0: always).
    bool holdsBits(int first, int count) const;
};

// Bits of bytes 1 .. Size from Bytes (Bits grows to 8 * Size when shorter).
void BytesToBits(TedsBuf& tb);
// Bytes 1 .. Size from Bits (bits the image does not hold count as 0).
void BitsToBytes(TedsBuf& tb);

// destination gets source's Bytes, Bits, id, Size, RawImage, RawSize and ReadOK;
// its DraftLayout, TemplateIndex, Family and Status stay.
void CopyTeds(const TedsBuf& source, TedsBuf& destination);

} // namespace core
