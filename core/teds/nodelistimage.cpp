#include "core/teds/nodelistimage.h"

#include "core/base/message.h"

#include <algorithm>
#include <cctype>

namespace core {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Value of the leading hex digits of a pair of characters (0 when none).
std::uint8_t pairValue(const std::string& pair)
{
    int v = 0;
    for (char c : pair) {
        const int d = hexDigit(c);
        if (d < 0)
            break;
        v = v * 16 + d;
    }
    return static_cast<std::uint8_t>(v);
}

} // namespace

int nodeListCapacity(int size) { return size < kNodeListHeaderBytes ? 0 : (size - kNodeListHeaderBytes) / kNodeListIdBytes; }

std::vector<std::uint8_t> nodeIdToListBytes(const std::string& id)
{
    std::vector<std::uint8_t> out(kNodeListIdBytes, 0);
    for (int j = 0; j < kNodeListIdBytes; ++j) {
        const std::size_t first = static_cast<std::size_t>(14 - 2 * j);  // 0-based character 15 - 2j
        std::string pair;
        if (first < id.size())
            pair = id.substr(first, 2);
        out[static_cast<std::size_t>(j)] = pairValue(pair);
    }
    return out;
}

std::string listBytesToNodeId(std::span<const std::uint8_t> eight)
{
    std::string id;
    for (int j = static_cast<int>(eight.size()) - 1; j >= 0; --j)
        id += ByteToHex2(eight[static_cast<std::size_t>(j)]);
    return id;
}

bool encodeNodeList(const std::vector<std::string>& ids, int size, std::vector<std::uint8_t>& image)
{
    image.clear();
    if (size < kNodeListHeaderBytes || static_cast<int>(ids.size()) > nodeListCapacity(size) || ids.size() + 1 > 255)
        return false;
    image.assign(static_cast<std::size_t>(size) + 1, 0xFF);
    image[0] = 0;
    image[1] = 0x01;
    image[2] = 0x00;
    image[3] = static_cast<std::uint8_t>(ids.size() + 1);
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const auto b = nodeIdToListBytes(ids[k]);
        std::copy(b.begin(), b.end(), image.begin() + static_cast<long>(4 + 8 * k));
    }
    return true;
}

DecodedNodeList decodeNodeList(std::span<const std::uint8_t> bytes, int size, int maxIds)
{
    DecodedNodeList d;
    size = std::min(size, static_cast<int>(bytes.size()) - 1);
    if (size < kNodeListHeaderBytes)
        return d;
    d.header = bytes[1] == 0x01 && bytes[2] == 0x00;
    d.count = bytes[3];
    const int wanted = std::max(d.count - 1, 0);
    int room = nodeListCapacity(size);
    if (maxIds >= 0)
        room = std::min(room, maxIds);
    const int taken = std::min(wanted, room);
    d.truncated = wanted > taken;
    for (int k = 0; k < taken; ++k)
        d.ids.push_back(listBytesToNodeId(bytes.subspan(static_cast<std::size_t>(4 + 8 * k), kNodeListIdBytes)));
    return d;
}

} // namespace core
