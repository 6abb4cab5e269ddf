// The family table and the memory drivers agree: every family with memory has a driver,
// every driver's family is a memory of the table, and only EEPROMs are erased.
#include "device/drivers/memorynode.h"
#include "device/memimage/familytable.h"

#include <gtest/gtest.h>

namespace {

TEST(FamilyDrivers, EveryFamilyWithMemoryHasItsDriverAndNoOtherHasOne)
{
    for (int code = 0; code < 256; ++code) {
        const device::FamilyInfo& f = device::familyInfo(code);
        const device::MemoryDriver* d = device::memoryDriver(code);
        const bool memory = f.pages > 0 && f.pageSize > 0;
        EXPECT_EQ(d != nullptr, memory) << std::hex << code;
        if (d)
            EXPECT_EQ(d->erase != nullptr, f.erasable) << std::hex << code;
    }
}

TEST(FamilyDrivers, UnknownCodeIsAnUnsupportedNodeWithoutMemory)
{
    const device::FamilyInfo& f = device::familyInfo(0x3A);
    EXPECT_EQ(f.kind, device::NodeKind::Unsupported);
    EXPECT_EQ(f.pages, 0);
    EXPECT_STREQ(f.recordName, "");
    EXPECT_EQ(device::pageGeometry(0x3A, false).Usable, 0);
}

} // namespace
