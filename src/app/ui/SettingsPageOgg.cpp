#include "app/ui/SettingsPageOgg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace melvarin {

SettingsPageOgg::SettingsPageOgg(QWidget* parent) : SettingsPage(caption("TreeView1", TextRole::Node, 4), parent) {
    auto* quality = group("OggQualityGroup");
    auto* ql = new QGridLayout(quality);
    qualityMode_ = checkBox("OggQualityBox", caption("OggQualityBox"), quality);
    bar_ = new QSlider(Qt::Horizontal, quality);
    bar_->setObjectName(QStringLiteral("OggBar"));
    bar_->setRange(kOggBarMin, kOggBarMax);
    bar_->setSingleStep(10);
    bar_->setPageStep(100);
    bar_->setTickInterval(100);
    bar_->setTickPosition(QSlider::TicksBelow);
    qualityLabel_ = label("QualityLabel", QString(), quality);
    qualityLabel_->setAlignment(Qt::AlignCenter);
    ql->addWidget(qualityMode_, 0, 0, 1, 2);
    ql->addWidget(label("OggQualityCaption", caption("OggQualityCaption"), quality), 1, 0);
    ql->addWidget(bar_, 1, 1);
    ql->addWidget(qualityLabel_, 2, 1);
    ql->setColumnStretch(1, 1);

    auto* rates = group("OggBitrateGroup");
    auto* rl = new QGridLayout(rates);
    QStringList items;
    for (int kb : kOggBitrates) items << qs(bitrateText(kb));
    minBr_ = comboBox("OggMinBRBox", items, rates);
    nomBr_ = comboBox("OggNomBRBox", items, rates);
    maxBr_ = comboBox("OggMaxBRBox", items, rates);
    rl->addWidget(label("OggMinBRLabel", caption("OggMinBRLabel"), rates), 0, 0);
    rl->addWidget(minBr_, 0, 1);
    rl->addWidget(label("OggNomBRLabel", caption("OggNomBRLabel"), rates), 1, 0);
    rl->addWidget(nomBr_, 1, 1);
    rl->addWidget(label("OggMaxBRLabel", caption("OggMaxBRLabel"), rates), 2, 0);
    rl->addWidget(maxBr_, 2, 1);
    rl->setColumnStretch(2, 1);

    auto* tags = group("OggTagGroup");
    auto* tl = new QVBoxLayout(tags);
    id1_ = checkBox("OGGID1TagBox", caption("OGGID1TagBox"), tags);
    tl->addWidget(id1_);

    connect(bar_, &QSlider::valueChanged, this,
            [this](int pos) { qualityLabel_->setText(qs(oggQualityText(pos))); });
    connect(qualityMode_, &QCheckBox::toggled, this, [this] { updateEnabled(); });
}

void SettingsPageOgg::updateEnabled() {
    const bool quality = qualityMode_->isChecked();
    bar_->setEnabled(quality);
    qualityLabel_->setEnabled(quality);
    for (QComboBox* b : {minBr_, nomBr_, maxBr_}) b->setEnabled(!quality);
}

void SettingsPageOgg::load(const SettingsRecord& s) {
    const EncoderConfig& e = s.EncoderConfig;
    const auto index = [](uint32_t v) { return v < kOggBitrates.size() ? int(v) : 0; };
    qualityMode_->setChecked(e.OggQuality);
    bar_->setValue(oggBarPosition(e.OggQualityLevel));
    qualityLabel_->setText(qs(oggQualityText(bar_->value())));
    minBr_->setCurrentIndex(index(e.OggMinBR));
    nomBr_->setCurrentIndex(index(e.OggNomBR));
    maxBr_->setCurrentIndex(index(e.OggMaxBR));
    id1_->setChecked(e.OGGID1Tag);
    updateEnabled();
}

void SettingsPageOgg::store(SettingsRecord& s) {
    EncoderConfig& e = s.EncoderConfig;
    e.OggQuality = flag(qualityMode_);
    e.OggQualityLevel = oggQualityFromBar(bar_->value());
    e.OggMinBR = uint32_t(minBr_->currentIndex());
    e.OggNomBR = uint32_t(nomBr_->currentIndex());
    e.OggMaxBR = uint32_t(maxBr_->currentIndex());
    e.OGGID1Tag = flag(id1_);
}

}  // namespace melvarin
