// The recorder side of the emulated drive: a blank disc (blank.ini) becomes a
// finished one (disc.bin + disc.cue) through SEND CUE SHEET, WRITE(10) and
// CLOSE SESSION; BLANK turns a rewritable disc back into a blank one.
#include "drive/VirtualDrive.h"

#include "platform/FileUtil.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace melvarin {

namespace {

constexpr std::size_t kRaw = 2352;

std::string msfText(std::int64_t frames) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", int(frames / 4500), int(frames / 75 % 60), int(frames % 75));
    return buf;
}

// Closes a file descriptor when it goes out of scope.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::optional<SenseData> VirtualDrive::recorderProblem() {
    if (auto p = mediumProblem(true)) return p;
    if (media_ != Media::Blank) return SenseData{0x05, 0x30, 0x05};  // cannot write: not a blank disc
    return std::nullopt;
}

ScsiResult VirtualDrive::synchronizeCache() {
    if (auto p = mediumProblem(true)) return check(*p);
    return good();
}

ScsiResult VirtualDrive::sendOpc() {
    if (auto p = recorderProblem()) return check(*p);
    return good();
}

ScsiResult VirtualDrive::readDiscInformation(const ScsiCommand& c) {
    if (auto p = mediumProblem(true)) return check(*p);
    const std::size_t allocation = std::size_t(c.cdb[7]) << 8 | c.cdb[8];
    std::vector<std::uint8_t> r(34, 0);
    r[1] = 32;
    auto putMsf = [&r](std::size_t at, std::int64_t frames) {
        r[at + 1] = std::uint8_t(frames / 4500);
        r[at + 2] = std::uint8_t(frames / 75 % 60);
        r[at + 3] = std::uint8_t(frames % 75);
    };
    if (media_ == Media::Blank) {
        r[2] = blank_.rewritable ? 0x10 : 0x00;  // erasable; empty session, empty disc
        r[3] = 1, r[4] = 1, r[5] = 1, r[6] = 1;
        r[7] = 0x20;                              // unrestricted use
        putMsf(16, 97 * 4500 + 26 * 75 + 66);     // lead-in start
        putMsf(20, blank_.capacity + 150);        // last possible lead-out start
    } else {
        const auto& tracks = disc_->tracks();
        r[2] = std::uint8_t((disc_->rewritable() ? 0x10 : 0x00) | 0x0C | 0x02);  // complete session, complete disc
        r[3] = std::uint8_t(tracks.front().number);
        r[4] = std::uint8_t(disc_->sessionCount());
        int firstOfLast = tracks.back().number;
        for (const auto& t : tracks)
            if (t.session == disc_->sessionCount()) {
                firstOfLast = t.number;
                break;
            }
        r[5] = std::uint8_t(firstOfLast);
        r[6] = std::uint8_t(tracks.back().number);
        r[7] = 0x20;
        for (std::size_t i = 16; i < 24; ++i) r[i] = 0xFF;  // nothing more can be recorded
    }
    return reply(c, r, allocation);
}

