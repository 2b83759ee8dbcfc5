#pragma once
#include <cstdint>
#include <memory>

namespace melvarin {

// Time as an emulated drive sees it: the analog play position advances with it
// and paced reads wait on it. Tests pass a clock they move by hand.
class VirtualClock {
public:
    virtual ~VirtualClock() = default;
    // Monotonic time in microseconds.
    virtual std::int64_t nowMicros() = 0;
    // Waits `micros` (the system clock sleeps; a test clock just advances).
    virtual void sleepMicros(std::int64_t micros) = 0;

    // The steady system clock.
    static std::shared_ptr<VirtualClock> system();
};

}  // namespace melvarin
