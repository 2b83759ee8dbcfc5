#include "disc/ui/GrabPrompt.h"

#include <QThread>

#include <algorithm>
#include <memory>

namespace melvarin {

GrabPrompt::GrabPrompt(UserPrompt& target) : target_(target) {}

void GrabPrompt::message(const std::string& text, Icon icon) { relay(text, icon, false); }

bool GrabPrompt::ask(const std::string& text, Icon icon) { return relay(text, icon, true); }

void GrabPrompt::setAbandonAnswers(std::vector<std::string> yesTexts) {
    const std::lock_guard lock(mutex_);
    yesTexts_ = std::move(yesTexts);
}

void GrabPrompt::abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    answered_.notify_all();
}

bool GrabPrompt::abandonedAnswer(const std::string& text) const {
    return std::find(yesTexts_.begin(), yesTexts_.end(), text) != yesTexts_.end();
}

bool GrabPrompt::relay(const std::string& text, Icon icon, bool question) {
    if (QThread::currentThread() == thread()) {
        if (question) return target_.ask(text, icon);
        target_.message(text, icon);
        return false;
    }
    struct Reply {
        bool done = false;
        bool answer = false;
    };
    auto reply = std::make_shared<Reply>();
    {
        const std::lock_guard lock(mutex_);
        if (abandoned_) return question && abandonedAnswer(text);
    }
    // Dropped unrun when this object dies first; the waiting thread has been
    // released by abandon() then.
    QMetaObject::invokeMethod(
        this,
        [this, reply, text, icon, question] {
            {
                const std::lock_guard lock(mutex_);
                if (abandoned_) return;
            }
            bool answer = false;
            if (question) answer = target_.ask(text, icon);
            else target_.message(text, icon);
            const std::lock_guard lock(mutex_);
            reply->answer = answer;
            reply->done = true;
            answered_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return reply->done || abandoned_; });
    if (reply->done) return reply->answer;
    return question && abandonedAnswer(text);
}

}  // namespace melvarin
