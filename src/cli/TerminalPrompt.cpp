#include "cli/TerminalPrompt.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace melvarin {

void TerminalPrompt::message(const std::string& text, Icon icon) {
    const char* prefix = icon == Icon::Error ? "error: " : icon == Icon::Warning ? "warning: " : "";
    err_ << prefix << text << '\n' << std::flush;
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
        if (!std::getline(std::cin, line)) return false;
        if (line == "y" || line == "Y" || line == "yes") return true;
        if (line == "n" || line == "N" || line == "no") return false;
    }
}

}  // namespace melvarin
