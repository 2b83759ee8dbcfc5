// The main window's settings command.
#include "app/SettingsFile.h"
#include "app/ui/GuiPrompt.h"
#include "app/ui/TMainForm.h"
#include "app/ui/TSettingsForm.h"
#include "disc/TAudioCD.h"
#include "drive/CommandSet.h"
#include "drive/ui/TReadCommandForm.h"
#include "encoders/TEncManager.h"

namespace melvarin {

bool TMainForm::openSettings() {
    if (PlayState == Grabbing || PlayState == Encoding || jobRunning()) return false;
    SettingsFormSources sources;
    for (int i = 0; i < drive_->DriveCount(); ++i) sources.drives.push_back(drive_->DriveName(i));
    sources.aspiAvailable = drive_->TransportAvailable(kTransportGeneric);
    sources.sptiAvailable = drive_->TransportAvailable(kTransportSgIo);
    sources.discTags = discTags_.get();
    sources.detectReadCommand = [this](int drive, bool spti, int sectors) { return detectReadCommand(drive, spti, sectors); };
    TSettingsForm form(this, settings_, DiscLoaded ? &disc_ : nullptr, *prompt_, sources);
    if (form.exec() != QDialog::Accepted) return false;
    const SettingsRecord before = settings_;
    settings_ = form.settings();
    if (DiscLoaded && form.hasDisc()) disc_ = form.disc();
    applyAfterSettingsWindow();
    // A changed transport, drive or read command takes effect at once.
    if (settings_.Interface != before.Interface || settings_.DeviceName != before.DeviceName ||
        SettingsFile::readCommandFor(settings_, settings_.DeviceName) != SettingsFile::readCommandFor(before, before.DeviceName)) {
        int transport = settings_.Interface;
        drive_->SwitchInterface(transport);
        settings_.Interface = static_cast<uint8_t>(transport);
        fillDriveBox();
        RefreshDisc();
    }
    // Read-command detection may have left the drive with another command.
    drive_->SetReadCommand(SettingsFile::readCommandFor(settings_, settings_.DeviceName));
    return true;
}

std::optional<std::pair<int, int>> TMainForm::detectReadCommand(int drive, bool spti, int sectors) {
    SettingsRecord scratch = settings_;
    scratch.NumSecRead = static_cast<uint8_t>(sectors);
    const bool done = TReadCommandForm::Run(
        this, *drive_, *prompt_, [this] { return drive_->IsUnitReady(); }, spti ? kTransportSgIo : kTransportGeneric, drive,
        scratch);
    // The trials leave the drive they used open with the last command tried.
    if (drive_->DriveCount() > 0)
        drive_->OpenDrive(settings_.DeviceName, SettingsFile::readCommandFor(settings_, settings_.DeviceName));
    if (!done) return std::nullopt;
    return std::make_pair(int(scratch.CommandType[drive]), int(scratch.NumSecRead));
}

}  // namespace melvarin
