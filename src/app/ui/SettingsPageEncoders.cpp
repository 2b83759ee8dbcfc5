#include "app/ui/SettingsPageEncoders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace melvarin {

namespace {

QStringList toList(const std::vector<std::string>& v) {
    QStringList out;
    for (const auto& s : v) out << QString::fromStdString(s);
    return out;
}

template <std::size_t N>
QStringList numbers(const std::array<int, N>& values) {
    QStringList out;
    for (int v : values) out << QString::number(v);
    return out;
}

int indexIn(uint32_t v, int count) { return v < uint32_t(count) ? int(v) : 0; }

}  // namespace

SettingsPageEncoders::SettingsPageEncoders(const SettingsFormSources& sources, QWidget* parent)
    : SettingsPage(QStringLiteral("APE/AAC/FLAC/ACM"), parent), sources_(sources) {
    auto* top = new QHBoxLayout;
    ext_ = comboBox("ExtEncoderBox", {QStringLiteral("Monkey's Audio (APE)"), QStringLiteral("FLAC"),
                                      QStringLiteral("AAC"), QStringLiteral("ACM")});
    top->addWidget(label("ExtEncoderLabel", QStringLiteral("Кнопка «Сграбить в другой формат»:")));
    top->addWidget(ext_, 1);
    body()->addLayout(top);

    panels_ = new QStackedWidget(this);
    panels_->setObjectName(QStringLiteral("ExtEncoderPanels"));
    panels_->addWidget(buildApe());
    panels_->addWidget(buildFlac());
    panels_->addWidget(buildAac());
    panels_->addWidget(buildAcm());
    body()->addWidget(panels_);

    connect(ext_, &QComboBox::currentIndexChanged, panels_, &QStackedWidget::setCurrentIndex);
}

QWidget* SettingsPageEncoders::buildApe() {
    auto* g = new QGroupBox(QStringLiteral("Monkey's Audio"), this);
    g->setObjectName(QStringLiteral("APEPanel"));
    auto* l = new QGridLayout(g);
    apeLevel_ = comboBox("APE_LevelBox", {QStringLiteral("Fast"), QStringLiteral("Normal"),
                                          QStringLiteral("High"), QStringLiteral("Extra High")}, g);
    apeMono_ = checkBox("APE_MonoBox", QStringLiteral("Моно"), g);
    l->addWidget(label("APE_LevelLabel", QStringLiteral("Сжатие"), g), 0, 0);
    l->addWidget(apeLevel_, 0, 1);
    l->addWidget(apeMono_, 1, 0, 1, 2);
    l->setColumnStretch(2, 1);
    l->setRowStretch(2, 1);
    return g;
}

QWidget* SettingsPageEncoders::buildFlac() {
    auto* g = new QGroupBox(QStringLiteral("FLAC"), this);
    g->setObjectName(QStringLiteral("FLACPanel"));
    auto* l = new QGridLayout(g);
    flacBar_ = new QSlider(Qt::Horizontal, g);
    flacBar_->setObjectName(QStringLiteral("FlacBar"));
    flacBar_->setRange(0, 8);
    flacBar_->setPageStep(1);
    flacBar_->setTickInterval(1);
    flacBar_->setTickPosition(QSlider::TicksBelow);
    flacLevelLabel_ = label("FlacLevelLabel", QString(), g);
    flacLevelLabel_->setMinimumWidth(70);
    lpcOrder_ = comboBox("LPCOrderBox", numbers(kFlacLpcOrders), g);
    blockSize_ = comboBox("BlockSizeBox", numbers(kFlacBlockSizes), g);
    rpoMin_ = lineEdit("RPOMinEdit", g);
    rpoMax_ = lineEdit("RPOMaxEdit", g);
    for (QLineEdit* e : {rpoMin_, rpoMax_}) {
        e->setMaxLength(2);
        e->setMaximumWidth(50);
    }
    escape_ = checkBox("EscapeCodingBox", QStringLiteral("Escape Coding"), g);
    ems_ = checkBox("EMSCodingBox", QStringLiteral("Exhaustive Model Search"), g);
    msc_ = new QRadioButton(QStringLiteral("Mid/Side Stereo"), g);
    msc_->setObjectName(QStringLiteral("MSCBox"));
    amsc_ = new QRadioButton(QStringLiteral("Adaptive Mid/Side Stereo"), g);
    amsc_->setObjectName(QStringLiteral("AMSCBox"));
    flacId1_ = checkBox("FLACWriteID1", QStringLiteral("Дописывать тег ID3v1"), g);

    l->addWidget(flacBar_, 0, 0, 1, 3);
    l->addWidget(flacLevelLabel_, 0, 3);
    l->addWidget(label("LPCOrderLabel", QStringLiteral("Max LPC Order"), g), 1, 0);
    l->addWidget(lpcOrder_, 1, 1);
    l->addWidget(label("BlockSizeLabel", QStringLiteral("Block Size"), g), 2, 0);
    l->addWidget(blockSize_, 2, 1);
    auto* rice = new QHBoxLayout;
    rice->addWidget(rpoMin_);
    rice->addWidget(new QLabel(QStringLiteral("–"), g));
    rice->addWidget(rpoMax_);
    rice->addStretch(1);
    l->addWidget(label("RPOLabel", QStringLiteral("Rice Partition Order"), g), 3, 0);
    l->addLayout(rice, 3, 1);
    l->addWidget(msc_, 1, 2, 1, 2);
    l->addWidget(amsc_, 2, 2, 1, 2);
    l->addWidget(escape_, 4, 0, 1, 2);
    l->addWidget(ems_, 4, 2, 1, 2);
    l->addWidget(flacId1_, 5, 0, 1, 2);
    l->setColumnStretch(1, 1);
    l->setColumnStretch(2, 1);

    connect(flacBar_, &QSlider::valueChanged, this, &SettingsPageEncoders::flacLevelChosen);
    return g;
}

