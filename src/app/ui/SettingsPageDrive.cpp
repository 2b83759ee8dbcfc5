#include "app/ui/SettingsPageDrive.h"

#include <cstring>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace melvarin {

SettingsPageDrive::SettingsPageDrive(const SettingsFormSources& sources, QWidget* parent)
    : SettingsPage(caption("TreeView1", TextRole::Node, 8), parent), sources_(sources) {
    auto* drive = group("DriveGroup");
    auto* dl = new QGridLayout(drive);
    QStringList drives;
    for (const auto& d : sources_.drives) drives << qs(d);
    device_ = comboBox("DeviceName", drives, drive);
    QStringList types;
    for (const char* t : kCommandTypeNames) types << QString::fromUtf8(t);
    commandType_Box_ = comboBox("CommandTypeBox", types, drive);
    bigEndianBox_ = checkBox("BigEndianBox", caption("BigEndianBox"), drive);
    detect_ = new QPushButton(caption("DetReadCommand"), drive);
    detect_->setObjectName(QStringLiteral("DetReadCommand"));
    detect_->setEnabled(bool(sources_.detectReadCommand));
    numSecRead_ = lineEdit("NumSecReadEdit", drive);
    numSecRead_->setMaxLength(3);
    numSecRead_->setMaximumWidth(60);

    auto* transport = new QGroupBox(caption("InterfaceGroup"), drive);
    transport->setObjectName(QStringLiteral("InterfaceGroup"));
    auto* tl = new QHBoxLayout(transport);
    aspi_ = new QRadioButton(QStringLiteral("ASPI (SCSI generic, /dev/sg*)"), transport);
    aspi_->setObjectName(QStringLiteral("ASPIBtn"));
    spti_ = new QRadioButton(QStringLiteral("SPTI (/dev/sr*)"), transport);
    spti_->setObjectName(QStringLiteral("SPTIBtn"));
    aspi_->setEnabled(sources_.aspiAvailable);
    spti_->setEnabled(sources_.sptiAvailable);
    tl->addWidget(aspi_);
    tl->addWidget(spti_);
    tl->addStretch(1);

    dl->addWidget(label("DeviceNameLabel", caption("DeviceNameLabel"), drive), 0, 0);
    dl->addWidget(device_, 0, 1, 1, 3);
    dl->addWidget(transport, 1, 0, 1, 4);
    dl->addWidget(label("CommandTypeLabel", caption("CommandTypeLabel"), drive), 2, 0);
    dl->addWidget(commandType_Box_, 2, 1, 1, 2);
    dl->addWidget(detect_, 2, 3);
    dl->addWidget(label("NumSecReadLabel", caption("NumSecReadLabel"), drive), 3, 0);
    dl->addWidget(numSecRead_, 3, 1, Qt::AlignLeft);
    dl->addWidget(bigEndianBox_, 3, 2, 1, 2);
    dl->setColumnStretch(1, 1);
    dl->setColumnStretch(2, 1);

    auto* read = group("ReadGroup");
    auto* rl = new QGridLayout(read);
    QStringList speeds;
    for (int n = 1; n <= kSpeedCount; ++n) speeds << qs(speedText(n));
    speed_ = comboBox("SpeedBox", speeds, read);
    maxSpeed_ = checkBox("CBMaxSpeed", caption("CBMaxSpeed"), read);
    QStringList methods;
    for (int i = 0; i < kExtractMethodCount; ++i) methods << caption("ExtractMethodBox", TextRole::Item, i);
    extract_ = comboBox("ExtractMethodBox", methods, read);
    rl->addWidget(label("SpeedLabel", caption("SpeedLabel"), read), 0, 0);
    rl->addWidget(speed_, 0, 1);
    rl->addWidget(maxSpeed_, 0, 2);
    rl->addWidget(label("ExtractMethodLabel", caption("ExtractMethodLabel"), read), 1, 0);
    rl->addWidget(extract_, 1, 1, 1, 2);
    rl->setColumnStretch(1, 1);

    auto* opts = group("DriveOptionsGroup");
    auto* ol = new QGridLayout(opts);
    rotate_ = checkBox("RotateBox", caption("RotateBox"), opts);
    rcd_ = checkBox("RCDBox", caption("RCDBox"), opts);
    lock_ = checkBox("LockCDBox", caption("LockCDBox"), opts);
    cdText_ = checkBox("CDTEXTBox", caption("CDTEXTBox"), opts);
    dp_ = checkBox("DPBox", caption("DPBox"), opts);
    volumeOnCd_ = checkBox("VolumeOnCDBox", caption("VolumeOnCDBox"), opts);
    ol->addWidget(rotate_, 0, 0);
    ol->addWidget(rcd_, 1, 0);
    ol->addWidget(lock_, 2, 0);
    ol->addWidget(cdText_, 0, 1);
    ol->addWidget(dp_, 1, 1);
    ol->addWidget(volumeOnCd_, 2, 1);

    connect(device_, &QComboBox::currentIndexChanged, this, &SettingsPageDrive::driveChosen);
    connect(commandType_Box_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) commandType_[drive_] = uint8_t(i);
    });
    connect(bigEndianBox_, &QCheckBox::toggled, this, [this](bool on) { bigEndian_[drive_] = on ? 1 : 0; });
    connect(maxSpeed_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) speed_->setCurrentIndex(kSpeedCount - 1);
        speed_->setEnabled(!on);
    });
    connect(detect_, &QPushButton::clicked, this, &SettingsPageDrive::detect);
}

