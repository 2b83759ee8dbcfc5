#pragma once
#include <mutex>

#include "app/UserPrompt.h"

namespace melvarin {

// Passes every message and question to another prompt while holding a mutex
// the caller also holds around its other callbacks, so that calls from
// several threads reach the user one at a time. The prompt and the mutex are
// borrowed and must outlive this object.
class SerialPrompt : public UserPrompt {
public:
    SerialPrompt(UserPrompt& inner, std::recursive_mutex& mutex) : inner_(inner), mutex_(mutex) {}

    void message(const std::string& text, Icon icon) override;
    bool ask(const std::string& text, Icon icon) override;
    bool askRetry(const std::string& text, Icon icon) override;

private:
    UserPrompt& inner_;
    std::recursive_mutex& mutex_;
};

}  // namespace melvarin
