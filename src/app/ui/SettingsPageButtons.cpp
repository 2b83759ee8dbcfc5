#include "app/ui/SettingsPageButtons.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace melvarin {

namespace {

// The seven toolbar switches, in record order (ShowWAVE .. ShowEXT).
struct ButtonSwitch {
    const char* name;
    uint8_t SettingsRecord::*field;
};
const std::array<ButtonSwitch, 7> kSwitches = {{
    {"ShowWAVE", &SettingsRecord::ShowWAVE},
    {"ShowWMA", &SettingsRecord::ShowWMA},
    {"ShowEXT", &SettingsRecord::ShowEXT},
    {"ShowBURN", &SettingsRecord::ShowBURN},
    {"ShowConvert", &SettingsRecord::ShowConvert},
    {"ShowFreeDB", &SettingsRecord::ShowFreeDB},
    {"ShowPlayer", &SettingsRecord::ShowPlayer},
}};

}  // namespace

SettingsPageButtons::SettingsPageButtons(QWidget* parent) : SettingsPage(caption("TreeView1", TextRole::Node, 12), parent) {
    auto* g = group("ButtonsGroup");
    auto* l = new QVBoxLayout(g);
    l->addWidget(label("ShowButtonsLabel", caption("ShowButtonsLabel"), g));
    for (std::size_t i = 0; i < kSwitches.size(); ++i) {
        boxes_[i] = checkBox(kSwitches[i].name, caption(kSwitches[i].name), g);
        l->addWidget(boxes_[i]);
    }
}

void SettingsPageButtons::load(const SettingsRecord& s) {
    for (std::size_t i = 0; i < kSwitches.size(); ++i) boxes_[i]->setChecked(s.*kSwitches[i].field);
}

void SettingsPageButtons::store(SettingsRecord& s) {
    for (std::size_t i = 0; i < kSwitches.size(); ++i) s.*kSwitches[i].field = flag(boxes_[i]);
}

}  // namespace melvarin