QWidget* SettingsPageEncoders::buildAac() {
    auto* g = new QGroupBox(QStringLiteral("AAC"), this);
    g->setObjectName(QStringLiteral("AACPanel"));
    auto* l = new QGridLayout(g);
    QStringList rates;
    for (int kb : kAacBitrates) rates << qs(bitrateText(kb));
    aacBitrate_ = comboBox("FAACBitrateBox", rates, g);
    aacObject_ = comboBox("FAACObjectTypeBox", {QStringLiteral("Low Complexity"), QStringLiteral("Main"),
                                                QStringLiteral("Long Term Prediction")}, g);
    aacTns_ = checkBox("FAACUseTns", QStringLiteral("Temporal Noise Shaping"), g);
    aacMs_ = checkBox("FAACAllowMSBox", QStringLiteral("Mid/Side"), g);
    aacMpeg4_ = checkBox("FAACMPEG4Box", QStringLiteral("MPEG-4 (иначе MPEG-2)"), g);
    aacMono_ = checkBox("FAACMono", QStringLiteral("Моно"), g);
    l->addWidget(label("FAACBitrateLabel", QStringLiteral("Битрейт"), g), 0, 0);
    l->addWidget(aacBitrate_, 0, 1);
    l->addWidget(label("FAACObjectTypeLabel", QStringLiteral("Профиль"), g), 1, 0);
    l->addWidget(aacObject_, 1, 1);
    l->addWidget(aacTns_, 2, 0, 1, 2);
    l->addWidget(aacMs_, 3, 0, 1, 2);
    l->addWidget(aacMpeg4_, 4, 0, 1, 2);
    l->addWidget(aacMono_, 5, 0, 1, 2);
    l->setColumnStretch(2, 1);
    return g;
}

QWidget* SettingsPageEncoders::buildAcm() {
    auto* g = new QGroupBox(QStringLiteral("ACM"), this);
    g->setObjectName(QStringLiteral("ACMPanel"));
    auto* l = new QGridLayout(g);
    acmCodec_ = comboBox("ACMCodecBox", toList(sources_.acmCodecs), g);
    acmFormat_ = comboBox("ACMFormatBox", {}, g);
    acmExt_ = lineEdit("ACMFileExt", g);
    acmExt_->setMaxLength(5);
    acmExt_->setMaximumWidth(80);
    acmWaveHead_ = checkBox("ACMWriteWAVEHeadBox", QStringLiteral("Записывать заголовок WAVE"), g);
    acmTag_ = checkBox("ACMWriteTagBox", QStringLiteral("Записывать тег ID3v2"), g);
    acmId1_ = checkBox("ACMID1TagBox", QStringLiteral("Дописывать тег ID3v1"), g);
    l->addWidget(label("ACMCodecLabel", QStringLiteral("Кодек"), g), 0, 0);
    l->addWidget(acmCodec_, 0, 1);
    l->addWidget(label("ACMFormatLabel", QStringLiteral("Формат"), g), 1, 0);
    l->addWidget(acmFormat_, 1, 1);
    l->addWidget(label("ACMFileExtLabel", QStringLiteral("Расширение"), g), 2, 0);
    l->addWidget(acmExt_, 2, 1, Qt::AlignLeft);
    l->addWidget(acmWaveHead_, 3, 0, 1, 2);
    l->addWidget(acmTag_, 4, 0, 1, 2);
    l->addWidget(acmId1_, 5, 0, 1, 2);
    l->setColumnStretch(1, 1);

    connect(acmCodec_, &QComboBox::currentIndexChanged, this, &SettingsPageEncoders::acmCodecChanged);
    connect(acmWaveHead_, &QCheckBox::toggled, acmTag_, [this](bool head) { acmTag_->setEnabled(!head); });
    return g;
}

void SettingsPageEncoders::flacLevelChosen(int level) {
    const FlacLevel f = flacLevel(level);
    lpcOrder_->setCurrentIndex(f.lpcOrderIndex);
    blockSize_->setCurrentIndex(f.blockSizeIndex);
    rpoMin_->setText(QString::number(f.riceMin));
    rpoMax_->setText(QString::number(f.riceMax));
    ems_->setChecked(f.exhaustiveSearch);
    (f.adaptiveMidSide ? amsc_ : msc_)->setChecked(true);
    escape_->setChecked(false);
    flacLevelLabel_->setText(qs(flacLevelText(level)));
}

