#include "app/ui/SettingsPageBurn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace melvarin {

SettingsPageBurn::SettingsPageBurn(QWidget* parent) : SettingsPage(QStringLiteral("Запись"), parent) {
    auto* write = group("BurnGroup", QStringLiteral("Запись диска"));
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
    wl->addWidget(label("BurnSpeedLabel", QStringLiteral("Скорость записи"), write), 0, 0);
    wl->addWidget(speed_, 0, 1);
    wl->addWidget(label("BurnPriorLabel", QStringLiteral("Приоритет"), write), 1, 0);
    wl->addWidget(priority_, 1, 1);
    wl->addWidget(label("BlockCountLabel", QStringLiteral("Секторов за команду"), write), 2, 0);
    wl->addWidget(blockCount_, 2, 1);
    wl->setColumnStretch(2, 1);

    auto* opts = group("BurnOptionsGroup", QStringLiteral("Параметры"));
    auto* ol = new QVBoxLayout(opts);
    nonStop_ = checkBox("NSDiscBox", QStringLiteral("Записывать диск без пауз (Non-Stop)"), opts);
    opc_ = checkBox("OPCBox", QStringLiteral("Калибровка лазера (OPC) перед записью"), opts);
    ask_ = checkBox("AskBox", QStringLiteral("Спрашивать подтверждение"), opts);
    eject_ = checkBox("EjectAfterBurn", QStringLiteral("Извлечь диск после записи"), opts);
    writeCue_ = checkBox("WriteCueBox", QStringLiteral("Создавать CUE-файл при записи в WAV-файл"), opts);
    saveLast_ = checkBox("SaveLastProjectBox", QStringLiteral("Запоминать последний проект"), opts);
    for (QCheckBox* b : {nonStop_, opc_, ask_, eject_, writeCue_, saveLast_}) ol->addWidget(b);
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
}

}  // namespace melvarin
