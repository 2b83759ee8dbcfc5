#pragma once
#include <optional>
#include <ostream>

#include "app/UserPrompt.h"

namespace melvarin {

// UserPrompt on the terminal: messages go to standard error; questions take the
// fixed answer of --yes/--no when given, else are asked on the terminal, else
// (standard input not a terminal) are answered No.
class TerminalPrompt : public UserPrompt {
public:
    TerminalPrompt(std::ostream& err, std::optional<bool> fixedAnswer)
        : err_(err), fixedAnswer_(fixedAnswer) {}

    void message(const std::string& text, Icon icon) override;
    bool ask(const std::string& text, Icon icon) override;
    bool askRetry(const std::string& text, Icon icon) override;

    // Retries a fixed Yes allows in one command.
    static constexpr int kMaxRetries = 3;

private:
    std::ostream& err_;
    std::optional<bool> fixedAnswer_;
    int retries_ = 0;
};

}  // namespace melvarin