void SettingsPageEncoders::acmCodecChanged(int index) {
    acmFormat_->clear();
    if (index >= 0 && sources_.acmFormats) acmFormat_->addItems(toList(sources_.acmFormats(index)));
    acmFormat_->setCurrentIndex(acmFormat_->count() > 0 ? 0 : -1);
}

void SettingsPageEncoders::load(const SettingsRecord& s) {
    const EncoderConfig& e = s.EncoderConfig;
    ext_->setCurrentIndex(indexIn(e.ExtEncoder, 4));
    panels_->setCurrentIndex(ext_->currentIndex());

    apeLevel_->setCurrentIndex(indexIn(e.APE_Level, 4));
    apeMono_->setChecked(e.APE_Mono);

    // The level bar only fills the controls; the stored options are shown after it.
    {
        const QSignalBlocker block(flacBar_);
        flacBar_->setValue(kFlacDefaultLevel);
    }
    flacLevelLabel_->setText(qs(flacLevelText(kFlacDefaultLevel)));
    lpcOrder_->setCurrentIndex(indexIn(e.LPCOrder, lpcOrder_->count()));
    blockSize_->setCurrentIndex(indexIn(e.BlockSize, blockSize_->count()));
    rpoMin_->setText(QString::number(e.RPOMin));
    rpoMax_->setText(QString::number(e.RPOMax));
    escape_->setChecked(e.EscapeCoding);
    ems_->setChecked(e.EMSCoding);
    (e.AMSC && !e.MSC ? amsc_ : msc_)->setChecked(true);
    flacId1_->setChecked(e.FLACWriteID1);

    aacBitrate_->setCurrentIndex(indexIn(e.FAACBitrate, aacBitrate_->count()));
    aacObject_->setCurrentIndex(indexIn(e.FAACObjectType, 3));
    aacTns_->setChecked(e.FAACUseTns);
    aacMs_->setChecked(e.FAACAllowMS);
    aacMpeg4_->setChecked(e.FAACMPEG4);
    aacMono_->setChecked(e.FAACMono);

    if (e.ACMCodec < uint32_t(acmCodec_->count())) {
        acmCodec_->setCurrentIndex(int(e.ACMCodec));
        acmCodecChanged(int(e.ACMCodec));
        if (e.ACMFormat < uint32_t(acmFormat_->count())) acmFormat_->setCurrentIndex(int(e.ACMFormat));
    }
    acmExt_->setText(qs(getText(e.ACMFileExt)));
    acmWaveHead_->setChecked(e.ACMWriteWAVEHead);
    acmTag_->setChecked(e.ACMWriteTag);
    acmTag_->setEnabled(!e.ACMWriteWAVEHead);
    acmId1_->setChecked(e.ACMID1Tag);
}

void SettingsPageEncoders::store(SettingsRecord& s) {
    EncoderConfig& e = s.EncoderConfig;
    e.ExtEncoder = uint32_t(ext_->currentIndex());
    e.APE_Level = uint32_t(apeLevel_->currentIndex());
    e.APE_Mono = flag(apeMono_);

    e.LPCOrder = uint8_t(lpcOrder_->currentIndex());
    e.BlockSize = uint8_t(blockSize_->currentIndex());
    e.RPOMin = uint8_t(parseNumber(ss(rpoMin_->text()), 0, 15, kFallbackRicePartitionOrder));
    e.RPOMax = uint8_t(parseNumber(ss(rpoMax_->text()), 0, 15, kFallbackRicePartitionOrder));
    e.EscapeCoding = flag(escape_);
    e.EMSCoding = flag(ems_);
    e.MSC = flag(msc_);
    e.AMSC = flag(amsc_);
    e.FLACWriteID1 = flag(flacId1_);

    e.FAACBitrate = uint32_t(aacBitrate_->currentIndex());
    e.FAACObjectType = uint32_t(aacObject_->currentIndex());
    e.FAACUseTns = flag(aacTns_);
    e.FAACAllowMS = flag(aacMs_);
    e.FAACMPEG4 = flag(aacMpeg4_);
    e.FAACMono = flag(aacMono_);

    // Without installed codecs the lists are empty and the stored choice is kept.
    if (acmCodec_->currentIndex() >= 0) e.ACMCodec = uint32_t(acmCodec_->currentIndex());
    if (acmFormat_->currentIndex() >= 0) e.ACMFormat = uint32_t(acmFormat_->currentIndex());
    const std::string ext = normalizeAcmExt(ss(acmExt_->text()));
    setText(e.ACMFileExt, ext);
    acmExt_->setText(qs(ext));
    e.ACMWriteWAVEHead = flag(acmWaveHead_);
    e.ACMWriteTag = flag(acmTag_);
    e.ACMID1Tag = flag(acmId1_);
}

}  // namespace melvarin
