#include "app/ui/SettingsPageMp3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Messages.h"
#include "app/SettingsFormRules.h"

namespace melvarin {

namespace {

QStringList toList(const std::vector<std::string>& v) {
    QStringList out;
    for (const auto& s : v) out << QString::fromStdString(s);
    return out;
}

}  // namespace

SettingsPageMp3::SettingsPageMp3(const SettingsFormSources& sources, QWidget* parent)
    : SettingsPage(QStringLiteral("MP3"), parent), sources_(sources) {
    auto* enc = group("EncoderGroup", QStringLiteral("Кодер"));
    auto* eg = new QGridLayout(enc);
    QStringList codecs{qs(sources_.lameName)};
    codecs << toList(sources_.acmMp3Codecs);
    codec_ = comboBox("CodecBox", codecs, enc);
    formatLabel_ = label("FormatLabel", QString(), enc);
    format_ = comboBox("FormatBox", {}, enc);
    eg->addWidget(label("CodecLabel", QStringLiteral("Кодек"), enc), 0, 0);
    eg->addWidget(codec_, 0, 1, 1, 3);
    eg->addWidget(formatLabel_, 1, 0);
    eg->addWidget(format_, 1, 1);
    eg->setColumnStretch(1, 1);
    eg->setColumnStretch(3, 1);

    // Controls that exist only for the LAME library.
    lameOnly_ = new QWidget(enc);
    auto* lg = new QGridLayout(lameOnly_);
    lg->setContentsMargins(0, 0, 0, 0);
    const QStringList rates = toList(lameBitrateTexts());
    maxBr_ = comboBox("MaxBR", rates, lameOnly_);
    mode_ = comboBox("LameModeBox", {QStringLiteral("Stereo"), QStringLiteral("Joint Stereo"),
                                     QStringLiteral("Dual Channel"), QStringLiteral("Mono")}, lameOnly_);
    vbr_ = comboBox("VBRBox", {QStringLiteral("None"), QStringLiteral("Default"), QStringLiteral("OLD"),
                               QStringLiteral("NEW"), QStringLiteral("MTRH")}, lameOnly_);
    QStringList q;
    for (int i = 0; i <= 9; ++i) q << QString::number(i);
    vbrQ_ = comboBox("VBRQBox", q, lameOnly_);
    QStringList presets;
    for (const char* n : kLameQualityNames) presets << QString::fromUtf8(n);
    quality_ = comboBox("LameQualityBox", presets, lameOnly_);
    cbrButton_ = new QRadioButton(QStringLiteral("Постоянный битрейт (CBR)"), lameOnly_);
    cbrButton_->setObjectName(QStringLiteral("CBRButton"));
    vbrButton_ = new QRadioButton(QStringLiteral("Переменный битрейт (VBR)"), lameOnly_);
    vbrButton_->setObjectName(QStringLiteral("VBRButton"));

    lg->addWidget(cbrButton_, 0, 0, 1, 2);
    lg->addWidget(vbrButton_, 0, 2, 1, 2);
    lg->addWidget(label("MaxBRLabel", QStringLiteral("Битрейт: макс"), lameOnly_), 1, 0);
    lg->addWidget(maxBr_, 1, 1);
    lg->addWidget(label("LameModeLabel", QStringLiteral("Режим"), lameOnly_), 1, 2);
    lg->addWidget(mode_, 1, 3);
    lg->addWidget(label("VBRLabel", QStringLiteral("Метод VBR"), lameOnly_), 2, 0);
    lg->addWidget(vbr_, 2, 1);
    lg->addWidget(label("VBRQLabel", QStringLiteral("Качество VBR"), lameOnly_), 2, 2);
    lg->addWidget(vbrQ_, 2, 3);
    lg->addWidget(label("LameQualityLabel", QStringLiteral("Пресет"), lameOnly_), 3, 0);
    lg->addWidget(quality_, 3, 1);
    lg->setColumnStretch(1, 1);
    lg->setColumnStretch(3, 1);
    eg->addWidget(lameOnly_, 2, 0, 1, 4);

    auto* tags = group("MP3TagGroup", QStringLiteral("Теги"));
    auto* tl = new QHBoxLayout(tags);
    id1_ = checkBox("MP3ID1TagBox", QStringLiteral("ID3v1"), tags);
    id2_ = checkBox("MP3ID2TagBox", QStringLiteral("ID3v2"), tags);
    tl->addWidget(id1_);
    tl->addWidget(id2_);
    tl->addStretch(1);

    connect(codec_, &QComboBox::currentIndexChanged, this, &SettingsPageMp3::codecChanged);
    connect(vbr_, &QComboBox::currentIndexChanged, this, &SettingsPageMp3::vbrChanged);
    connect(cbrButton_, &QRadioButton::clicked, this, [this] { vbr_->setCurrentIndex(0); });
    connect(vbrButton_, &QRadioButton::clicked, this, [this] {
        if (vbr_->currentIndex() == 0) vbr_->setCurrentIndex(1);
    });
}

void SettingsPageMp3::codecChanged(int index) {
    const bool lame = index <= 0;
    format_->clear();
    if (lame) {
        format_->addItems(toList(lameBitrateTexts()));
        formatLabel_->setText(qs(Message(35)));
    } else {
        if (sources_.acmMp3Formats) format_->addItems(toList(sources_.acmMp3Formats(index - 1)));
        formatLabel_->setText(qs(Message(36)));
    }
    lameOnly_->setVisible(lame);
}

void SettingsPageMp3::vbrChanged(int index) {
    (index > 0 ? vbrButton_ : cbrButton_)->setChecked(true);
    vbrQ_->setEnabled(index > 0);
    maxBr_->setEnabled(index > 0);
}

void SettingsPageMp3::load(const SettingsRecord& s) {
    const EncoderConfig& e = s.EncoderConfig;
    int codec = e.UseLame ? 0 : int(e.Codec) + 1;
    if (codec >= codec_->count()) codec = 0;
    codec_->setCurrentIndex(codec);
    codecChanged(codec);
    if (codec == 0) {
        format_->setCurrentIndex(lameBitrateIndex(e.LameBitrate));
    } else {
        format_->setCurrentIndex(e.Format < format_->count() ? e.Format : 0);
    }
    maxBr_->setCurrentIndex(lameBitrateIndex(e.MaxBR));
    mode_->setCurrentIndex(e.LameMode < 4 ? int(e.LameMode) : 1);
    const int vbrIndex = int8_t(e.VBRMethod & 0xFF) + 1;  // low byte 255 means "None"
    vbr_->setCurrentIndex(vbrIndex >= 0 && vbrIndex < vbr_->count() ? vbrIndex : 0);
    vbrChanged(vbr_->currentIndex());
    vbrQ_->setCurrentIndex(e.VBRQ <= 9 ? int(e.VBRQ) : 0);
    quality_->setCurrentIndex(lameQualityIndex(e.LameQuality));
    id1_->setChecked(e.MP3ID1Tag);
    id2_->setChecked(e.MP3ID2Tag);
}

void SettingsPageMp3::store(SettingsRecord& s) {
    EncoderConfig& e = s.EncoderConfig;
    const int codec = codec_->currentIndex();
    e.UseLame = codec <= 0 ? 1 : 0;
    e.Codec = codec <= 0 ? 0 : uint32_t(codec - 1);
    e.Format = uint16_t(std::max(0, format_->currentIndex()));
    if (codec <= 0) {
        e.LameBitrate = lameBitrateFromIndex(format_->currentIndex());
        e.MaxBR = lameBitrateFromIndex(maxBr_->currentIndex());
        e.LameMode = uint32_t(std::max(0, mode_->currentIndex()));
        e.VBRMethod = vbr_->currentIndex() - 1;
        e.VBR = vbr_->currentIndex() > 0 ? 1 : 0;
        e.VBRQ = uint32_t(std::max(0, vbrQ_->currentIndex()));
        e.LameQuality = lameQualityFromIndex(quality_->currentIndex());
    }
    e.MP3ID1Tag = flag(id1_);
    e.MP3ID2Tag = flag(id2_);
}

}  // namespace melvarin
