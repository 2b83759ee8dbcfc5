#include "app/ui/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace melvarin {
namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_oldTerm;
struct sigaction g_oldInt;

extern "C" void onTerminationSignal(int signalNumber) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (g_pipe[1] >= 0) [[maybe_unused]] auto n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    installed_ = ::sigaction(SIGTERM, &action, &g_oldTerm) == 0 &&
                 ::sigaction(SIGINT, &action, &g_oldInt) == 0;
}

TerminationSignals::~TerminationSignals() {
    if (g_pipe[0] < 0) return;
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    int last = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) last = byte;
    if (!last) return;
    pending_ = true;
    emit requested(last);
}

}  // namespace melvarin
