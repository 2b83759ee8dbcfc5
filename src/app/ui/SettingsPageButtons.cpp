#include "app/ui/SettingsPageButtons.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace melvarin {

namespace {

// The seven toolbar switches, in record order (ShowWAVE .. ShowEXT).
struct ButtonSwitch {
    const char* name;
    const char* text;
    uint8_t SettingsRecord::*field;
};
const std::array<ButtonSwitch, 7> kSwitches = {{
    {"ShowWAVE", "Сграбить в WAV", &SettingsRecord::ShowWAVE},
    {"ShowWMA", "Сграбить в WMA", &SettingsRecord::ShowWMA},
    {"ShowBURN", "Создать свой AudioCD", &SettingsRecord::ShowBURN},
    {"ShowConvert", "Конвертирование файлов", &SettingsRecord::ShowConvert},
    {"ShowFreeDB", "FreeDB", &SettingsRecord::ShowFreeDB},
    {"ShowPlayer", "Запустить плеер", &SettingsRecord::ShowPlayer},
    {"ShowEXT", "Сграбить в другой формат", &SettingsRecord::ShowEXT},
}};

}  // namespace

SettingsPageButtons::SettingsPageButtons(QWidget* parent) : SettingsPage(QStringLiteral("Кнопки"), parent) {
    auto* g = group("ButtonsGroup", QStringLiteral("Кнопки панели инструментов"));
    auto* l = new QVBoxLayout(g);
    for (std::size_t i = 0; i < kSwitches.size(); ++i) {
        boxes_[i] = checkBox(kSwitches[i].name, QString::fromUtf8(kSwitches[i].text), g);
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
