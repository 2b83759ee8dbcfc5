#include "drive/ui/TReadCommandForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/SettingsRecord.h"
#include "app/UserPrompt.h"
#include "app/WindowTexts.h"
#include "app/ui/CaptionApplier.h"
#include "app/ui/DialogButtons.h"
#include "drive/ReadCommands.h"

namespace melvarin {
namespace {

QString russian(const char* control, TextRole role, int index = 0) {
    return QString::fromStdString(WindowTexts::russian("TReadCommandForm", control, role, index));
}

}  // namespace

TReadCommandForm::TReadCommandForm(std::vector<ReadTrial> trials, SettingsRecord& settings, int drive, QWidget* parent)
    : QDialog(parent), trials_(std::move(trials)), settings_(settings), drive_(drive) {
    setObjectName("TReadCommandForm");
    setModal(true);
    setWindowTitle(russian("TReadCommandForm", TextRole::Title));
    auto* label = new QLabel(russian("Label1", TextRole::Text), this);
    label->setObjectName("Label1");
    list_ = new QTreeWidget(this);
    list_->setObjectName("ListView");
    list_->setRootIsDecorated(false);
    list_->setColumnCount(4);
    QStringList headers;
    for (int c = 0; c < 4; ++c) headers << russian("ListView", TextRole::Column, c);
    list_->setHeaderLabels(headers);
    const QIcon okIcon = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon failIcon = style()->standardIcon(QStyle::SP_DialogCancelButton);
    for (const ReadTrial& t : trials_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::number(t.number));
        item->setIcon(0, t.succeeded ? okIcon : failIcon);
        item->setText(1, QString::fromStdString(t.name));
        item->setText(2, QString::number(t.sectors));
        item->setText(3, QString::fromStdString(t.result));
        item->setData(0, Qt::UserRole, t.value);
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    const DialogButtons buttons(this, "SpeedButton2", russian("SpeedButton1", TextRole::Text));
    connect(buttons.ok, &QPushButton::clicked, this, &TReadCommandForm::SpeedButton2Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addLayout(buttons.row);
    resize(520, 560);
    CaptionApplier::applyProgramLanguage(this, 10);
}

void TReadCommandForm::SpeedButton2Click() {
    const QTreeWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    const std::uint32_t value = item->data(0, Qt::UserRole).toUInt();
    settings_.NumSecRead = static_cast<std::uint8_t>(value >> 8);
    if (drive_ >= 0 && drive_ < 32) settings_.CommandType[drive_] = static_cast<std::uint8_t>(value & 0xFF);
    accept();
}

bool TReadCommandForm::Run(QWidget* parent, TCDROM& cd, UserPrompt& prompt, const std::function<bool()>& discLoaded,
                           int transport, int drive, SettingsRecord& settings) {
    if (!ReadCommandDetector::WaitForDisc(prompt, discLoaded)) return false;
    const int sectors = SectorsPerRead(settings.NumSecRead);
    auto result = ReadCommandDetector::Run(cd, transport, drive, sectors);
    if (result.outcome == ReadCommandDetector::Outcome::DiscTooShort) {
        prompt.message(ReadCommandDetector::TooShortText(
                           result.leadOut, ReadCommandDetector::kTrialLba + static_cast<std::uint32_t>(std::max(sectors, 26))),
                       Icon::Warning);
        return false;
    }
    TReadCommandForm form(std::move(result.trials), settings, drive, parent);
    return form.exec() == QDialog::Accepted;
}

}  // namespace melvarin
