#pragma once
#include <QObject>
#include <QPointer>
#include <thread>

#include "app/SettingsRecord.h"
#include "cddb/FreedbLookup.h"
#include "cddb/TDiscTags.h"
#include "disc/DiscRecord.h"

class QWidget;

namespace melvarin {

class UserPrompt;

// The freedb command of the main window, run on a worker thread so the window
// stays responsive. Works on copies of the settings, disc record and tags; when
// finished() arrives the caller takes them back with the accessors. Several
// matches are offered in a TChoseForm with message 56. One job per command;
// the object must outlive its thread (the destructor waits for it).
class FreedbJob : public QObject {
    Q_OBJECT
public:
    FreedbJob(QWidget* window, const SettingsRecord& settings, const DiscRecord& disc, const TDiscTags& tags,
              UserPrompt& prompt);
    ~FreedbJob() override;

    void start();

    const SettingsRecord& settings() const { return settings_; }
    const DiscRecord& disc() const { return disc_; }
    const TDiscTags& tags() const { return tags_; }
    FreedbOutcome outcome() const { return outcome_; }

signals:
    void finished(melvarin::FreedbOutcome outcome);

private:
    int choose(const std::vector<std::string>& titles);

    QPointer<QWidget> window_;
    SettingsRecord settings_;
    DiscRecord disc_;
    TDiscTags tags_;
    UserPrompt& prompt_;
    FreedbOutcome outcome_ = FreedbOutcome::Failed;
    std::thread thread_;
};

}  // namespace melvarin
