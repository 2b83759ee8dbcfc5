#pragma once
#include "drive/ScsiDevice.h"
#include "drive/VirtualClock.h"
#include "drive/VirtualDisc.h"
#include "drive/VirtualDriveConfig.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace melvarin {

// An emulated MMC CD recorder whose disc is a folder: disc.cue and the files it
// names (a pressed or finished disc), or blank.ini (a blank recordable disc), and
// drive.ini with its knobs. The folder is read again at every TEST UNIT READY and
// at loading, so files replaced meanwhile become a new disc: a present disc is
// announced once with UNIT ATTENTION 06/28/00, no disc answers NOT READY
// 02/3A/00 (02/3A/02 with the tray open).
//
// Commands: TEST UNIT READY, REZERO UNIT, INQUIRY, START STOP UNIT, PREVENT ALLOW
// MEDIUM REMOVAL, SEEK(10), READ SUB-CHANNEL, READ TOC/PMA/ATIP formats 0, 1, 4
// and 5, PLAY AUDIO MSF, PAUSE/RESUME, STOP PLAY/SCAN, MODE SENSE(10) and MODE
// SELECT(10) of pages 0x05, 0x08, 0x0E and 0x2A, SET CD SPEED, MECHANISM STATUS
// and the nine audio read CDBs (READ CD, READ(10), READ(12) and the vendor reads
// 0xD4, 0xD5, 0xD8). Anything else is CHECK CONDITION 05/20/00.
//
// A CDB shorter than 1 or longer than 16 bytes is not delivered (like a failing
// system call). Replies are cut to the allocation length and to the caller's
// buffer. A read whose data does not fit the caller's buffer fails with 05/24/00
// and writes nothing. Not thread-safe.
class VirtualDrive : public ScsiDevice {
public:
    // `folder` is the drive; it need not exist yet (then there is no disc).
    explicit VirtualDrive(std::string folder, std::shared_ptr<VirtualClock> clock = VirtualClock::system());
    ~VirtualDrive() override;

    ScsiResult execute(const ScsiCommand& command) override;
    std::string path() const override { return folder_; }

    // Why the folder's disc.cue gives no disc; empty when there is no problem.
    const std::string& problem() const { return problem_; }
    const VirtualDriveConfig& config() const { return config_; }

    // Where problems with a drive's folder are reported; standard error unless
    // set. Pass an empty function to restore that.
    static void setLogSink(std::function<void(const std::string&)> sink);

private:
    enum class Media { None, Disc, Blank };
    enum class PlayState { None, Playing, Paused, Completed, Error };

    struct FileStamp {
        bool exists = false;
        std::int64_t size = 0;
        std::int64_t mtimeNs = 0;
        std::uint64_t inode = 0;
        bool operator==(const FileStamp&) const = default;
    };

    // Command groups; each returns the finished result.
    ScsiResult testUnitReady();
    ScsiResult inquiry(const ScsiCommand& c);
    ScsiResult startStopUnit(const ScsiCommand& c);
    ScsiResult preventAllow(const ScsiCommand& c);
    ScsiResult rezero();
    ScsiResult seek(const ScsiCommand& c);
    ScsiResult readToc(const ScsiCommand& c);
    ScsiResult readSubChannel(const ScsiCommand& c);
    ScsiResult playAudioMsf(const ScsiCommand& c);
    ScsiResult pauseResume(const ScsiCommand& c);
    ScsiResult stopPlay();
    ScsiResult mechanismStatus(const ScsiCommand& c);
    ScsiResult modeSense(const ScsiCommand& c);
    ScsiResult modeSelect(const ScsiCommand& c);
    ScsiResult setCdSpeed(const ScsiCommand& c);
    ScsiResult read(const ScsiCommand& c, int type);
    // Recorder commands.
    ScsiResult sendOpc();
    ScsiResult readDiscInformation(const ScsiCommand& c);
    ScsiResult sendCueSheet(const ScsiCommand& c);
    ScsiResult write(const ScsiCommand& c);
    ScsiResult closeTrackSession(const ScsiCommand& c);
    ScsiResult blank(const ScsiCommand& c);
    ScsiResult synchronizeCache();
    // A blank disc ready for recording, or the reason it is not.
    std::optional<SenseData> recorderProblem();
    std::string partPath() const { return folder_ + "disc.bin.part"; }

    // The read-CDB type (0-8) a read command stands for, or -1.
    static int readType(std::span<const std::uint8_t> cdb);

    // Folder state.
    void refreshMedia(bool announce);
    static FileStamp stamp(const std::string& path);
    std::vector<FileStamp> stampMedia() const;
    void log(const std::string& text);

    // Checks that a disc (or, with `blankOk`, a blank disc) is ready; reports a
    // pending unit attention once.
    std::optional<SenseData> mediumProblem(bool blankOk = false);

    // Analog play.
    void advancePlay();
    std::int64_t currentPosition();
    void endPlay();

    // Mode pages: `pc` 0 current, 1 changeable, 2 default.
    std::vector<std::uint8_t> modePage(int code, int pc) const;

    // An audio sector as the drive delivers it: transient corruption, then the
    // drive's byte order.
    void finishAudio(std::int64_t lba, std::uint8_t* sector);
    // Transient corruption of one audio sector, repeatable for the same seed.
    void corrupt(std::int64_t lba, std::uint8_t* sector);
    void pace(std::size_t bytes);

    static ScsiResult good(std::size_t transferred = 0);
    static ScsiResult check(SenseData sense, std::optional<std::uint32_t> information = std::nullopt);
    static ScsiResult check(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) { return check({key, asc, ascq}); }
    // Copies `reply` (cut to `allocation`) into the command's data-in buffer.
    static ScsiResult reply(const ScsiCommand& c, const std::vector<std::uint8_t>& reply, std::size_t allocation);

    std::string folder_;
    std::shared_ptr<VirtualClock> clock_;
    VirtualDriveConfig config_;

    Media media_ = Media::None;
    std::unique_ptr<VirtualDisc> disc_;
    VirtualBlankDisc blank_;
    std::vector<FileStamp> stamps_;
    bool mediaRead_ = false;
    FileStamp configStamp_;
    bool configRead_ = false;
    std::string problem_;
    bool unitAttention_ = false;
    bool trayOpen_ = false;
    bool locked_ = false;

    PlayState play_ = PlayState::None;
    std::int64_t playStart_ = 0;  // LBA
    std::int64_t playEnd_ = 0;    // LBA, exclusive
    std::int64_t playClock_ = 0;  // clock time when playing from playStart_ began
    std::int64_t position_ = 0;   // head position when not playing

    int readSpeedKb_ = 0xFFFF;
    int writeSpeedKb_ = 0xFFFF;
    bool readCacheDisabled_ = false;
    bool writeCacheEnabled_ = false;
    std::array<std::uint8_t, 4> audioPorts_{0x01, 0xFF, 0x02, 0xFF};  // channel, volume per port
    std::vector<std::uint8_t> writeParameters_;  // page 0x05 as last selected

    // The session being recorded, from SEND CUE SHEET to CLOSE SESSION.
    struct RecordedTrack {
        int number = 0;
        std::uint8_t control = 0;
        std::int64_t index0 = -1;  // LBA of INDEX 00, -1 when none
        std::int64_t start = -1;   // LBA of INDEX 01
    };
    struct Recording {
        std::vector<RecordedTrack> tracks;
        std::int64_t leadOut = 0;
        bool test = false;
    };
    std::optional<Recording> recording_;

    std::unordered_map<std::int64_t, std::uint32_t> readsOfSector_;
    std::int64_t paceNext_ = 0;
};

}  // namespace melvarin
