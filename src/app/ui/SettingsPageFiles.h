#pragma once
#include <functional>
#include <string>

#include "app/SettingsFormRules.h"
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace melvarin {

// Page 1: the output folder and how file names are built (check boxes or a
// "%" pattern).
class SettingsPageFiles : public SettingsPage {
    Q_OBJECT
public:
    // Name the pattern gives for the first track of the disc in the drive, or
    // nothing when there is no disc; the preview stays empty without it.
    using PatternPreview = std::function<std::optional<std::string>(const std::string& pattern)>;

    // `prompt` must outlive the page.
    explicit SettingsPageFiles(UserPrompt& prompt, QWidget* parent = nullptr);

    void setPatternPreview(PatternPreview preview) { preview_ = std::move(preview); }

    void load(const SettingsRecord& s) override;
    // Asks about a missing output folder (see resolveWorkDir).
    void store(SettingsRecord& s) override;

    // False (after message 33) when a pattern is in use and is not valid.
    bool validate();

private:
    void updateEnabled();
    void patternEdited();

    UserPrompt& prompt_;
    PatternPreview preview_;
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
