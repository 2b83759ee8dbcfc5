#pragma once
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;

namespace melvarin {

// Page 4: Windows Media Audio bitrate and protection.
class SettingsPageWma : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageWma(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    QComboBox* bitrate_;
    QCheckBox* drm_;
};

}  // namespace melvarin
