#pragma once
#include <array>

#include "app/ui/SettingsPage.h"

class QCheckBox;

namespace melvarin {

// Page 10: which buttons the main toolbar shows.
class SettingsPageButtons : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageButtons(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    std::array<QCheckBox*, 7> boxes_{};
};

}  // namespace melvarin
