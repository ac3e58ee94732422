#pragma once

#include <optional>

namespace qb {

struct TBatteryState {
    int Percent = 0;
    bool Charging = false;
};

// Battery and GPU readings; an empty optional when the machine has no such sensor. UI thread.
class ISensors {
public:
    virtual ~ISensors() = default;
    virtual std::optional<TBatteryState> Battery() const = 0;
    virtual std::optional<int> GpuTemperature() const = 0;
};

} // namespace qb
