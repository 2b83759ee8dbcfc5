#include "app/ui/SettingsPageGeneral.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace melvarin {

SettingsPageGeneral::SettingsPageGeneral(QWidget* parent) : SettingsPage(caption("TreeView1", TextRole::Node, 0), parent) {
    auto* grab = group("GrabGroup");
    auto* g = new QVBoxLayout(grab);
    onTheFly_ = checkBox("OnTheFlyEncodingBox", caption("OnTheFlyEncodingBox"), grab);
    normalize_ = checkBox("CheckBox1", caption("CheckBox1"), grab);
    eject_ = checkBox("EjectACopy", caption("EjectACopy"), grab);
    shutComp_ = checkBox("ShutComp", caption("ShutComp"), grab);
    priority_ = checkBox("PriorityBox", caption("PriorityBox"), grab);
    cue_ = checkBox("CUEBox", caption("CUEBox"), grab);
    for (QCheckBox* b : {onTheFly_, normalize_, eject_, shutComp_, priority_, cue_}) g->addWidget(b);

    auto* prog = group("ProgramGroup");
    auto* p = new QVBoxLayout(prog);
    mp3AsOgg_ = checkBox("MP3AsOGGBox", caption("MP3AsOGGBox"), prog);
    editTag_ = checkBox("EditTagBox", caption("EditTagBox"), prog);
    showGrid_ = checkBox("ShowGridBox", caption("ShowGridBox"), prog);
    autoPlay_ = checkBox("UseAsCDPlayerBox", caption("UseAsCDPlayerBox"), prog);
    for (QCheckBox* b : {mp3AsOgg_, editTag_, showGrid_, autoPlay_}) p->addWidget(b);
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
}

}  // namespace melvarin
