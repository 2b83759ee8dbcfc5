#pragma once
#include <string>

#include "app/SettingsFormRules.h"
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace melvarin {

class TDiscTags;
struct DiscRecord;

// Page 1: the output folder and how file names are built (check boxes or a
// "%" pattern).
class SettingsPageFiles : public SettingsPage {
    Q_OBJECT
public:
    // `prompt` must outlive the page.
    explicit SettingsPageFiles(UserPrompt& prompt, QWidget* parent = nullptr);

    // The disc the pattern preview names (nullptr: no disc loaded) and its tags
    // (may be nullptr); both must outlive the page.
    void setPreviewDisc(const DiscRecord* disc, const TDiscTags* tags);

    void load(const SettingsRecord& s) override;
    // Asks about a missing output folder (see resolveWorkDir).
    void store(SettingsRecord& s) override;

    // False (after message 33) when a pattern is in use and is not valid.
    bool validate();

private:
    void updateEnabled();
    void patternEdited();

    UserPrompt& prompt_;
    const DiscRecord* disc_ = nullptr;
    const TDiscTags* tags_ = nullptr;
    std::string previousWorkDir_;

    QLineEdit* workDir_;
    QCheckBox* trackName_;
    QCheckBox* albumName_;
    QCheckBox* artistName_;
    QCheckBox* trackNum_;
    QCheckBox* dirAlbum_;
    QCheckBox* dirArtist_;
    QCheckBox* useFormat_;
    QLineEdit* format_;
    QLabel* testLabel_;
};

}  // namespace melvarin
