#pragma once
// What an adapter backend moved to do a job: exchanges with the adapter (a write and
// the wait for its answer), serial bytes each way, USB transfers. The benchmark
// compares these with the fewest the adapter's protocol allows.

namespace platform {

struct AdapterTraffic {
    long roundTrips = 0;
    long bytesOut = 0;
    long bytesIn = 0;
    long usbTransfers = 0;
    void clear() { *this = AdapterTraffic{}; }
};

} // namespace platform
