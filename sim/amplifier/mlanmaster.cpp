#include "sim/amplifier/mlanmaster.h"

#include "platform/base/onewirecrc.h"

namespace platform::sim {

namespace {

constexpr std::uint8_t kStatusOk = 0x00;
constexpr std::uint8_t kStatusNoFurther = 0x01;
constexpr std::uint8_t kStatusNoPresence = 0x04;
constexpr std::uint8_t kStatusUnsupported = 0xFE;
constexpr std::uint8_t kStatusMalformed = 0xFF;


std::optional<Micros> pullupLength(std::uint8_t code)
{
    switch (code) {
    case 0x80: return Micros(32000);
    case 0x81: return Micros(64000);
    case 0x82: return Micros(128000);
    case 0x83: return Micros(512000);
    case 0x84: return Micros(1024000);
    default: return std::nullopt;
    }
}

} // namespace

std::optional<Bytes> hexToBytes(const std::string& hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    Bytes out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = platform::hexDigitValue(hex[i]);
        const int lo = platform::hexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>((hi << 4) | lo));
    }
    return out;
}

std::string bytesToHex(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (auto b : bytes) {
        s += digits[(b >> 4) & 0x0F];
        s += digits[b & 0x0F];
    }
    return s;
}

void MlanMaster::newSearch()
{
    lastDiscrepancy_ = 0;
    lastNode_ = false;
}

bool MlanMaster::searchNext()
{
    if (lastNode_) {
        // The pass is complete; the next search starts again from the first node.
        newSearch();
        return false;
    }
    if (!net_->reset()) {
        newSearch();
        return false;
    }
    net_->touchByte(0xF0);
    std::array<std::uint8_t, 8> rom = rom_;
    int lastZero = 0;
    for (int bit = 1; bit <= 64; ++bit) {
        const int byteIndex = (bit - 1) / 8;
        const std::uint8_t mask = static_cast<std::uint8_t>(1u << ((bit - 1) % 8));
        const int idBit = net_->touchBit(1);
        const int cmpBit = net_->touchBit(1);
        if (idBit == 1 && cmpBit == 1) {
            newSearch();
            return false;
        }
        int direction;
        if (idBit != cmpBit) {
            direction = idBit;
        } else {
            if (bit < lastDiscrepancy_)
                direction = (rom[byteIndex] & mask) != 0 ? 1 : 0;
            else
                direction = bit == lastDiscrepancy_ ? 1 : 0;
            if (direction == 0)
                lastZero = bit;
        }
        if (direction)
            rom[byteIndex] = static_cast<std::uint8_t>(rom[byteIndex] | mask);
        else
            rom[byteIndex] = static_cast<std::uint8_t>(rom[byteIndex] & ~mask);
        net_->touchBit(direction);
    }
    if (crc8(rom.data(), rom.size()) != 0) {
        newSearch();
        return false;
    }
    rom_ = rom;
    lastDiscrepancy_ = lastZero;
    lastNode_ = lastZero == 0;
    return true;
}

bool MlanMaster::accessRegister()
{
    if (!net_->reset())
        return false;
    net_->touchByte(0x55);
    for (auto b : rom_)
        net_->touchByte(b);
    return true;
}

Bytes MlanMaster::run(const Bytes& p)
{
    Bytes rec;
    const bool single = mode_ == MasterMode::SingleNode;
    std::size_t i = 0;
    auto add = [&](std::uint8_t op, std::uint8_t status) {
        rec.push_back(op);
        rec.push_back(status);
    };
    while (i < p.size()) {
        const std::uint8_t op = p[i++];
        if (op == 0x85)
            break;
        if (single && (op == 0x00 || op == 0x01 || op == 0x81 || op == 0x82)) {
            add(op, kStatusUnsupported);
            break;
        }
        if (op == 0x80 || op == 0x82) {
            const bool present = op == 0x80 ? net_->reset() : accessRegister();
            rec.push_back(op);
            rec.push_back(present ? kStatusOk : kStatusNoPresence);
            continue;
        }
        if (op == 0x81) {
            rec.push_back(op);
            rec.push_back(searchNext() ? kStatusOk : kStatusNoFurther);
            continue;
        }
        if (op == 0x03) {
            if (i < p.size() && p[i] == 0x00) {
                ++i;
                net_->setStrongPullup(false);
                add(op, kStatusOk);
                continue;
            }
            if (i + 2 < p.size() && p[i] == 0x01) {
                const auto length = pullupLength(p[i + 2]);
                i += 3;
                if (length) {
                    net_->strongPullup(*length);
                    add(op, kStatusOk);
                    continue;
                }
            }
            add(op, kStatusMalformed);
            break;
        }
        // The rest carry a length.
        if (i >= p.size() || (op != 0x00 && op != 0x01 && op != 0x09 && op != 0x0A)) {
            add(op, kStatusMalformed);
            break;
        }
        const std::size_t len = p[i++];
        if (i + len > p.size()) {
            add(op, kStatusMalformed);
            break;
        }
        const Bytes args(p.begin() + static_cast<std::ptrdiff_t>(i), p.begin() + static_cast<std::ptrdiff_t>(i + len));
        i += len;
        if (op == 0x00) {
            if (len != 0 && len != 8) {
                add(op, kStatusMalformed);
                break;
            }
            for (std::size_t k = 0; k < len; ++k)
                rom_[k] = args[k];
            rec.push_back(op);
            rec.push_back(8);
            rec.insert(rec.end(), rom_.begin(), rom_.end());
            continue;
        }
        if (op == 0x01) {
            newSearch();
            add(op, kStatusOk);
            continue;
        }
        // 09 and 0A: count, then the values to send first.
        if (len < 1 || args.size() - 1 > args[0]) {
            add(op, kStatusMalformed);
            break;
        }
        const std::size_t count = args[0];
        rec.push_back(op);
        rec.push_back(static_cast<std::uint8_t>(count));
        for (std::size_t k = 0; k < count; ++k) {
            const bool given = k + 1 < args.size();
            if (op == 0x09)
                rec.push_back(static_cast<std::uint8_t>(net_->touchBit(given ? (args[k + 1] & 1) : 1)));
            else
                rec.push_back(net_->touchByte(given ? args[k + 1] : 0xFF));
        }
    }
    Bytes answer;
    answer.reserve(rec.size() + 1);
    answer.push_back(static_cast<std::uint8_t>(rec.size() > 255 ? 255 : rec.size()));
    answer.insert(answer.end(), rec.begin(), rec.end());
    return answer;
}

} // namespace platform::sim
