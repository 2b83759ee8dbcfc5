#include "drive/VirtualClock.h"

#include <chrono>
#include <thread>

namespace melvarin {

namespace {

class SystemClock : public VirtualClock {
public:
    std::int64_t nowMicros() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void sleepMicros(std::int64_t micros) override {
        if (micros > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros));
    }
};

}  // namespace

std::shared_ptr<VirtualClock> VirtualClock::system() {
    static const std::shared_ptr<VirtualClock> clock = std::make_shared<SystemClock>();
    return clock;
}

}  // namespace melvarin
