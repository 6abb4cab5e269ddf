#include "device/drivers/pagedwrite.h"

#include "device/drivers/busblock.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/byteio.h"
#include "device/onewire/onewiremaster.h"
#include "device/onewire/session.h"
#include "platform/base/onewirecrc.h"

#include <algorithm>
#include <set>

namespace device {

bool pageInImage(const MemImage& mi, int page)
{
    return page >= 1 && page <= mi.Pages && mi.PageSize > 0 &&
           static_cast<int>(mi.Data.size()) >= page * mi.PageSize + 1;
}

bool pageUnchanged(const MemImage& mi, int page)
{
    const int base = (page - 1) * mi.PageSize;
    return mi.DeviceKnown && sameBytes(mi.Data, mi.DeviceData, base + 1, base + mi.PageSize);
}

bool readPage(const MemImage& mi, int page, ByteArray& bytes)
{
    const int base = (page - 1) * mi.PageSize;
    uLAN_Access();
    MemImage check;
    check.Data.assign(static_cast<std::size_t>(mi.PageSize) + 1, 0);
    commandAndRead({0xF0, base & 0xFF, (base >> 8) & 0xFF}, check, 1, mi.PageSize);
    bytes = check.Data;
    return !ioFailed();
}

bool verifyPage(const MemImage& mi, int page)
{
    const int base = (page - 1) * mi.PageSize;
    ByteArray check;
    if (!readPage(mi, page, check))
        return false;
    for (int i = 1; i <= mi.PageSize; ++i)
        if (check[static_cast<std::size_t>(i)] != mi.Data[static_cast<std::size_t>(base + i)])
            return false;
    if (allErased(check, 1, mi.PageSize))
        return stillPresent();
    return true;
}

namespace {

constexpr int ReadScratchpad = 0xAA;
constexpr int CopyScratchpad = 0x55;
constexpr std::uint8_t CopyDone = 0xAA;  // alternating 1s and 0s after a finished copy

// The pages of the write in progress whose copy the node confirmed.
struct Tally {
    WriteReport& report;
    std::vector<bool> reached;
    int page = 0;
};
Tally* g_tally = nullptr;

void noteCopy(bool done)
{
    if (!g_tally || g_tally->page <= 0)
        return;
    if (done)
        g_tally->reached[static_cast<std::size_t>(g_tally->page)] = true;
    else
        g_tally->report.uncertain = true;
}

unsigned sumOf(const ByteArray& data, int first, int last)
{
    unsigned sum = 0;
    for (int i = first; i <= last; ++i)
        sum += data[static_cast<std::size_t>(i)];
    return sum;
}

// The units of page p that differ from what the node held (all when that is not known).
int changedUnits(const MemImage& mi, int p, int unitSize)
{
    const int base = (p - 1) * mi.PageSize;
    const int units = mi.PageSize / unitSize;
    if (!mi.DeviceKnown)
        return units;
    int n = 0;
    for (int u = 0; u < units; ++u)
        if (!sameBytes(mi.Data, mi.DeviceData, base + u * unitSize + 1, base + (u + 1) * unitSize))
            ++n;
    return n;
}

// Page g of guard gets the checksum byte that makes the page fail whichever prefix of
// its units the node holds in new form (the rest old). A page of several units needs its
// old bytes: they are read from the node when they are not known.
bool poisonGuard(MemImage& guard, int g, int unitSize)
{
    const int base = (g - 1) * guard.PageSize;
    const int units = guard.PageSize / unitSize;
    ByteArray old(static_cast<std::size_t>(guard.PageSize) + 1, 0);
    if (units == 1) {
        // Copied whole: only the new page's own checksum is to be avoided.
    } else if (guard.DeviceKnown) {
        for (int i = 1; i <= guard.PageSize; ++i)
            old[static_cast<std::size_t>(i)] = guard.DeviceData[static_cast<std::size_t>(base + i)];
    } else {
        if (!openNode(guard.RomId))
            return false;
        const bool read = readPage(guard, g, old);
        uLAN_End();
        if (!read)
            return false;
    }
    std::set<unsigned> forbidden;
    for (int k = 1; k <= units; ++k) {
        // Units 1 .. k new, the rest old; the checksum byte (page byte 1) left out.
        unsigned sum = sumOf(guard.Data, base + 2, base + k * unitSize);
        if (k < units)
            sum += sumOf(old, k * unitSize + 1, guard.PageSize);
        forbidden.insert(checksumFor(sum));
    }
    unsigned c = 0;
    while (forbidden.count(c))
        ++c;
    guard.Data[static_cast<std::size_t>(base + 1)] = static_cast<std::uint8_t>(c);
    return true;
}

} // namespace

Scratchpad readScratchpad(const MemImage& mi, int a, int es, int n, bool withCrc)
{
    MemImage pad;
    const int count = n + (withCrc ? 2 : 0);
    pad.Data.assign(static_cast<std::size_t>(count) + 1, 0);
    const bool merged = oneWireMaster().mergesBlocks();
    const ByteArray status = merged ? commandAndRead({ReadScratchpad, 0xFF, 0xFF, 0xFF}, pad, 1, count)
                                    : command({ReadScratchpad, 0xFF, 0xFF, 0xFF});
    if (ioFailed() || status.size() < 4 || status[1] != (a & 0xFF) || status[2] != ((a >> 8) & 0xFF) ||
        status[3] != es)
        return Scratchpad::WrongPlace;
    if (!merged)
        readData(pad, 1, count);
    if (ioFailed())
        return Scratchpad::WrongPlace;
    if (!sameBytes(pad.Data, ByteArray(mi.Data.begin() + a, mi.Data.end()), 1, n))
        return Scratchpad::WrongData;
    if (!withCrc)
        return Scratchpad::Holds;
    ByteArray covered{static_cast<std::uint8_t>(ReadScratchpad), status[1], status[2], status[3]};
    covered.insert(covered.end(), pad.Data.begin() + 1, pad.Data.begin() + 1 + n);
    const auto crc = static_cast<std::uint16_t>(~platform::crc16(covered) & 0xFFFF);
    const bool crcRight = pad.Data[static_cast<std::size_t>(n + 1)] == (crc & 0xFF) &&
                          pad.Data[static_cast<std::size_t>(n + 2)] == (crc >> 8);
    return crcRight ? Scratchpad::Holds : Scratchpad::WrongData;
}

bool copyScratchpad(int a, int es, int ms)
{
    uLAN_Access();
    commandThenPullup({CopyScratchpad, a & 0xFF, (a >> 8) & 0xFF, es}, ms);
    const std::uint8_t done = Touch_Byte(0xFF);
    const bool ok = !ioFailed() && done == CopyDone;
    noteCopy(ok);
    return ok;
}

bool writePages(MemImage& mi, bool (*writePage)(MemImage&, int), int unitSize)
{
    WriteReport& report = driverState().lastWrite;
    report = WriteReport{};
    report.known = true;
    if (mi.PageSize <= 0 || static_cast<int>(mi.Data.size()) < mi.byteCount() + 1)
        return false;
    if (unitSize <= 0 || unitSize > mi.PageSize || mi.PageSize % unitSize != 0)
        unitSize = mi.PageSize;
    std::vector<int> changed;
    for (int page = 1; page <= mi.Pages; ++page)
        if (!pageUnchanged(mi, page))
            changed.push_back(page);
    report.changed = static_cast<int>(changed.size());
    if (changed.empty())
        return true;

    Tally tally{report, std::vector<bool>(static_cast<std::size_t>(mi.Pages) + 1, false)};
    struct Scope {
        Tally& t;
        explicit Scope(Tally& tally) : t(tally) { g_tally = &t; }
        ~Scope()
        {
            g_tally = nullptr;
            t.report.reached = static_cast<int>(std::count(t.reached.begin(), t.reached.end(), true));
        }
    } scope(tally);
    auto write = [&](MemImage& image, int page) {
        tally.page = page;
        return writePage(image, page) || writePage(image, page);
    };

    // One unit changes: the node's copy of it is the whole write. The same when the new
    // page would fail its checksum anyway (an erase): there is nothing to guard.
    const int g = changed.front();
    const int base = (g - 1) * mi.PageSize;
    const bool validPage = sumOf(mi.Data, base + 1, base + mi.PageSize) % 256 == 0;
    if (!validPage || (changed.size() == 1 && changedUnits(mi, g, unitSize) <= 1)) {
        for (int page : changed)
            if (!write(mi, page))
                return false;
        return true;
    }
    MemImage guard = mi;
    if (!poisonGuard(guard, g, unitSize) || !write(guard, g))
        return false;
    for (std::size_t i = 1; i < changed.size(); ++i)
        if (!write(mi, changed[i]))
            return false;
    return write(mi, g);
}

} // namespace device
