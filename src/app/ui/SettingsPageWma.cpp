#include "app/ui/SettingsPageWma.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace melvarin {

SettingsPageWma::SettingsPageWma(QWidget* parent) : SettingsPage(caption("TreeView1", TextRole::Node, 5), parent) {
    auto* g = group("WMAGroup");
    auto* l = new QGridLayout(g);
    QStringList items;
    for (int kb : kWmaBitrates) items << qs(bitrateText(kb));
    bitrate_ = comboBox("WMABitrateBox", items, g);
    drm_ = checkBox("UseDRMBox", caption("UseDRMBox"), g);
    l->addWidget(label("WMABitrateLabel", caption("WMABitrateLabel"), g), 0, 0);
    l->addWidget(bitrate_, 0, 1);
    l->addWidget(drm_, 1, 0, 1, 2);
    l->setColumnStretch(2, 1);
}

void SettingsPageWma::load(const SettingsRecord& s) {
    const uint8_t b = s.EncoderConfig.WMABitrate;
    bitrate_->setCurrentIndex(b < kWmaBitrates.size() ? b : 0);
    drm_->setChecked(s.EncoderConfig.UseDRM);
}

void SettingsPageWma::store(SettingsRecord& s) {
    s.EncoderConfig.WMABitrate = uint8_t(bitrate_->currentIndex());
    s.EncoderConfig.UseDRM = flag(drm_);
}

}  // namespace melvarin
