#include "device/drivers/busblock.h"

#include "platform/base/onewirecrc.h"

#include <algorithm>

#include "device/onewire/byteio.h"
#include "device/onewire/onewiremaster.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"

namespace device {

bool openNode(const std::string& RomId, NodeProof proof)
{
    if (selectNode(RomId, proof) && !oneWireState().IoError)
        return true;
    uLAN_End();
    return false;
}

ByteArray command(std::initializer_list<int> bytes)
{
    MemImage buffer;
    buffer.Data.assign(bytes.size() + 1, 0);
    int i = 1;
    for (int b : bytes)
        buffer.Data[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(b & 0xFF);
    const int n = static_cast<int>(bytes.size());
    Block_IO(buffer, true, 1, n);
    return ByteArray(buffer.Data.begin() + 1, buffer.Data.begin() + 1 + n);
}

void commandThenPullup(std::initializer_list<int> bytes, int ms)
{
    MemImage buffer;
    buffer.Data.assign(bytes.size() + 1, 0);
    int i = 1;
    for (int b : bytes)
        buffer.Data[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(b & 0xFF);
    Block_IO_Pullup(buffer, 1, static_cast<int>(bytes.size()), ms);
}

void sendData(const MemImage& image, int first, int last)
{
    if (last < first)
        return;
    MemImage buffer;
    buffer.Data.assign(static_cast<std::size_t>(last - first) + 2, 0xFF);
    for (int i = first; i <= last; ++i)
        if (i >= 0 && i < static_cast<int>(image.Data.size()))
            buffer.Data[static_cast<std::size_t>(i - first + 1)] = image.Data[static_cast<std::size_t>(i)];
    Block_IO(buffer, true, 1, last - first + 1);
}

void sendCommandAndData(std::initializer_list<int> bytes, const MemImage& image, int first, int last)
{
    OneWireMaster& m = oneWireMaster();
    if (!m.mergesBlocks()) {
        command(bytes);
        sendData(image, first, last);
        return;
    }
    ByteArray out;
    for (int b : bytes)
        out.push_back(static_cast<std::uint8_t>(b & 0xFF));
    for (int i = first; i <= last; ++i)
        out.push_back(i >= 0 && i < static_cast<int>(image.Data.size()) ? image.Data[static_cast<std::size_t>(i)] : 0xFF);
    m.sendBlock(out);
}

ByteArray commandAndRead(std::initializer_list<int> bytes, MemImage& image, int first, int last)
{
    OneWireMaster& m = oneWireMaster();
    if (!m.mergesBlocks()) {
        ByteArray echo = command(bytes);
        readData(image, first, last);
        return echo;
    }
    ByteArray io;
    for (int b : bytes)
        io.push_back(static_cast<std::uint8_t>(b & 0xFF));
    const std::size_t n = io.size();
    if (last >= first) {
        io.resize(n + static_cast<std::size_t>(last - first + 1), 0xFF);
        if (static_cast<int>(image.Data.size()) <= last)
            image.Data.resize(static_cast<std::size_t>(last) + 1, 0);
    }
    m.exchangeBlock(io);
    for (int i = first; i <= last; ++i)
        image.Data[static_cast<std::size_t>(i)] = io[n + static_cast<std::size_t>(i - first)];
    return ByteArray(io.begin(), io.begin() + static_cast<std::ptrdiff_t>(n));
}

void readData(MemImage& image, int first, int last)
{
    if (last < first)
        return;
    if (static_cast<int>(image.Data.size()) <= last)
        image.Data.resize(static_cast<std::size_t>(last) + 1, 0);
    Block_IO(image, false, first, last);
}

bool ioFailed() { return oneWireState().IoError; }

bool stillPresent() { return nodeStillAnswers(); }

bool sameBytes(const ByteArray& a, const ByteArray& b, int first, int last)
{
    if (first < 0 || last >= static_cast<int>(a.size()) || last >= static_cast<int>(b.size()))
        return false;
    for (int i = first; i <= last; ++i)
        if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)])
            return false;
    return true;
}

bool allErased(const ByteArray& data, int first, int last)
{
    if (first < 0 || last >= static_cast<int>(data.size()))
        return false;
    for (int i = first; i <= last; ++i)
        if (data[static_cast<std::size_t>(i)] != 0xFF)
            return false;
    return true;
}

bool mayBeCut(const ByteArray& data, int first, int last)
{
    if (first < 0 || last < first || last >= static_cast<int>(data.size()))
        return false;
    return data[static_cast<std::size_t>(last)] == 0x00 || allErased(data, first, last);
}

void readMemoryPages(MemImage& mi, int pages)
{
    mi.PageSize = 32;
    mi.Pages = pages;
    mi.ChecksumOK = false;
    mi.RomUsed = true;
    const int n = mi.byteCount();
    mi.Data.assign(static_cast<std::size_t>(n) + 1, 0);
    if (!openNode(mi.RomId)) {
        mi.ReadOK = false;
        return;
    }
    commandAndRead({0xF0, 0x00, 0x00}, mi, 1, n);
    bool ok = !ioFailed();
    if (ok && mayBeCut(mi.Data, 1, n))
        ok = stillPresent();
    uLAN_End();
    mi.ReadOK = ok;
}

std::uint8_t crc8(const ByteArray& data, int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(data.size()) - 1);
    if (last < first)
        return 0;
    return platform::crc8(data.data() + first, static_cast<std::size_t>(last - first + 1));
}

} // namespace device
