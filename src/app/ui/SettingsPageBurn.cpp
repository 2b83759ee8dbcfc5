#include "app/ui/SettingsPageBurn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace melvarin {

SettingsPageBurn::SettingsPageBurn(QWidget* parent)
    : SettingsPage(caption("TreeView1", TextRole::Node, 13), parent) {
    auto* write = group("BurnGroup");
    auto* wl = new QGridLayout(write);
    QStringList speeds;
    for (const char* t : kBurnSpeedTexts) speeds << QString::fromLatin1(t);
    speed_ = comboBox("ComboBox1", speeds, write);
    priority_ = comboBox("BurnPriorBox", {QStringLiteral("Normal"), QStringLiteral("IDLE"), QStringLiteral("Max")},
                         write);
    blockCount_ = comboBox("BlockCountBox", {QStringLiteral("16"), QStringLiteral("25"), QStringLiteral("26"),
                                             QStringLiteral("32"), QStringLiteral("38")}, write);
    blockCount_->setEditable(true);
    blockCount_->lineEdit()->setMaxLength(3);
    wl->addWidget(label("BurnSpeedLabel", caption("BurnSpeedLabel"), write), 0, 0);
    wl->addWidget(speed_, 0, 1);
    wl->addWidget(label("BurnPriorLabel", caption("BurnPriorLabel"), write), 1, 0);
    wl->addWidget(priority_, 1, 1);
    wl->addWidget(label("BlockCountLabel", caption("BlockCountLabel"), write), 2, 0);
    wl->addWidget(blockCount_, 2, 1);
    wl->setColumnStretch(2, 1);

    auto* opts = group("BurnOptionsGroup");
    auto* ol = new QVBoxLayout(opts);
    ask_ = checkBox("AskBox", caption("AskBox"), opts);
    opc_ = checkBox("OPCBox", caption("OPCBox"), opts);
    nonStop_ = checkBox("NSDiscBox", caption("NSDiscBox"), opts);
    eject_ = checkBox("EjectAfterBurn", caption("EjectAfterBurn"), opts);
    writeCue_ = checkBox("WriteCueBox", caption("WriteCueBox"), opts);
    saveLast_ = checkBox("SaveLastProjectBox", caption("SaveLastProjectBox"), opts);
    for (QCheckBox* b : {ask_, opc_, nonStop_, eject_, writeCue_, saveLast_}) ol->addWidget(b);

    auto* sound = group("SoundGroup");
    auto* sl = new QVBoxLayout(sound);
    playSound_ = checkBox("PlaySoundBox", caption("PlaySoundBox"), sound);
    sl->addWidget(playSound_);
    auto* row = new QHBoxLayout;
    fileName_ = lineEdit("FileNameEdit", sound);
    browse_ = new QToolButton(sound);
    browse_->setObjectName(QStringLiteral("SpeedButton9"));
    browse_->setText(QStringLiteral("..."));
    browse_->setToolTip(caption("SpeedButton9", TextRole::Hint));
    row->addWidget(fileName_);
    row->addWidget(browse_);
    sl->addLayout(row);

    connect(playSound_, &QCheckBox::toggled, this, [this] { updateEnabled(); });
    connect(browse_, &QToolButton::clicked, this, [this] {
        const QString f = QFileDialog::getOpenFileName(this, QString(), fileName_->text(),
                                                       QStringLiteral("WAVE (*.wav *.WAV)"));
        if (!f.isEmpty()) fileName_->setText(f);
    });
}

void SettingsPageBurn::updateEnabled() {
    fileName_->setEnabled(playSound_->isChecked());
    browse_->setEnabled(playSound_->isChecked());
}

void SettingsPageBurn::load(const SettingsRecord& s) {
    speed_->setCurrentIndex(burnSpeedIndex(s.BurnSpeed));
    priority_->setCurrentIndex(s.BurnPrior < 3 ? s.BurnPrior : 0);
    blockCount_->setEditText(QString::number(s.BlockCount));
    ask_->setChecked(s.Ask);
    opc_->setChecked(s.OPC);
    eject_->setChecked(s.EjectAfterBurn);
    writeCue_->setChecked(s.WriteCue);
    nonStop_->setChecked(s.NSDisc);
    saveLast_->setChecked(s.SaveLastProject);
    playSound_->setChecked(s.PlaySound);
    fileName_->setText(qs(getText(s.FileName)));
    updateEnabled();
}

void SettingsPageBurn::store(SettingsRecord& s) {
    s.BurnSpeed = burnSpeedFromIndex(speed_->currentIndex());
    s.BurnPrior = uint8_t(std::max(0, priority_->currentIndex()));
    s.BlockCount = uint16_t(parseNumber(ss(blockCount_->currentText()), 1, 999, kFallbackBlockCount));
    s.Ask = flag(ask_);
    s.OPC = flag(opc_);
    s.EjectAfterBurn = flag(eject_);
    s.WriteCue = flag(writeCue_);
    s.NSDisc = flag(nonStop_);
    s.SaveLastProject = flag(saveLast_);
    s.PlaySound = flag(playSound_);
    setText(s.FileName, ss(fileName_->text()));
}

}  // namespace melvarin
