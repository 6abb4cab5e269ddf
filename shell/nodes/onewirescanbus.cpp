// The scan's bus through device access: the search step and the thermometer driver.

#include "device/drivers/thermometer.h"
#include "device/onewire/session.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"

#include <memory>

namespace shell {

namespace {

class OneWireScanBus final : public ScanBus {
public:
    SearchStep findNext() override
    {
        SearchStep r;
        const std::optional<bool> ok = device::uLAN_FindNext(r.found, r.last, r.id, r.family);
        r.ok = ok.value_or(false);
        return r;
    }

    std::optional<TemperatureReading> readTemperature(int recordIndex) override
    {
        const TrRecord* rec = record(recordIndex);
        if (!rec)
            return std::nullopt;
        const device::TemperatureReading t = device::Read_Temperature(rec->id);
        if (!t.ok)
            return std::nullopt;
        return TemperatureReading{t.celsius, t.fahrenheit};
    }
};

} // namespace

std::unique_ptr<ScanBus> makeOneWireScanBus() { return std::make_unique<OneWireScanBus>(); }

} // namespace shell
