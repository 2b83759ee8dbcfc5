#include "cli/JobSignals.h"

#include <atomic>

namespace melvarin {

namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> gStop{false};
std::atomic<int> gForced{0};
std::atomic<int> gInterrupts{0};
std::atomic<bool> gInteractive{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

extern "C" void OnJobSignal(int signal) {
    const bool asks = signal == SIGINT && gInteractive.load() && gInterrupts.fetch_add(1) == 0;
    if (!asks) {
        int none = 0;
        gForced.compare_exchange_strong(none, signal);
    }
    gStop = true;
}

}  // namespace

JobSignals::JobSignals(bool interactive) {
    gStop = false;
    gForced = 0;
    gInterrupts = 0;
    gInteractive = interactive;
    struct sigaction action = {};
    action.sa_handler = OnJobSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep the job's reads and writes whole; the questions on
    // the terminal poll for the signal instead of waiting in read().
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) installed_[i] = ::sigaction(kSignals[i], &action, &old_[i]) == 0;
}

JobSignals::~JobSignals() {
    for (int i = 0; i < 3; ++i)
        if (installed_[i]) ::sigaction(kSignals[i], &old_[i], nullptr);
    gForced = 0;
    gStop = false;
}

bool JobSignals::StopRequested() { return gStop.load(); }

void JobSignals::Resume() {
    if (gForced.load() == 0) gStop = false;
}

int JobSignals::Forced() { return gForced.load(); }

std::string JobSignals::Name(int signal) {
    switch (signal) {
        case SIGINT: return "SIGINT";
        case SIGTERM: return "SIGTERM";
        case SIGHUP: return "SIGHUP";
        default: return "signal " + std::to_string(signal);
    }
}

}  // namespace melvarin
