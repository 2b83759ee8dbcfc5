#pragma once
#include <vector>

#include "app/SettingsFormSources.h"
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QRadioButton;

namespace melvarin {

// Page 2: the MP3 encoder (LAME or an ACM MP3 codec) and its options.
class SettingsPageMp3 : public SettingsPage {
    Q_OBJECT
public:
    // `sources` must outlive the page.
    explicit SettingsPageMp3(const SettingsFormSources& sources, QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    void codecChanged(int index);
    void vbrChanged(int index);

    const SettingsFormSources& sources_;
    QGridLayout* grid_;
    // Controls shown only while the LAME library is the encoder.
    std::vector<QWidget*> lameOnly_;
    QComboBox* codec_;
    QLabel* formatLabel_;
    QComboBox* format_;
    QComboBox* maxBr_;
    QComboBox* mode_;
    QComboBox* vbr_;
    QComboBox* vbrQ_;
    QComboBox* quality_;
    QRadioButton* cbrButton_;
    QRadioButton* vbrButton_;
    QCheckBox* id1_;
    QCheckBox* id2_;
};

}  // namespace melvarin
