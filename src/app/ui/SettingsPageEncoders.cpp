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
    : SettingsPage(caption("TreeView1", TextRole::Node, 6), parent), sources_(sources) {
    auto* top = new QHBoxLayout;
    ext_ = comboBox("ExtEncoderBox", {QStringLiteral("Monkey's Audio (APE)"), QStringLiteral("FLAC"),
                                      QStringLiteral("AAC"), QStringLiteral("ACM")});
    top->addWidget(label("ExtEncoderLabel", caption("ExtEncoderLabel")));
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
    QStringList levels;
    for (int i = 0; i < 4; ++i) levels << caption("APE_LevelBox", TextRole::Item, i);
    apeLevel_ = comboBox("APE_LevelBox", levels, g);
    apeMono_ = checkBox("APE_MonoBox", caption("APE_MonoBox"), g);
    l->addWidget(label("APE_LevelLabel", caption("APE_LevelLabel"), g), 0, 0);
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
    escape_ = checkBox("EscapeCodingBox", caption("EscapeCodingBox"), g);
    ems_ = checkBox("EMSCodingBox", caption("EMSCodingBox"), g);
    msc_ = new QRadioButton(caption("MSCBox"), g);
    msc_->setObjectName(QStringLiteral("MSCBox"));
    amsc_ = new QRadioButton(caption("AMSCBox"), g);
    amsc_->setObjectName(QStringLiteral("AMSCBox"));
    flacId1_ = checkBox("FLACWriteID1", caption("FLACWriteID1"), g);

    auto* level = new QHBoxLayout;
    level->addWidget(flacBar_, 1);
    level->addWidget(flacLevelLabel_);
    l->addWidget(label("FlacLevelCaption", caption("FlacLevelCaption"), g), 0, 0);
    l->addLayout(level, 0, 1, 1, 3);
    l->addWidget(label("BlockSizeLabel", caption("BlockSizeLabel"), g), 1, 0);
    l->addWidget(blockSize_, 1, 1);
    l->addWidget(label("LPCOrderLabel", caption("LPCOrderLabel"), g), 2, 0);
    l->addWidget(lpcOrder_, 2, 1);
    l->addWidget(label("RPOMinLabel", caption("RPOMinLabel"), g), 3, 0);
    l->addWidget(rpoMin_, 3, 1);
    l->addWidget(label("RPOMaxLabel", caption("RPOMaxLabel"), g), 4, 0);
    l->addWidget(rpoMax_, 4, 1);
    l->addWidget(msc_, 1, 2, 1, 2);
    l->addWidget(amsc_, 2, 2, 1, 2);
    l->addWidget(ems_, 3, 2, 1, 2);
    l->addWidget(escape_, 4, 2, 1, 2);
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
    aacTns_ = checkBox("FAACUseTns", caption("FAACUseTns"), g);
    aacMs_ = checkBox("FAACAllowMSBox", caption("FAACAllowMSBox"), g);
    aacMpeg4_ = checkBox("FAACMPEG4Box", caption("FAACMPEG4Box"), g);
    aacMono_ = checkBox("FAACMono", caption("FAACMono"), g);
    l->addWidget(label("FAACBitrateLabel", caption("FAACBitrateLabel"), g), 0, 0);
    l->addWidget(aacBitrate_, 0, 1);
    l->addWidget(label("FAACObjectTypeLabel", caption("FAACObjectTypeLabel"), g), 1, 0);
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
    acmWaveHead_ = checkBox("ACMWriteWAVEHeadBox", caption("ACMWriteWAVEHeadBox"), g);
    acmTag_ = checkBox("ACMWriteTagBox", caption("ACMWriteTagBox"), g);
    acmId1_ = checkBox("ACMID1TagBox", caption("ACMID1TagBox"), g);
    l->addWidget(label("ACMCodecLabel", caption("ACMCodecLabel"), g), 0, 0);
    l->addWidget(acmCodec_, 0, 1);
    l->addWidget(label("ACMFormatLabel", caption("ACMFormatLabel"), g), 1, 0);
    l->addWidget(acmFormat_, 1, 1);
    l->addWidget(label("ACMFileExtLabel", caption("ACMFileExtLabel"), g), 2, 0);
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