ScsiResult VirtualDrive::sendCueSheet(const ScsiCommand& c) {
    if (auto p = recorderProblem()) return check(*p);
    const std::size_t length = std::size_t(c.cdb[6]) << 16 | std::size_t(c.cdb[7]) << 8 | c.cdb[8];
    if (c.direction != DataDirection::Out || c.data.size() < length || length % 8 != 0 || length < 24)
        return check(0x05, 0x1A, 0x00);  // parameter list length error
    const std::vector<std::uint8_t>& page = writeParameters_;
    if (page.size() < 3 || (page[2] & 0x0F) != 2) return check(0x05, 0x2C, 0x00);  // not session-at-once

    const SenseData bad{0x05, 0x26, 0x00};  // invalid field in parameter list
    Recording rec;
    rec.test = (page[2] & 0x10) != 0;
    const std::uint8_t* d = c.data.data();
    const std::size_t entries = length / 8;
    if (d[1] != 0 || d[8 * (entries - 1) + 1] != 0xAA) return check(bad);
    for (std::size_t i = 1; i < entries; ++i) {
        const std::uint8_t* e = d + 8 * i;
        if (e[6] >= 60 || e[7] >= 75) return check(bad);
        const std::int64_t lba = std::int64_t(e[5]) * 4500 + e[6] * 75 + e[7] - 150;
        if (e[1] == 0xAA) {
            if (i + 1 != entries) return check(bad);
            rec.leadOut = lba;
            continue;
        }
        const int number = e[1];
        if (number < 1 || number > 99) return check(bad);
        if (rec.tracks.empty() || rec.tracks.back().number != number) {
            if (number != int(rec.tracks.size()) + 1) return check(bad);
            if (!rec.tracks.empty() && rec.tracks.back().start < 0) return check(bad);
            rec.tracks.push_back({number, std::uint8_t(e[0] >> 4), -1, -1});
        }
        RecordedTrack& t = rec.tracks.back();
        const std::int64_t previous = rec.tracks.size() > 1 ? rec.tracks[rec.tracks.size() - 2].start : -151;
        if (lba <= previous) return check(bad);
        if (e[2] == 0 && t.start < 0)
            t.index0 = lba;
        else if (e[2] == 1 && t.start < 0)
            t.start = lba;
        else if (e[2] > 1 && t.start >= 0 && lba > t.start)
            continue;  // further indexes are not kept
        else
            return check(bad);
    }
    if (rec.tracks.empty() || rec.tracks.back().start < 0 || rec.tracks.front().start != 0 ||
        rec.leadOut <= rec.tracks.back().start)
        return check(bad);
    if (rec.leadOut > blank_.capacity) return check(0x05, 0x21, 0x00);

    if (!rec.test) {
        std::remove(partPath().c_str());
        Fd fd{::open(partPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
        if (fd.fd < 0) return check(0x03, 0x0C, 0x00);  // write error
    }
    recording_ = std::move(rec);
    return good();
}

ScsiResult VirtualDrive::write(const ScsiCommand& c) {
    if (auto p = recorderProblem()) return check(*p);
    if (!recording_) return check(0x05, 0x2C, 0x00);  // no cue sheet yet
    const std::int64_t lba = std::int32_t(std::uint32_t(c.cdb[2]) << 24 | std::uint32_t(c.cdb[3]) << 16 |
                                          std::uint32_t(c.cdb[4]) << 8 | c.cdb[5]);
    const std::int64_t count = c.cdb[7] << 8 | c.cdb[8];
    const std::int64_t first = recording_->tracks.front().index0 >= -150 ? recording_->tracks.front().index0 : 0;
    if (lba < std::min<std::int64_t>(first, 0) || lba + count > recording_->leadOut)
        return check(0x05, 0x21, 0x00);
    const std::size_t bytes = std::size_t(count) * kRaw;
    if (c.direction != DataDirection::Out || c.data.size() < bytes) return check(0x05, 0x24, 0x00);
    if (recording_->test || count == 0) return good(bytes);

    // The pre-gap before LBA 0 is not kept: the finished disc starts at track 1.
    const std::int64_t skip = lba < 0 ? std::min(count, -lba) : 0;
    if (skip == count) return good(bytes);
    Fd fd{::open(partPath().c_str(), O_WRONLY | O_CLOEXEC)};
    const std::uint8_t* src = c.data.data() + std::size_t(skip) * kRaw;
    std::size_t left = bytes - std::size_t(skip) * kRaw;
    off_t at = off_t(lba + skip) * off_t(kRaw);
    while (fd.fd >= 0 && left > 0) {
        const ssize_t n = ::pwrite(fd.fd, src, left, at);
        if (n <= 0) break;
        src += n, left -= std::size_t(n), at += n;
    }
    if (fd.fd < 0 || left > 0) return check(0x03, 0x0C, 0x00);
    return good(bytes);
}

ScsiResult VirtualDrive::closeTrackSession(const ScsiCommand& c) {
    if (auto p = mediumProblem(true)) return check(*p);
    const int function = c.cdb[2] & 0x07;
    if (function == 1) return good();  // closing a track: nothing to do in session-at-once
    if (function != 2) return check(0x05, 0x24, 0x00);
    if (!recording_) return check(0x05, 0x2C, 0x00);
    Recording rec = std::move(*recording_);
    recording_.reset();
    if (rec.test) return good();

    if (::truncate(partPath().c_str(), off_t(rec.leadOut) * off_t(kRaw)) != 0 ||
        std::rename(partPath().c_str(), (folder_ + "disc.bin").c_str()) != 0)
        return check(0x03, 0x0C, 0x00);
    std::string cue;
    if (blank_.rewritable) cue += "REM MEDIUM CD-RW\n";
    cue += "FILE \"disc.bin\" BINARY\n";
    for (const RecordedTrack& t : rec.tracks) {
        cue += std::string("  TRACK ") + (t.number < 10 ? "0" : "") + std::to_string(t.number) +
               ((t.control & 0x4) ? " MODE1/2352\n" : " AUDIO\n");
        std::string flags;
        if (t.control & 0x2) flags += " DCP";
        if (t.control & 0x1) flags += " PRE";
        if (t.control & 0x8) flags += " 4CH";
        if (!flags.empty()) cue += "    FLAGS" + flags + "\n";
        if (t.index0 >= 0 && t.index0 < t.start) cue += "    INDEX 00 " + msfText(t.index0) + "\n";
        cue += "    INDEX 01 " + msfText(t.start) + "\n";
    }
    if (!FileUtil::writeAtomically(folder_ + "disc.cue", cue)) return check(0x03, 0x0C, 0x00);
    std::remove((folder_ + "blank.ini").c_str());
    refreshMedia(false);  // the drive knows its own disc: no unit attention
    return good();
}

ScsiResult VirtualDrive::blank(const ScsiCommand& c) {
    if (auto p = mediumProblem(true)) return check(*p);
    const int type = c.cdb[1] & 0x07;
    if (type > 1) return check(0x05, 0x24, 0x00);
    const bool rewritable = media_ == Media::Blank ? blank_.rewritable : disc_->rewritable();
    if (!config_.rewriter || !rewritable) return check(0x05, 0x30, 0x05);  // cannot write this medium
    endPlay();
    recording_.reset();
    std::remove(partPath().c_str());
    if (media_ == Media::Disc) {
        for (const std::string& f : disc_->filePaths())
            if (f.rfind(folder_, 0) == 0) std::remove(f.c_str());
        std::remove((folder_ + "disc.cue").c_str());
    }
    const std::int64_t capacity = media_ == Media::Blank ? blank_.capacity : VirtualBlankDisc{}.capacity;
    if (!FileUtil::writeAtomically(folder_ + "blank.ini",
                                   "capacity=" + std::to_string(capacity) + "\nrewritable=1\n"))
        return check(0x03, 0x0C, 0x00);
    refreshMedia(false);
    return good();
}

}  // namespace melvarin
