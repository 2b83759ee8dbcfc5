#pragma once
#include <string>

namespace melvarin {

enum class Icon { None, Information, Warning, Error, Question };

// The one way core code talks to the user. The GUI answers with message boxes
// (caption "Melvarin v3.5"), the CLI on the terminal, tests with scripted answers.
// Implementations may be called from worker threads; they marshal as needed.
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // Shows one message with an OK button; returns when it is dismissed.
    virtual void message(const std::string& text, Icon icon) = 0;
    // Asks a Yes/No question; true means Yes.
    virtual bool ask(const std::string& text, Icon icon) = 0;
    // Asks whether to try a failed step again; true means try again. A prompt
    // that answers for nobody (the terminal's fixed --yes) says No once it has
    // said Yes three times, so a step that keeps failing ends.
    virtual bool askRetry(const std::string& text, Icon icon) { return ask(text, icon); }
};

}  // namespace melvarin
