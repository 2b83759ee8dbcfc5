#include "app/ui/SettingsPageNormalize.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace melvarin {

SettingsPageNormalize::SettingsPageNormalize(QWidget* parent)
    : SettingsPage(caption("TreeView1", TextRole::Node, 7), parent) {
    const auto make = [this](const char* boxName, const char* label1, const char* edit1, const char* label2,
                             const char* edit2, QLineEdit*& a, QLineEdit*& b) {
        auto* g = group(boxName);
        auto* l = new QGridLayout(g);
        a = lineEdit(edit1, g);
        b = lineEdit(edit2, g);
        for (QLineEdit* e : {a, b}) {
            e->setMaxLength(3);
            e->setMaximumWidth(60);
        }
        l->addWidget(label(label1, caption(label1), g), 0, 0);
        l->addWidget(a, 0, 1);
        l->addWidget(label(label2, caption(label2), g), 1, 0);
        l->addWidget(b, 1, 1);
        l->setColumnStretch(2, 1);
    };
    make("QuietGroup", "SetMinLabel", "SetMinEdit", "MinLabel", "MinEdit", setMin_, min_);
    make("LoudGroup", "SetMaxLabel", "SetMaxEdit", "MaxLabel", "MaxEdit", setMax_, max_);
}

void SettingsPageNormalize::load(const SettingsRecord& s) {
    setMin_->setText(QString::number(s.EncoderConfig.SetMin));
    min_->setText(QString::number(s.EncoderConfig.Min));
    setMax_->setText(QString::number(s.EncoderConfig.SetMax));
    max_->setText(QString::number(s.EncoderConfig.Max));
}

void SettingsPageNormalize::store(SettingsRecord& s) {
    const auto percent = [](const QLineEdit* e, long fallback) {
        return uint8_t(parseNumber(ss(e->text()), 0, 100, fallback));
    };
    s.EncoderConfig.SetMin = percent(setMin_, kFallbackSetMin);
    s.EncoderConfig.Min = percent(min_, kFallbackSetMin);
    s.EncoderConfig.SetMax = percent(setMax_, kFallbackSetMax);
    s.EncoderConfig.Max = percent(max_, kFallbackSetMax);
}

}  // namespace melvarin
