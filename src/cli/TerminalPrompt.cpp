#include "cli/TerminalPrompt.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string>

#include "cli/JobSignals.h"

namespace melvarin {

namespace {

// One line of standard input; false at its end, or once a signal ends the job
// (the question is then abandoned: the wait polls for that instead of blocking
// in read(), which the signal's restarting handler would resume).
bool ReadAnswer(std::string& line) {
    for (;;) {
        if (JobSignals::Forced()) return false;
        pollfd input = {STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, 100);
        if (ready > 0 || (ready < 0 && errno != EINTR)) break;
    }
    return static_cast<bool>(std::getline(std::cin, line));
}

}  // namespace

void TerminalPrompt::message(const std::string& text, Icon icon) {
    const char* prefix = icon == Icon::Error ? "error: " : icon == Icon::Warning ? "warning: " : "";
    err_ << prefix << text << '\n' << std::flush;
}

bool TerminalPrompt::askRetry(const std::string& text, Icon icon) {
    if (fixedAnswer_ && *fixedAnswer_ && ++retries_ > kMaxRetries) {
        err_ << text << " [no: tried again " << kMaxRetries << " times]\n" << std::flush;
        return false;
    }
    return ask(text, icon);
}

bool TerminalPrompt::ask(const std::string& text, Icon) {
    if (fixedAnswer_) {
        err_ << text << (*fixedAnswer_ ? " [yes]" : " [no]") << '\n' << std::flush;
        return *fixedAnswer_;
    }
    if (!::isatty(STDIN_FILENO)) {
        err_ << text << " [no: standard input is not a terminal]\n" << std::flush;
        return false;
    }
    for (;;) {
        err_ << text << " [y/n] " << std::flush;
        std::string line;
        if (!ReadAnswer(line)) {
            err_ << '\n' << std::flush;
            return false;
        }
        if (line == "y" || line == "Y" || line == "yes") return true;
        if (line == "n" || line == "N" || line == "no") return false;
    }
}

}  // namespace melvarin
