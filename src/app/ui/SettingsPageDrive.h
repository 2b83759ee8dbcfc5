#pragma once
#include "app/SettingsFormSources.h"
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace melvarin {

// Page 7: the reading drive, its transport, read command, speed and how it is
// read. The read command and byte order are kept per drive: choosing another
// drive shows its entries, and changing them stores into the window's copy at
// once, so the page edits that copy directly.
class SettingsPageDrive : public SettingsPage {
    Q_OBJECT
public:
    // `sources` must outlive the page.
    explicit SettingsPageDrive(const SettingsFormSources& sources, QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    void driveChosen(int index);
    void showDriveEntries();
    void detect();

    const SettingsFormSources& sources_;
    // Per-drive entries of the window's copy, edited as the controls change.
    uint8_t commandType_[32] = {};
    uint8_t bigEndian_[32] = {};
    int drive_ = 0;

    QComboBox* device_;
    QRadioButton* aspi_;
    QRadioButton* spti_;
    QComboBox* commandType_Box_;
    QCheckBox* bigEndianBox_;
    QPushButton* detect_;
    QLineEdit* numSecRead_;
    QComboBox* speed_;
    QCheckBox* maxSpeed_;
    QComboBox* extract_;
    QCheckBox* rotate_;
    QCheckBox* rcd_;
    QCheckBox* lock_;
    QCheckBox* cdText_;
    QCheckBox* dp_;
    QCheckBox* volumeOnCd_;
};

}  // namespace melvarin
