#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "app/UserPrompt.h"

namespace melvarin {

// UserPrompt with message boxes captioned "Melvarin v3.5". May be called from any
// thread: calls from a worker thread block until the window thread has shown
// the box and the user has answered.
class GuiPrompt : public QObject, public UserPrompt {
    Q_OBJECT
public:
    explicit GuiPrompt(QWidget* parentWindow = nullptr);

    void message(const std::string& text, Icon icon) override;
    bool ask(const std::string& text, Icon icon) override;

    void setParentWindow(QWidget* w) { parent_ = w; }

private:
    bool show(const std::string& text, Icon icon, bool question);
    QPointer<QWidget> parent_;
};

}  // namespace melvarin
