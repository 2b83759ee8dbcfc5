#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/SettingsRecord.h"
#include "disc/DiscRecord.h"
#include "disc/GrabHooks.h"
#include "disc/GrabRange.h"

namespace melvarin {

class TCDROM;
class TDiscTags;
class TEncManager;
class TEncoder;
class SectorRereader;
class UserPrompt;

// Grabs tracks of the disc in `drive` into files, one file per track or the
// whole audio part into one file. Every job is synchronous and runs to its end
// or to a confirmed cancel; progress, state texts and cancel requests go
// through Callbacks, questions and messages through the prompt.
//
// The drive must be open on the disc `disc` describes. Everything given to the
// constructor is borrowed and must outlive the grabber; the settings are read
// at each job (encoder choice, method, block size, flags) and the job restores
// what it changes in them, except the Trimmed flags it clears and the Grabbed
// flags it sets in `disc`.
class TGrabber {
public:
    TGrabber(TCDROM& drive, SettingsRecord& settings, DiscRecord& disc, TEncManager& encoders,
             UserPrompt& prompt);

    // Optional parts, set before a job.
    TDiscTags* Tags = nullptr;            // track tags for the files and the naming
    SectorRereader* Rereader = nullptr;   // slow re-reads for the repair passes
    GrabSystem* System = nullptr;         // priority and power-off; null: neither
    FreeSpaceProbe FreeSpace;             // empty: StatvfsFreeSpace
    std::string TempFolder;               // temporary WAVE files; ends with "/"
    GrabCallbacks Callbacks;

    // The whole grab of the checked tracks with encoder `encoderIndex`: free
    // space check, read speed and tray lock, GrabTracks, then the encoder index
    // restored, tray unlocked, drive rezeroed and, with EjectACopy, the eject
    // callback. `checked` has one entry per track (missing = unchecked); done
    // tracks are unchecked. True when every checked audio track was grabbed.
    bool GrabCommand(int encoderIndex, std::vector<bool>& checked);

    // The loop over the checked audio tracks with the configured encoder (see
    // GrabCommand for `checked`). False when a track failed or was cancelled;
    // the tracks before it keep their files and Grabbed flags.
    bool GrabTracks(std::vector<bool>& checked);

    // Reads track `track` (0-based) into `target` with the configured encoder, or
    // as WAVE when on-the-fly encoding is off (then the encoder manager's Gain
    // gets the normalisation gain). Sets the track's Grabbed flag and returns
    // true when done; false when the encoder failed or the user cancelled (no
    // file left at `target` in either case).
    bool GrabTrack(int track, const std::string& target);

    // Reads every audio track into one file `path` with the configured encoder,
    // without normalisation; then, with the CUE setting, WriteCueSheet. True when
    // the file is complete.
    bool GrabDisc(const std::string& path);

    // Answers true when `needed` bytes fit into WorkDir's file system or the
    // user says to go on anyway (message 100), or when the space is unknown.
    bool CheckFreeSpace(std::uint64_t needed);

    // Whether the last job ended by a confirmed cancel.
    bool Cancelled() const { return cancelled_; }

private:
    bool StopRequested() const;
    // Asks message `question` after a stop request; true = cancel.
    bool ConfirmCancel(int question);
    void State(int track, const std::string& text);
    bool EncodeTemporary(int track, const std::string& temporary, const std::string& output);
    enum class RangeEnd { Done, Cancelled, EncoderFailed };
    // Reads `range` block by block into the open `encoder`; `progress` gets each
    // new percentage, `peak` (may be null) the loudest sample.
    RangeEnd ReadRange(const GrabRange& range, TEncoder& encoder, std::int16_t* peak,
                       const std::function<void(int percent)>& progress, int cancelTrack);

    TCDROM& drive_;
    SettingsRecord& settings_;
    DiscRecord& disc_;
    TEncManager& encoders_;
    UserPrompt& prompt_;
    bool cancelled_ = false;
};

// The file of a whole-disc grab with encoder `encoderIndex`: WorkDir + the
// album title ("TRACKS" when empty) + the encoder's extension. The title is
// made safe as a file name ("/" and "\" become blanks, "." and ".." become
// "_"), so the file always lands in WorkDir.
std::string WholeDiscFileName(const SettingsRecord& settings, const DiscRecord& disc, int encoderIndex);

}  // namespace melvarin
