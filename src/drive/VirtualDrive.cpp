#include "drive/VirtualDrive.h"

#include "platform/FileUtil.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace melvarin {

namespace {

std::mutex logMutex;
std::function<void(const std::string&)>& logSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

// Opcodes of the commands answered here.
enum : std::uint8_t {
    kTestUnitReady = 0x00,
    kRezero = 0x01,
    kInquiry = 0x12,
    kStartStop = 0x1B,
    kPreventAllow = 0x1E,
    kSeek10 = 0x2B,
    kReadSubChannel = 0x42,
    kReadToc = 0x43,
    kPlayAudioMsf = 0x47,
    kPauseResume = 0x4B,
    kStopPlay = 0x4E,
    kModeSelect10 = 0x55,
    kModeSense10 = 0x5A,
    kSetCdSpeed = 0xBB,
    kMechanismStatus = 0xBD,
    kSynchronizeCache = 0x35,
    kReadDiscInformation = 0x51,
    kSendOpc = 0x54,
    kCloseTrackSession = 0x5B,
    kSendCueSheet = 0x5D,
    kBlank = 0xA1,
    kWrite10 = 0x2A,
};

// CDB length of each standard command group (vendor groups have none).
std::size_t groupLength(std::uint8_t opcode) {
    switch (opcode >> 5) {
    case 0: return 6;
    case 1:
    case 2: return 10;
    case 4: return 16;
    case 5: return 12;
    default: return 0;
    }
}

bool handled(std::uint8_t op) {
    switch (op) {
    case kTestUnitReady: case kRezero: case kInquiry: case kStartStop: case kPreventAllow: case kSeek10:
    case kReadSubChannel: case kReadToc: case kPlayAudioMsf: case kPauseResume: case kStopPlay:
    case kModeSelect10: case kModeSense10: case kSetCdSpeed: case kMechanismStatus: case kSynchronizeCache:
    case kReadDiscInformation: case kSendOpc: case kCloseTrackSession: case kSendCueSheet: case kBlank:
    case kWrite10:
        return true;
    default:
        return false;
    }
}

}  // namespace

VirtualDrive::VirtualDrive(std::string folder, std::shared_ptr<VirtualClock> clock)
    : folder_(FileUtil::withSlash(folder)), clock_(std::move(clock)) {
    if (!clock_) clock_ = VirtualClock::system();
    refreshMedia(false);
}

VirtualDrive::~VirtualDrive() = default;

void VirtualDrive::setLogSink(std::function<void(const std::string&)> sink) {
    std::lock_guard<std::mutex> lock(logMutex);
    logSink() = std::move(sink);
}

void VirtualDrive::log(const std::string& text) {
    const std::string line = "virtual drive " + folder_ + ": " + text;
    std::lock_guard<std::mutex> lock(logMutex);
    if (logSink())
        logSink()(line);
    else
        std::fprintf(stderr, "melvarin: %s\n", line.c_str());
}

ScsiResult VirtualDrive::good(std::size_t transferred) {
    ScsiResult r;
    r.delivered = true;
    r.transferred = transferred;
    return r;
}

ScsiResult VirtualDrive::check(SenseData sense, std::optional<std::uint32_t> information) {
    ScsiResult r;
    r.delivered = true;
    r.status = 2;  // CHECK CONDITION
    r.sense[0] = 0x70;  // current error, fixed format
    r.sense[2] = sense.key;
    r.sense[7] = 10;  // additional sense length
    r.sense[12] = sense.asc;
    r.sense[13] = sense.ascq;
    if (information) {
        r.sense[0] |= 0x80;  // information field valid
        r.sense[3] = std::uint8_t(*information >> 24);
        r.sense[4] = std::uint8_t(*information >> 16);
        r.sense[5] = std::uint8_t(*information >> 8);
        r.sense[6] = std::uint8_t(*information);
    }
    r.senseLength = 18;
    return r;
}

