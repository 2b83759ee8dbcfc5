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
    : SettingsPage(caption("TreeView1", TextRole::Node, 3), parent), sources_(sources) {
    auto* enc = group("EncoderGroup");
    auto* g = grid_ = new QGridLayout(enc);
    QStringList codecs{qs(sources_.lameName)};
    codecs << toList(sources_.acmMp3Codecs);
    codec_ = comboBox("CodecBox", codecs, enc);
    formatLabel_ = label("FormatLabel", QString(), enc);
    format_ = comboBox("FormatBox", {}, enc);
    const QStringList rates = toList(lameBitrateTexts());
    maxBr_ = comboBox("MaxBR", rates, enc);
    mode_ = comboBox("LameModeBox", {QStringLiteral("Stereo"), QStringLiteral("Joint Stereo"),
                                     QStringLiteral("Dual Channel"), QStringLiteral("Mono")}, enc);
    vbr_ = comboBox("VBRBox", {QStringLiteral("None"), QStringLiteral("Default"), QStringLiteral("OLD"),
                               QStringLiteral("NEW"), QStringLiteral("MTRH")}, enc);
    QStringList q;
    for (int i = 0; i <= 9; ++i) q << QString::number(i);
    vbrQ_ = comboBox("VBRQBox", q, enc);
    QStringList presets;
    for (int i = 0; i < int(kLameQualityValues.size()); ++i) presets << caption("LameQualityBox", TextRole::Item, i);
    quality_ = comboBox("LameQualityBox", presets, enc);
    cbrButton_ = new QRadioButton(caption("CBRBtn"), enc);
    cbrButton_->setObjectName(QStringLiteral("CBRBtn"));
    vbrButton_ = new QRadioButton(caption("VBRBtn"), enc);
    vbrButton_->setObjectName(QStringLiteral("VBRBtn"));
    QLabel* maxBrLabel = label("MaxBRLabel", caption("MaxBRLabel"), enc);

    g->addWidget(label("CodecLabel", caption("CodecLabel"), enc), 0, 0);
    g->addWidget(codec_, 0, 1, 1, 3);
    g->addWidget(cbrButton_, 1, 1);
    g->addWidget(vbrButton_, 1, 2, 1, 2);
    g->addWidget(formatLabel_, 2, 0);
    g->addWidget(format_, 2, 1);
    g->addWidget(maxBrLabel, 2, 2, Qt::AlignRight);
    g->addWidget(maxBr_, 2, 3);
    QLabel* modeLabel = label("LameModeLabel", caption("LameModeLabel"), enc);
    QLabel* vbrLabel = label("VBRLabel", caption("VBRLabel"), enc);
    QLabel* vbrQLabel = label("VBRQLabel", caption("VBRQLabel"), enc);
    QLabel* qualityLabel = label("LameQualityLabel", caption("LameQualityLabel"), enc);
    g->addWidget(modeLabel, 3, 0);
    g->addWidget(mode_, 3, 1);
    g->addWidget(vbrLabel, 4, 0);
    g->addWidget(vbr_, 4, 1);
    g->addWidget(vbrQLabel, 4, 2, Qt::AlignRight);
    g->addWidget(vbrQ_, 4, 3);
    g->addWidget(qualityLabel, 5, 0);
    g->addWidget(quality_, 5, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    lameOnly_ = {maxBrLabel, maxBr_, modeLabel, mode_, vbrLabel, vbr_, vbrQLabel, vbrQ_,
                 qualityLabel, quality_, cbrButton_, vbrButton_};

    auto* tags = group("MP3TagGroup");
    auto* tl = new QVBoxLayout(tags);
    id1_ = checkBox("MP3ID1TagBox", caption("MP3ID1TagBox"), tags);
    id2_ = checkBox("MP3ID2TagBox", caption("MP3ID2TagBox"), tags);
    tl->addWidget(id1_);
    tl->addWidget(id2_);

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
    for (QWidget* w : lameOnly_) w->setVisible(lame);
    // An ACM codec's format list takes the full width of the codec list.
    grid_->removeWidget(format_);
    grid_->addWidget(format_, 2, 1, 1, lame ? 1 : 3);
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
