#include "app/ScriptedPrompt.h"

namespace melvarin {

void ScriptedPrompt::message(const std::string& text, Icon icon) {
    std::lock_guard lock(mutex_);
    entries_.push_back({false, text, icon, true});
}

bool ScriptedPrompt::ask(const std::string& text, Icon icon) {
    std::lock_guard lock(mutex_);
    bool answer = defaultAnswer_;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    entries_.push_back({true, text, icon, answer});
    return answer;
}

void ScriptedPrompt::queueAnswer(bool yes) {
    std::lock_guard lock(mutex_);
    answers_.push_back(yes);
}

std::vector<ScriptedPrompt::Entry> ScriptedPrompt::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::string> ScriptedPrompt::texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& e : entries_) out.push_back(e.text);
    return out;
}

void ScriptedPrompt::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    answers_.clear();
}

}  // namespace melvarin