ScsiResult VirtualDrive::reply(const ScsiCommand& c, const std::vector<std::uint8_t>& bytes, std::size_t allocation) {
    std::size_t n = std::min(bytes.size(), allocation);
    if (c.direction != DataDirection::In) n = 0;
    n = std::min(n, c.data.size());
    std::copy_n(bytes.begin(), n, c.data.begin());
    return good(n);
}

ScsiResult VirtualDrive::execute(const ScsiCommand& c) {
    if (c.cdb.empty() || c.cdb.size() > 16) return ScsiResult{};
    const std::uint8_t op = c.cdb[0];
    const int type = readType(c.cdb);
    if (type >= 0) return read(c, type);
    if (handled(op) && c.cdb.size() < groupLength(op)) return check(0x05, 0x24, 0x00);
    switch (op) {
    case kTestUnitReady: return testUnitReady();
    case kRezero: return rezero();
    case kInquiry: return inquiry(c);
    case kStartStop: return startStopUnit(c);
    case kPreventAllow: return preventAllow(c);
    case kSeek10: return seek(c);
    case kReadSubChannel: return readSubChannel(c);
    case kReadToc: return readToc(c);
    case kPlayAudioMsf: return playAudioMsf(c);
    case kPauseResume: return pauseResume(c);
    case kStopPlay: return stopPlay();
    case kModeSelect10: return modeSelect(c);
    case kModeSense10: return modeSense(c);
    case kSetCdSpeed: return setCdSpeed(c);
    case kMechanismStatus: return mechanismStatus(c);
    default: break;
    }
    if (config_.writer) {
        switch (op) {
        case kSynchronizeCache: return synchronizeCache();
        case kReadDiscInformation: return readDiscInformation(c);
        case kSendOpc: return sendOpc();
        case kCloseTrackSession: return closeTrackSession(c);
        case kSendCueSheet: return sendCueSheet(c);
        case kBlank: return blank(c);
        case kWrite10: return write(c);
        default: break;
        }
    }
    // Unknown commands (and read CDBs of an unknown shape) answer "invalid
    // command operation code", but a pending unit attention comes first.
    if (unitAttention_) {
        unitAttention_ = false;
        return check(0x06, 0x28, 0x00);
    }
    return check(0x05, 0x20, 0x00);
}

// ---- folder state ----

VirtualDrive::FileStamp VirtualDrive::stamp(const std::string& path) {
    FileStamp s;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        s.exists = true;
        s.size = st.st_size;
        s.mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        s.inode = st.st_ino;
    }
    return s;
}

std::vector<VirtualDrive::FileStamp> VirtualDrive::stampMedia() const {
    std::vector<FileStamp> stamps{stamp(folder_ + "disc.cue"), stamp(folder_ + "blank.ini")};
    if (disc_)
        for (const auto& p : disc_->filePaths()) stamps.push_back(stamp(p));
    return stamps;
}

void VirtualDrive::refreshMedia(bool announce) {
    const FileStamp ini = stamp(folder_ + "drive.ini");
    if (!configRead_ || ini != configStamp_) {
        const auto text = FileUtil::readAll(folder_ + "drive.ini", 1 << 16);
        config_ = VirtualDriveConfig::parse(text ? *text : std::string());
        for (const auto& w : config_.warnings) log(w);
        configStamp_ = ini;
        configRead_ = true;
    }

    const std::vector<FileStamp> stamps = stampMedia();
    const bool changed = !mediaRead_ || stamps != stamps_;
    // A sheet that failed is tried again each time: a missing file may have come.
    const bool retryBadSheet = media_ == Media::None && stamps[0].exists;
    if (!changed && !retryBadSheet) return;

    std::string why;
    std::unique_ptr<VirtualDisc> disc;
    Media media = Media::None;
    if (stamps[0].exists) {
        disc = VirtualDisc::load(folder_ + "disc.cue", &why);
        if (disc) media = Media::Disc;
    } else if (stamps[1].exists) {
        const auto text = FileUtil::readAll(folder_ + "blank.ini", 1 << 16);
        blank_ = VirtualBlankDisc::parse(text ? *text : std::string());
        media = Media::Blank;
    }
    if (!why.empty() && why != problem_) log("no disc: " + why);
    problem_ = why;
    if (!changed && media == Media::None) return;  // the bad sheet is still bad

    endPlay();
    position_ = 0;
    readsOfSector_.clear();
    recording_.reset();
    disc_ = std::move(disc);
    media_ = media;
    stamps_ = stampMedia();  // now including the new disc's files
    mediaRead_ = true;
    unitAttention_ = announce && media_ != Media::None;
}

