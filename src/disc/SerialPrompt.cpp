#include "disc/SerialPrompt.h"

namespace melvarin {

void SerialPrompt::message(const std::string& text, Icon icon) {
    std::lock_guard lock(mutex_);
    inner_.message(text, icon);
}

bool SerialPrompt::ask(const std::string& text, Icon icon) {
    std::lock_guard lock(mutex_);
    return inner_.ask(text, icon);
}

bool SerialPrompt::askRetry(const std::string& text, Icon icon) {
    std::lock_guard lock(mutex_);
    return inner_.askRetry(text, icon);
}

}  // namespace melvarin
