#include "app/ui/SettingsPageGeneral.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace melvarin {

SettingsPageGeneral::SettingsPageGeneral(QWidget* parent) : SettingsPage(QStringLiteral("Общие"), parent) {
    auto* grab = group("GrabGroup", QStringLiteral("Копирование"));
    auto* g = new QVBoxLayout(grab);
    onTheFly_ = checkBox("OnTheFlyEncodingBox", QStringLiteral("Сжимать во время чтения диска"), grab);
    normalize_ = checkBox("CheckBox1", QStringLiteral("Использовать нормализацию"), grab);
    eject_ = checkBox("EjectACopy", QStringLiteral("Извлечь диск после копирования"), grab);
    shutComp_ = checkBox("ShutComp", QStringLiteral("Выключить компьютер после копирования"), grab);
    priority_ = checkBox("PriorityBox", QStringLiteral("Высокий приоритет при копировании"), grab);
    cue_ = checkBox("CUEBox", QStringLiteral("Создавать CUE-файл при копировании диска в один файл"), grab);
    for (QCheckBox* b : {onTheFly_, normalize_, eject_, shutComp_, priority_, cue_}) g->addWidget(b);

    auto* prog = group("ProgramGroup", QStringLiteral("Программа"));
    auto* p = new QVBoxLayout(prog);
    mp3AsOgg_ = checkBox("MP3AsOGGBox", QStringLiteral("Кнопка «Сграбить в MP3» сжимает в Ogg Vorbis"), prog);
    editTag_ = checkBox("EditTagBox", QStringLiteral("Двойной щелчок по треку открывает редактор тегов"), prog);
    showGrid_ = checkBox("ShowGridBox", QStringLiteral("Линии сетки в списке треков"), prog);
    autoPlay_ = checkBox("UseAsCDPlayerBox", QStringLiteral("Открывать аудио-диски этой программой"), prog);
    for (QCheckBox* b : {mp3AsOgg_, editTag_, showGrid_, autoPlay_}) p->addWidget(b);

    auto* sound = group("SoundGroup", QStringLiteral("Звук"));
    auto* sl = new QVBoxLayout(sound);
    playSound_ = checkBox("PlaySoundBox", QStringLiteral("Проиграть звук по окончании работы"), sound);
    sl->addWidget(playSound_);
    auto* row = new QHBoxLayout;
    fileName_ = lineEdit("FileNameEdit", sound);
    browse_ = new QToolButton(sound);
    browse_->setObjectName(QStringLiteral("SpeedButton9"));
    browse_->setText(QStringLiteral("..."));
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

void SettingsPageGeneral::updateEnabled() {
    fileName_->setEnabled(playSound_->isChecked());
    browse_->setEnabled(playSound_->isChecked());
}

void SettingsPageGeneral::load(const SettingsRecord& s) {
    onTheFly_->setChecked(s.EncoderConfig.OnTheFlyEncoding);
    normalize_->setChecked(s.EncoderConfig.Normalize);
    eject_->setChecked(s.EjectACopy);
    shutComp_->setChecked(s.ShutComp);
    priority_->setChecked(s.Priority);
    cue_->setChecked(s.CUE);
    mp3AsOgg_->setChecked(s.MP3AsOGG);
    editTag_->setChecked(s.EditTag);
    showGrid_->setChecked(s.ShowGrid);
    autoPlay_->setChecked(s.UseAsCDPlayer);
    playSound_->setChecked(s.PlaySound);
    fileName_->setText(qs(getText(s.FileName)));
    updateEnabled();
}

void SettingsPageGeneral::store(SettingsRecord& s) {
    s.EncoderConfig.OnTheFlyEncoding = flag(onTheFly_);
    s.EncoderConfig.Normalize = flag(normalize_);
    s.EjectACopy = flag(eject_);
    s.ShutComp = flag(shutComp_);
    s.Priority = flag(priority_);
    s.CUE = flag(cue_);
    s.MP3AsOGG = flag(mp3AsOgg_);
    s.EditTag = flag(editTag_);
    s.ShowGrid = flag(showGrid_);
    s.UseAsCDPlayer = flag(autoPlay_);
    s.PlaySound = flag(playSound_);
    setText(s.FileName, ss(fileName_->text()));
}

}  // namespace melvarin
