#pragma once
#include "app/ui/SettingsPage.h"

class QLineEdit;

namespace melvarin {

// Page 6: thresholds and targets of the volume normalisation, in percent.
class SettingsPageNormalize : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageNormalize(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    QLineEdit* setMin_;
    QLineEdit* min_;
    QLineEdit* setMax_;
    QLineEdit* max_;
};

}  // namespace melvarin
