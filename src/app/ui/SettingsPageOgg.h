#pragma once
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace melvarin {

// Page 3: Ogg Vorbis, either by quality or by managed bitrates.
class SettingsPageOgg : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageOgg(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    void updateEnabled();

    QCheckBox* qualityMode_;
    QSlider* bar_;
    QLabel* qualityLabel_;
    QComboBox* minBr_;
    QComboBox* nomBr_;
    QComboBox* maxBr_;
    QCheckBox* id1_;
};

}  // namespace melvarin