void SettingsPageDrive::driveChosen(int index) {
    if (index < 0 || index >= 32) return;
    drive_ = index;
    showDriveEntries();
}

void SettingsPageDrive::showDriveEntries() {
    const uint8_t type = commandType_[drive_];
    const uint8_t big = bigEndian_[drive_];
    commandType_Box_->setCurrentIndex(commandTypeIndex(type));
    bigEndianBox_->setChecked(big);
    // Showing a stored entry must not rewrite it (a type the list lacks stays
    // stored until the user picks another).
    commandType_[drive_] = type;
    bigEndian_[drive_] = big;
}

void SettingsPageDrive::detect() {
    const int sectors = int(parseNumber(ss(numSecRead_->text()), 1, 255, kFallbackNumSecRead));
    const auto found = sources_.detectReadCommand(drive_, spti_->isChecked(), sectors);
    if (!found) return;
    numSecRead_->setText(QString::number(found->second));
    commandType_Box_->setCurrentIndex(commandTypeIndex(uint8_t(found->first)));
    commandType_[drive_] = uint8_t(commandType_Box_->currentIndex());
}

void SettingsPageDrive::load(const SettingsRecord& s) {
    std::memcpy(commandType_, s.CommandType, sizeof commandType_);
    std::memcpy(bigEndian_, s.BigEndian, sizeof bigEndian_);
    drive_ = s.DeviceName < 32 ? s.DeviceName : 0;
    {
        const QSignalBlocker block(device_);
        device_->setCurrentIndex(drive_ < device_->count() ? drive_ : -1);
    }
    showDriveEntries();
    (s.Interface == 0 ? aspi_ : spti_)->setChecked(true);
    numSecRead_->setText(qs(numSecReadText(s.NumSecRead)));

    maxSpeed_->setChecked(s.Speed == kMaxSpeed);
    speed_->setCurrentIndex(speedIndex(s.Speed));
    speed_->setEnabled(!maxSpeed_->isChecked());
    extract_->setCurrentIndex(s.ExtractMethod < kExtractMethodCount ? s.ExtractMethod : 0);
    rotate_->setChecked(s.Rotate);
    rcd_->setChecked(s.RCD);
    lock_->setChecked(s.LockCD);
    cdText_->setChecked(s.CDTEXT);
    dp_->setChecked(s.DP);
    volumeOnCd_->setChecked(s.VolumeOnCD);
}

void SettingsPageDrive::store(SettingsRecord& s) {
    if (device_->currentIndex() >= 0) s.DeviceName = uint8_t(device_->currentIndex());
    commandType_[drive_] = uint8_t(std::max(0, commandType_Box_->currentIndex()));
    bigEndian_[drive_] = flag(bigEndianBox_);
    std::memcpy(s.CommandType, commandType_, sizeof commandType_);
    std::memcpy(s.BigEndian, bigEndian_, sizeof bigEndian_);
    s.Interface = spti_->isChecked() ? 1 : 0;
    s.NumSecRead = uint8_t(parseNumber(ss(numSecRead_->text()), 1, 255, kFallbackNumSecRead));
    s.Speed = speedFromControls(maxSpeed_->isChecked(), speed_->currentIndex());
    s.ExtractMethod = uint8_t(std::max(0, extract_->currentIndex()));
    s.Rotate = flag(rotate_);
    s.RCD = flag(rcd_);
    s.LockCD = flag(lock_);
    s.CDTEXT = flag(cdText_);
    s.DP = flag(dp_);
    s.VolumeOnCD = flag(volumeOnCd_);
}

}  // namespace melvarin
