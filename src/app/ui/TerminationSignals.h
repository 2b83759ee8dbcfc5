#pragma once
#include <QObject>

class QSocketNotifier;

namespace melvarin {

// Turns SIGTERM and SIGINT into the signal `requested` on the window thread.
// The handler only writes one byte into a pipe (async-signal-safe); a socket
// notifier on the other end emits `requested`. One object per process; the
// previous handlers are restored when it dies.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or the handlers could not be set up.
    bool installed() const { return installed_; }
    // A request arrived (it is also emitted as requested()); lets a receiver
    // connected late, after a long set-up, still act on it.
    bool pending() const { return pending_; }

signals:
    void requested(int signalNumber);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
    bool pending_ = false;
};

}  // namespace melvarin
