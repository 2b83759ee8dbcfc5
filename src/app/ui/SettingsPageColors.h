#pragma once
#include "app/ui/SettingsPage.h"

namespace melvarin {

class ColorSwatchBox;

// Page 9: the colours of windows, input controls and the play bar.
class SettingsPageColors : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageColors(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    ColorSwatchBox* window_;
    ColorSwatchBox* control_;
    ColorSwatchBox* playBar_;
};

}  // namespace melvarin
