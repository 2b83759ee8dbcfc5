#pragma once
#include <csignal>
#include <string>

namespace melvarin {

// SIGINT, SIGTERM and SIGHUP while the command line runs a job (a grab).
//
// SIGTERM and SIGHUP end the job at once: its cancel path runs without a
// question, and the command exits with 128 + the signal. So does SIGINT when
// standard input is no terminal (a script's Ctrl+C, `kill -INT`), and a second
// SIGINT always. The first SIGINT from a terminal only asks the job to stop;
// the job then asks whether to cancel.
//
// One object at a time; the handlers only store into lock-free atomics, and
// the previous handlers come back when the object dies.
class JobSignals {
public:
    // `interactive`: a first SIGINT may ask (standard input is a terminal).
    explicit JobSignals(bool interactive);
    ~JobSignals();
    JobSignals(const JobSignals&) = delete;
    JobSignals& operator=(const JobSignals&) = delete;

    // A signal asked the job to stop and no Resume came after it.
    static bool StopRequested();
    // The job goes on after its cancel question was answered No.
    static void Resume();
    // The signal that ends the job without asking; 0 while there is none.
    // Also 0 when no object is alive.
    static int Forced();

    // 128 + `signal`, the shell's convention for a job ended by a signal.
    static int ExitStatus(int signal) { return 128 + signal; }
    // "SIGINT", "SIGTERM", "SIGHUP" (else "signal N").
    static std::string Name(int signal);

private:
    struct sigaction old_[3];
    bool installed_[3] = {false, false, false};
};

}  // namespace melvarin
