#pragma once
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "app/UserPrompt.h"

namespace melvarin {

// A UserPrompt for tests and unattended runs: answers questions from a script
// (then with `defaultAnswer`) and records every message and question in order.
class ScriptedPrompt : public UserPrompt {
public:
    struct Entry {
        bool question;
        std::string text;
        Icon icon;
        bool answer;
    };

    explicit ScriptedPrompt(bool defaultAnswer = false) : defaultAnswer_(defaultAnswer) {}

    void message(const std::string& text, Icon icon) override;
    bool ask(const std::string& text, Icon icon) override;

    // Queues the answer for the next question.
    void queueAnswer(bool yes);
    std::vector<Entry> entries() const;
    // Texts of every message and question, in order.
    std::vector<std::string> texts() const;
    void clear();

private:
    mutable std::mutex mutex_;
    bool defaultAnswer_;
    std::deque<bool> answers_;
    std::vector<Entry> entries_;
};

}  // namespace melvarin
