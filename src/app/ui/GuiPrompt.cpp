#include "app/ui/GuiPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace melvarin {
namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

GuiPrompt::GuiPrompt(QWidget* parentWindow) : parent_(parentWindow) {}

void GuiPrompt::message(const std::string& text, Icon icon) { show(text, icon, false); }

bool GuiPrompt::ask(const std::string& text, Icon icon) { return show(text, icon, true); }

bool GuiPrompt::show(const std::string& text, Icon icon, bool question) {
    bool result = false;
    auto run = [&] {
        QMessageBox box(toQt(icon), QStringLiteral("Melvarin v3.5"), QString::fromStdString(text),
                        question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                        parent_.data());
        box.setObjectName(question ? "QuestionBox" : "MessageBox");
        result = box.exec() == QMessageBox::Yes;
    };
    if (QThread::currentThread() == qApp->thread()) run();
    else QMetaObject::invokeMethod(qApp, run, Qt::BlockingQueuedConnection);
    return result;
}

}  // namespace melvarin
