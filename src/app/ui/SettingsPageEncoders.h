#pragma once
#include "app/SettingsFormSources.h"
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QStackedWidget;

namespace melvarin {

// Page 5: the encoder behind the "other format" button and the options of
// Monkey's Audio, FLAC, AAC and the ACM codecs, one sub-panel each.
class SettingsPageEncoders : public SettingsPage {
    Q_OBJECT
public:
    // `sources` must outlive the page.
    explicit SettingsPageEncoders(const SettingsFormSources& sources, QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    QWidget* buildApe();
    QWidget* buildFlac();
    QWidget* buildAac();
    QWidget* buildAcm();
    void flacLevelChosen(int level);
    void acmCodecChanged(int index);

    const SettingsFormSources& sources_;
    QComboBox* ext_;
    QStackedWidget* panels_;

    QComboBox* apeLevel_;
    QCheckBox* apeMono_;

    QSlider* flacBar_;
    QLabel* flacLevelLabel_;
    QComboBox* lpcOrder_;
    QComboBox* blockSize_;
    QLineEdit* rpoMin_;
    QLineEdit* rpoMax_;
    QCheckBox* escape_;
    QCheckBox* ems_;
    QRadioButton* msc_;
    QRadioButton* amsc_;
    QCheckBox* flacId1_;

    QComboBox* aacBitrate_;
    QCheckBox* aacTns_;
    QCheckBox* aacMs_;
    QComboBox* aacObject_;
    QCheckBox* aacMpeg4_;
    QCheckBox* aacMono_;

    QComboBox* acmCodec_;
    QComboBox* acmFormat_;
    QLineEdit* acmExt_;
    QCheckBox* acmWaveHead_;
    QCheckBox* acmTag_;
    QCheckBox* acmId1_;
};

}  // namespace melvarin
