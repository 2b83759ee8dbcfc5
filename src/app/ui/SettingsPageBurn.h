#pragma once
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace melvarin {

// Page 11: how discs are written, and the sound played when a burn or a grab
// ends.
class SettingsPageBurn : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsPageBurn(QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    void updateEnabled();

    QComboBox* speed_;
    QComboBox* priority_;
    QComboBox* blockCount_;
    QCheckBox* ask_;
    QCheckBox* opc_;
    QCheckBox* eject_;
    QCheckBox* writeCue_;
    QCheckBox* nonStop_;
    QCheckBox* saveLast_;
    QCheckBox* playSound_;
    QLineEdit* fileName_;
    QToolButton* browse_;
};

}  // namespace melvarin
