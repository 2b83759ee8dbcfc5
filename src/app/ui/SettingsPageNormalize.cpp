#include "app/ui/SettingsPageNormalize.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace melvarin {

SettingsPageNormalize::SettingsPageNormalize(QWidget* parent)
    : SettingsPage(QStringLiteral("Нормализация"), parent) {
    auto make = [this](const char* boxName, const QString& title, const char* edit1, const QString& text1,
                       const char* edit2, const QString& text2, QLineEdit*& a, QLineEdit*& b) {
        auto* g = group(boxName, title);
        auto* l = new QGridLayout(g);
        a = lineEdit(edit1, g);
        b = lineEdit(edit2, g);
        for (QLineEdit* e : {a, b}) {
            e->setMaxLength(3);
            e->setMaximumWidth(60);
        }
        l->addWidget(new QLabel(text1, g), 0, 0);
        l->addWidget(a, 0, 1);
        l->addWidget(new QLabel(QStringLiteral("%"), g), 0, 2);
        l->addWidget(new QLabel(text2, g), 1, 0);
        l->addWidget(b, 1, 1);
        l->addWidget(new QLabel(QStringLiteral("%"), g), 1, 2);
        l->setColumnStretch(3, 1);
    };
    make("QuietGroup", QStringLiteral("Слишком тихий сигнал"), "SetMinEdit",
         QStringLiteral("Пик ниже"), "MinEdit", QStringLiteral("Поднять до"), setMin_, min_);
    make("LoudGroup", QStringLiteral("Слишком громкий сигнал"), "SetMaxEdit",
         QStringLiteral("Пик выше"), "MaxEdit", QStringLiteral("Опустить до"), setMax_, max_);
    auto* note = new QLabel(QStringLiteral("Нормализация включается на странице «Общие»."), this);
    note->setObjectName(QStringLiteral("NormalizeNote"));
    note->setWordWrap(true);
    body()->addWidget(note);
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
