#pragma once
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace melvarin {

// Page 0: what happens around a grab, and the sound played when a job ends.
class SettingsPageGeneral : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageGeneral(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    void updateEnabled();

    QCheckBox* onTheFly_;
    QCheckBox* normalize_;
    QCheckBox* eject_;
    QCheckBox* shutComp_;
    QCheckBox* priority_;
    QCheckBox* cue_;
    QCheckBox* mp3AsOgg_;
    QCheckBox* editTag_;
    QCheckBox* showGrid_;
    QCheckBox* autoPlay_;
    QCheckBox* playSound_;
    QLineEdit* fileName_;
    QToolButton* browse_;
};

}  // namespace melvarin
