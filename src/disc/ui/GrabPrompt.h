#pragma once
#include <QObject>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/UserPrompt.h"

namespace melvarin {

// The prompt a grab job's thread talks to. Messages and questions from any
// thread are shown by `target` on the thread this object lives in (the window
// thread); the calling thread waits for the answer. Once abandoned (the window
// is going away) nothing more is shown: a waiting or later question is answered
// Yes exactly when its text is one of the abandon answers, messages return at
// once. Must be created on the window thread.
class GrabPrompt : public QObject, public UserPrompt {
    Q_OBJECT
public:
    // `target` must outlive this object.
    explicit GrabPrompt(UserPrompt& target);

    void message(const std::string& text, Icon icon) override;
    bool ask(const std::string& text, Icon icon) override;

    // The questions answered Yes after abandon(); every other one is No.
    void setAbandonAnswers(std::vector<std::string> yesTexts);
    // Stops showing anything and releases a thread waiting for an answer.
    void abandon();

private:
    bool relay(const std::string& text, Icon icon, bool question);
    bool abandonedAnswer(const std::string& text) const;

    UserPrompt& target_;
    std::mutex mutex_;
    std::condition_variable answered_;
    bool abandoned_ = false;
    std::vector<std::string> yesTexts_;
};

}  // namespace melvarin
