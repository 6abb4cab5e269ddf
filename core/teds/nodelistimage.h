#pragma once
// The node-list image: how a multi-node transducer stores the ids of its other nodes in
// the memory of one of them. One codec for every reader and writer (the TEDS window's
// display and reading, the node-list generator, the request server's check).
//
// TEDS bytes, numbered from 1: byte 1 = 01h, byte 2 = 00h, byte 3 = N, the number of
// nodes of the transducer including the one that holds the list; then 8 bytes per
// further node, node k (k from 0) in bytes 4 + 8k .. 11 + 8k in 1-Wire ROM order
// (family code first, CRC byte last); every other byte up to the image size is FFh.
// The id text is the reverse: CRC byte first, family code last, 16 upper-case digits.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace core {

constexpr int kNodeListHeaderBytes = 3;
constexpr int kNodeListIdBytes = 8;

// Ids an image of size bytes can hold.
int nodeListCapacity(int size);

// The 8 bytes of an id text in stored order: byte j is characters 15 - 2j and 16 - 2j
// (1-based) read as a hexadecimal number from their leading hex digits; a pair without
// one, or beyond the end of a short text, gives 00h.
std::vector<std::uint8_t> nodeIdToListBytes(const std::string& id);
// The id text of 8 stored bytes (the last stored byte first).
std::string listBytesToNodeId(std::span<const std::uint8_t> eight);

// The image of size bytes for ids, as Bytes[1 .. size] (index 0 unused). Returns false
// and leaves image empty when the ids do not fit.
bool encodeNodeList(const std::vector<std::string>& ids, int size, std::vector<std::uint8_t>& image);

struct DecodedNodeList {
    bool header = false;            // bytes 1 and 2 are 01h, 00h
    int count = 0;                  // byte 3: nodes of the transducer, holder included
    std::vector<std::string> ids;   // the further nodes' ids, in stored order, as many as the image holds
    bool truncated = false;         // byte 3 names more ids than the image (or the caller's limit) holds
};

// Reads bytes (Bytes[1 .. size], index 0 unused). maxIds limits the ids taken
// (negative: no limit beyond the image).
DecodedNodeList decodeNodeList(std::span<const std::uint8_t> bytes, int size, int maxIds = -1);

} // namespace core
