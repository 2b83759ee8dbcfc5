#include "cddb/ui/FreedbJob.h"

#include <QApplication>
#include <QThread>

#include "app/Messages.h"
#include "cddb/DiscXmcd.h"
#include "cddb/ui/TChoseForm.h"

namespace melvarin {

FreedbJob::FreedbJob(QWidget* window, const SettingsRecord& settings, const DiscRecord& disc,
                     const TDiscTags& tags, UserPrompt& prompt)
    : window_(window), settings_(settings), disc_(disc), prompt_(prompt) {
    const unsigned n = tags.GetCount();
    tags_.Resize(n);
    for (unsigned i = 0; i < n; ++i) CopyTag(*tags_.GetTag(i), *tags.GetTag(i));
}

FreedbJob::~FreedbJob() {
    if (thread_.joinable()) thread_.join();
}

int FreedbJob::choose(const std::vector<std::string>& titles) {
    int result = -1;
    auto show = [&] {
        QStringList items;
        for (const auto& t : titles) items << QString::fromStdString(t);
        TChoseForm form(window_.data(), QString::fromStdString(Message(56)), items);
        if (form.exec() == QDialog::Accepted) result = form.chosenIndex();
    };
    if (QThread::currentThread() == qApp->thread()) show();
    else QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    return result;
}

void FreedbJob::start() {
    thread_ = std::thread([this] {
        outcome_ = DiscXmcd::Fetch(settings_, disc_, tags_, prompt_,
                                   [this](const std::vector<std::string>& titles) { return choose(titles); });
        QMetaObject::invokeMethod(this, [this] { emit finished(outcome_); }, Qt::QueuedConnection);
    });
}

}  // namespace melvarin
