#pragma once
// The public bridge-sensor TEDS (DS2431, template 33) the core tests decode: its 124
// bytes from tests/fixtures/teds/bridge-ds2431.hex, spread into bits.

#include "core/teds/tedsbuf.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace testing_support {

inline core::TedsBuf bridgeVector()
{
    const auto bytes = readHexBytes(fixturesDir() / "teds" / "bridge-ds2431.hex");
    EXPECT_EQ(bytes.size(), 124u);
    core::TedsBuf tb;
    tb.dimension(124);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        tb.Bytes.at(i + 1) = bytes[i];
    core::BytesToBits(tb);
    return tb;
}

} // namespace testing_support
