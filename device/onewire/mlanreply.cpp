#include "device/onewire/mlanreply.h"

#include <cctype>

namespace device {

namespace {

int pairValue(const std::string& s, std::size_t pos)
{
    if (pos + 2 > s.size())
        return -1;
    int v = 0;
    for (std::size_t k = pos; k < pos + 2; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[k]);
        if (!std::isxdigit(c))
            return -1;
        v = v * 16 + (std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    return v;
}

} // namespace

MlanReply::MlanReply(std::string reply) : text(std::move(reply))
{
    const auto q = text.find('"');
    if (q == std::string::npos)
        return;
    quoted = true;
    const auto end = text.find('"', q + 1);
    closed = end != std::string::npos;
    hex = text.substr(q + 1, closed ? end - q - 1 : std::string::npos);
}

int MlanReply::byteAt(std::size_t k) const { return pairValue(hex, 2 * k); }

int MlanReply::lastByte() const
{
    if (hex.size() < 2)
        return -1;
    return pairValue(hex, hex.size() - 2);
}

std::string MlanReply::from(std::size_t k) const
{
    return 2 * k < hex.size() ? hex.substr(2 * k) : std::string();
}

} // namespace device
