#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "disc/CommandSetRereader.h"
#include "disc/GrabTestDisc.h"
#include "disc/TGrabber.h"
#include "encoders/TEncManager.h"

namespace melvarin::test {

// Records what the grab did to the machine instead of doing it.
class RecordingSystem : public GrabSystem {
public:
    bool RaisePriority() override {
        ++raised;
        return true;
    }
    void RestorePriority() override { ++restored; }
    void PowerOff() override { ++powerOffs; }
    int raised = 0, restored = 0, powerOffs = 0;
};

// A grab of a test disc into its out/ folder, WAVE on the fly, nothing asked
// of the machine. Records the state texts, finished files and done tracks;
// stopAt() presses Stop once a track shows a given state text.
struct GrabRun {
    explicit GrabRun(GrabTestDisc& d, std::vector<DriveCommand>* log = nullptr)
        : disc(d), drive(d.openDrive(log)), record(GrabTestDisc::readDisc(*drive)) {
        settings = defaultSettings(d.outFolder(), d.dir / "cddb/");
        settings.EncoderConfig.EncoderIndex = 0;
        settings.EncoderConfig.OnTheFlyEncoding = 1;
        settings.EncoderConfig.Normalize = 0;
        settings.EjectACopy = 0;
        settings.ShutComp = 0;
        settings.Rotate = 0;
        settings.Dir_AsAlbumName = settings.Dir_AsArtistName = 0;
        grabber = std::make_unique<TGrabber>(*drive, settings, record, encoders, prompt);
        rereader = std::make_unique<CommandSetRereader>(drive->Current());
        grabber->Rereader = rereader.get();
        grabber->System = &system;
        grabber->TempFolder = d.dir / "TempFiles/";
        grabber->FreeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1ull << 40); };
        grabber->Callbacks.TrackState = [this](int track, const std::string& text) {
            states[track].push_back(text);
            const std::string head = Message(stopCode) + " ";
            if (track == stopTrack && text.rfind(head, 0) == 0 && std::atoi(text.c_str() + head.size()) >= stopPercent) {
                stop = true;
                stopTrack = -1;
            }
        };
        grabber->Callbacks.FileWritten = [this](const std::string& path) { written.push_back(path); };
        grabber->Callbacks.TrackDone = [this](int track) { done.push_back(track); };
        grabber->Callbacks.KeepGoing = [this] { return !stop; };
        grabber->Callbacks.Resume = [this] {
            stop = false;
            ++resumed;
        };
    }
    bool grabAll(int encoderIndex = 0) {
        checked.assign(std::size_t(record.trackCount()), true);
        return grabber->GrabCommand(encoderIndex, checked);
    }
    // Stop is pressed once, when track `track` shows progress message `code`
    // at `percent` or more.
    void stopAt(int track, int code, int percent) {
        stopTrack = track;
        stopCode = code;
        stopPercent = percent;
    }
    std::string trackFile(int track, const std::string& extension = ".wav") const {
        return disc.outFolder() + "Track " + std::to_string(track + 1) + extension;
    }
    void expectExact(int track) const {
        SCOPED_TRACE("track " + std::to_string(track + 1));
        EXPECT_TRUE(waveData(trackFile(track)) == disc.slice(disc.trackStart(track), disc.sectors[track]));
    }

    GrabTestDisc& disc;
    std::unique_ptr<TCDROM> drive;
    DiscRecord record;
    SettingsRecord settings{};
    ScriptedPrompt prompt{false};
    TEncManager encoders{&prompt};
    RecordingSystem system;
    std::unique_ptr<CommandSetRereader> rereader;
    std::unique_ptr<TGrabber> grabber;
    std::vector<bool> checked;
    std::map<int, std::vector<std::string>> states;
    std::vector<std::string> written;
    std::vector<int> done;
    std::atomic<bool> stop{false};
    int resumed = 0;
    int stopTrack = -1;
    int stopCode = 0;
    int stopPercent = 0;
};

}  // namespace melvarin::test