std::optional<SenseData> VirtualDrive::mediumProblem(bool blankOk) {
    if (trayOpen_) return SenseData{0x02, 0x3A, 0x02};
    if (media_ == Media::None) return SenseData{0x02, 0x3A, 0x00};
    if (unitAttention_) {
        unitAttention_ = false;
        return SenseData{0x06, 0x28, 0x00};
    }
    if (media_ == Media::Blank && !blankOk) return SenseData{0x05, 0x24, 0x00};
    return std::nullopt;
}

// ---- unit and tray ----

ScsiResult VirtualDrive::testUnitReady() {
    if (!trayOpen_) refreshMedia(true);
    if (auto p = mediumProblem(true)) return check(*p);
    return good();
}

ScsiResult VirtualDrive::inquiry(const ScsiCommand& c) {
    if (c.cdb[1] & 0x01) return check(0x05, 0x24, 0x00);  // no vital product data pages
    std::vector<std::uint8_t> r(96, 0);
    r[0] = 0x05;  // peripheral device type: CD/DVD
    r[1] = 0x80;  // removable medium
    r[2] = 0x05;  // SPC-3
    r[3] = 0x02;  // response data format
    r[4] = 96 - 5;
    auto put = [&r](std::size_t at, std::size_t width, const std::string& s) {
        for (std::size_t i = 0; i < width; ++i) r[at + i] = i < s.size() ? std::uint8_t(s[i]) : ' ';
    };
    put(8, 8, config_.vendor);
    put(16, 16, config_.product);
    put(32, 4, config_.revision);
    const std::size_t allocation = std::size_t(c.cdb[3]) << 8 | c.cdb[4];
    return reply(c, r, allocation);
}

ScsiResult VirtualDrive::startStopUnit(const ScsiCommand& c) {
    const bool loadEject = c.cdb[4] & 0x02;
    const bool start = c.cdb[4] & 0x01;
    if (!loadEject) {
        if (start) {
            if (auto p = mediumProblem(true)) return check(*p);
        } else {
            endPlay();
        }
        return good();
    }
    if (!start) {
        if (locked_) return check(0x05, 0x53, 0x02);  // medium removal prevented
        endPlay();
        recording_.reset();
        trayOpen_ = true;
        unitAttention_ = false;
        return good();
    }
    if (trayOpen_) {
        trayOpen_ = false;
        mediaRead_ = false;  // whatever is in the folder now is a newly loaded disc
        refreshMedia(true);
    }
    return good();
}

ScsiResult VirtualDrive::preventAllow(const ScsiCommand& c) {
    locked_ = (c.cdb[4] & 0x03) != 0;
    return good();
}

ScsiResult VirtualDrive::rezero() {
    if (auto p = mediumProblem()) return check(*p);
    endPlay();
    position_ = 0;
    return good();
}

ScsiResult VirtualDrive::seek(const ScsiCommand& c) {
    if (auto p = mediumProblem()) return check(*p);
    const std::int32_t lba = std::int32_t(std::uint32_t(c.cdb[2]) << 24 | std::uint32_t(c.cdb[3]) << 16 |
                                          std::uint32_t(c.cdb[4]) << 8 | c.cdb[5]);
    if (lba < 0 || lba >= disc_->leadOut()) return check(0x05, 0x21, 0x00);
    endPlay();
    position_ = lba;
    return good();
}

}  // namespace melvarin
