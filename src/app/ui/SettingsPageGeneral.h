#pragma once
#include "app/ui/SettingsPage.h"

class QCheckBox;

namespace melvarin {

// Page 0: what happens around a grab, and a few program-wide switches.
class SettingsPageGeneral : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageGeneral(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:

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
};

}  // namespace melvarin
