// READ TOC/PMA/ATIP, READ SUB-CHANNEL, analog play and MECHANISM STATUS of the
// emulated drive.
#include "drive/VirtualDrive.h"

#include <algorithm>

namespace melvarin {

namespace {

void putAddress(std::vector<std::uint8_t>& r, std::int64_t lba, bool msf) {
    if (msf) {
        const std::int64_t f = lba + 150;
        r.push_back(0);
        r.push_back(std::uint8_t(f / 4500));
        r.push_back(std::uint8_t(f / 75 % 60));
        r.push_back(std::uint8_t(f % 75));
    } else {
        const auto v = std::uint32_t(std::int32_t(lba));
        r.push_back(std::uint8_t(v >> 24));
        r.push_back(std::uint8_t(v >> 16));
        r.push_back(std::uint8_t(v >> 8));
        r.push_back(std::uint8_t(v));
    }
}

void putLength(std::vector<std::uint8_t>& r) {
    const std::size_t n = r.size() - 2;
    r[0] = std::uint8_t(n >> 8);
    r[1] = std::uint8_t(n);
}

std::int64_t msfToLba(const std::uint8_t* p) { return std::int64_t(p[0]) * 4500 + p[1] * 75 + p[2] - 150; }

}  // namespace

ScsiResult VirtualDrive::readToc(const ScsiCommand& c) {
    const bool msf = c.cdb[1] & 0x02;
    int format = c.cdb[2] & 0x0F;
    if (format == 0) format = c.cdb[9] >> 6;  // the older place of the format
    const std::size_t allocation = std::size_t(c.cdb[7]) << 8 | c.cdb[8];
    const int startTrack = c.cdb[6];

    if (format == 4) {  // ATIP
        if (auto p = mediumProblem(true)) return check(*p);
        if (media_ != Media::Blank) return check(0x05, 0x24, 0x00);  // pressed discs carry no ATIP
        std::vector<std::uint8_t> r(28, 0);
        r[4] = 0x50;                                // indicative target writing power
        r[6] = blank_.rewritable ? 0x40 : 0x00;     // disc type: CD-RW / CD-R
        r[8] = 97, r[9] = 26, r[10] = 66;           // start time of lead-in
        const std::int64_t f = blank_.capacity + 150;  // last possible start of the lead-out
        r[12] = std::uint8_t(f / 4500), r[13] = std::uint8_t(f / 75 % 60), r[14] = std::uint8_t(f % 75);
        putLength(r);
        return reply(c, r, allocation);
    }

    if (auto p = mediumProblem()) return check(*p);
    const auto& tracks = disc_->tracks();
    std::vector<std::uint8_t> r{0, 0, std::uint8_t(tracks.front().number), std::uint8_t(tracks.back().number)};
    auto descriptor = [&](std::uint8_t control, int number, std::int64_t lba) {
        r.push_back(0);
        r.push_back(std::uint8_t(0x10 | control));  // ADR 1: Q mode-1 position data
        r.push_back(std::uint8_t(number));
        r.push_back(0);
        putAddress(r, lba, msf);
    };

    switch (format) {
    case 0: {
        if (startTrack > tracks.back().number && startTrack != 0xAA) return check(0x05, 0x24, 0x00);
        for (const auto& t : tracks)
            if (t.number >= startTrack) descriptor(t.control, t.number, t.start);
        descriptor(tracks.back().control, 0xAA, disc_->leadOut());
        break;
    }
    case 1: {  // session information: first track of the last session
        r[2] = 1;
        r[3] = std::uint8_t(disc_->sessionCount());
        for (const auto& t : tracks)
            if (t.session == disc_->sessionCount()) {
                descriptor(t.control, t.number, t.start);
                break;
            }
        break;
    }
    case 5: {  // CD-TEXT
        r[2] = r[3] = 0;
        const auto& packs = disc_->cdText();
        r.resize(4 + packs.size());
        std::copy(packs.begin(), packs.end(), r.begin() + 4);
        break;
    }
    default: return check(0x05, 0x24, 0x00);
    }
    putLength(r);
    return reply(c, r, allocation);
}

// ---- analog play ----

void VirtualDrive::advancePlay() {
    if (play_ != PlayState::Playing) return;
    const std::int64_t elapsed = clock_->nowMicros() - playClock_;
    const std::int64_t reached = playStart_ + std::max<std::int64_t>(0, elapsed) * 75 / 1000000;
    for (const auto& [a, b] : config_.badSectors)
        if (b >= playStart_ && a < std::min(reached + 1, playEnd_)) {
            play_ = PlayState::Error;
            position_ = std::max(a, playStart_);
            return;
        }
    if (reached >= playEnd_) {
        play_ = PlayState::Completed;
        position_ = playEnd_ - 1;
    } else {
        position_ = reached;
    }
}

std::int64_t VirtualDrive::currentPosition() {
    advancePlay();
    return position_;
}

void VirtualDrive::endPlay() {
    advancePlay();
    play_ = PlayState::None;
}

ScsiResult VirtualDrive::playAudioMsf(const ScsiCommand& c) {
    if (auto p = mediumProblem()) return check(*p);
    const bool fromHere = c.cdb[3] == 0xFF && c.cdb[4] == 0xFF && c.cdb[5] == 0xFF;
    const std::int64_t start = fromHere ? currentPosition() : msfToLba(&c.cdb[3]);
    const std::int64_t end = msfToLba(&c.cdb[6]);
    if (end < start) return check(0x05, 0x24, 0x00);
    if (start < 0 || end > disc_->leadOut()) return check(0x05, 0x21, 0x00);
    if (start == end) return good();
    for (const auto& t : disc_->tracks())
        if (t.isData() && t.pregapStart < end && t.end > start) return check(0x05, 0x64, 0x00);
    play_ = PlayState::Playing;
    playStart_ = start;
    playEnd_ = end;
    playClock_ = clock_->nowMicros();
    position_ = start;
    return good();
}

ScsiResult VirtualDrive::pauseResume(const ScsiCommand& c) {
    if (auto p = mediumProblem()) return check(*p);
    advancePlay();
    const bool resume = c.cdb[8] & 0x01;
    if (resume) {
        if (play_ != PlayState::Paused) return check(0x05, 0x2C, 0x00);  // command sequence error
        play_ = PlayState::Playing;
        playStart_ = position_;
        playClock_ = clock_->nowMicros();
    } else {
        if (play_ != PlayState::Playing && play_ != PlayState::Paused) return check(0x05, 0x2C, 0x00);
        play_ = PlayState::Paused;
    }
    return good();
}

ScsiResult VirtualDrive::stopPlay() {
    if (auto p = mediumProblem()) return check(*p);
    endPlay();
    return good();
}

ScsiResult VirtualDrive::readSubChannel(const ScsiCommand& c) {
    if (auto p = mediumProblem()) return check(*p);
    const bool msf = c.cdb[1] & 0x02;
    const bool subQ = c.cdb[2] & 0x40;
    const int format = c.cdb[3];
    const std::size_t allocation = std::size_t(c.cdb[7]) << 8 | c.cdb[8];
    if (subQ && format != 1) return check(0x05, 0x24, 0x00);

    const std::int64_t pos = currentPosition();
    std::uint8_t status = 0x15;
    switch (play_) {
    case PlayState::Playing: status = 0x11; break;
    case PlayState::Paused: status = 0x12; break;
    case PlayState::Completed: status = 0x13; break;
    case PlayState::Error: status = 0x14; break;
    case PlayState::None: break;
    }
    // "Completed" and "stopped by an error" are reported once.
    if (play_ == PlayState::Completed || play_ == PlayState::Error) play_ = PlayState::None;

    std::vector<std::uint8_t> r{0, status, 0, 0};
    if (subQ) {
        const VirtualDisc::Track* t = disc_->trackAt(pos);
        if (!t) t = &disc_->tracks().back();
        r.push_back(0x01);  // current position
        r.push_back(std::uint8_t(0x10 | t->control));
        r.push_back(std::uint8_t(t->number));
        r.push_back(pos < t->start ? 0 : 1);
        putAddress(r, pos, msf);
        const std::int64_t relative = pos - t->start;
        if (msf)
            putAddress(r, (relative < 0 ? -relative : relative) - 150, true);
        else
            putAddress(r, relative, false);
        r[3] = 12;
    }
    return reply(c, r, allocation);
}

ScsiResult VirtualDrive::mechanismStatus(const ScsiCommand& c) {
    const std::size_t allocation = std::size_t(c.cdb[8]) << 8 | c.cdb[9];
    advancePlay();
    std::vector<std::uint8_t> r(8, 0);
    r[1] = std::uint8_t((play_ == PlayState::Playing ? 1 : 0) << 5 | (trayOpen_ ? 0x10 : 0));
    const auto lba = std::uint32_t(position_);
    r[2] = std::uint8_t(lba >> 16), r[3] = std::uint8_t(lba >> 8), r[4] = std::uint8_t(lba);
    return reply(c, r, allocation);
}

}  // namespace melvarin
