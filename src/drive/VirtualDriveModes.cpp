// MODE SENSE(10), MODE SELECT(10) and SET CD SPEED of the emulated drive.
#include "drive/VirtualDrive.h"

#include <algorithm>

namespace melvarin {

namespace {

constexpr int kMaxReadSpeedKb = 8467;   // 48x
constexpr int kMaxWriteSpeedKb = 8467;  // 48x
constexpr std::uint8_t kWritePageLength = 0x32;

std::vector<std::uint8_t> defaultWriteParameters() {
    std::vector<std::uint8_t> p(2 + kWritePageLength, 0);
    p[0] = 0x05;
    p[1] = kWritePageLength;
    p[2] = 0x41;  // BUFE, write type track-at-once
    p[3] = 0x04;  // track mode 4
    p[4] = 0x08;  // data block type: mode 1, 2048 bytes
    p[15] = 150;  // audio pause length
    return p;
}

}  // namespace

std::vector<std::uint8_t> VirtualDrive::modePage(int code, int pc) const {
    const bool changeable = pc == 1;
    const bool defaults = pc == 2;
    std::vector<std::uint8_t> p;
    switch (code) {
    case 0x05: {
        if (!config_.writer) return {};
        if (changeable) {
            p.assign(2 + kWritePageLength, 0xFF);
            p[0] = 0x05, p[1] = kWritePageLength;
            return p;
        }
        return defaults || writeParameters_.empty() ? defaultWriteParameters() : writeParameters_;
    }
    case 0x08: {
        p.assign(12, 0);
        p[0] = 0x08, p[1] = 10;
        if (changeable)
            p[2] = 0x05;
        else if (!defaults)
            p[2] = std::uint8_t((readCacheDisabled_ ? 0x01 : 0) | (writeCacheEnabled_ ? 0x04 : 0));
        return p;
    }
    case 0x0E: {
        p.assign(16, 0);
        p[0] = 0x0E, p[1] = 14;
        if (changeable) {
            p[2] = 0x04;
            p[8] = 0x0F, p[9] = 0xFF, p[10] = 0x0F, p[11] = 0xFF;
            return p;
        }
        p[2] = 0x04;  // Immed
        const std::array<std::uint8_t, 4> ports =
            defaults ? std::array<std::uint8_t, 4>{0x01, 0xFF, 0x02, 0xFF} : audioPorts_;
        std::copy(ports.begin(), ports.end(), p.begin() + 8);
        return p;
    }
    case 0x2A: {
        p.assign(22, 0);
        p[0] = 0x2A, p[1] = 20;
        if (changeable) return p;
        p[2] = 0x03;  // reads CD-R, CD-RW
        p[3] = std::uint8_t((config_.writer ? 0x01 : 0) | (config_.rewriter ? 0x02 : 0) |
                            (config_.writer && config_.testWrite ? 0x04 : 0));
        p[4] = 0x71 | (config_.writer ? 0x80 : 0);  // audio play, mode 2 forms 1 and 2, multi-session, BUF
        p[5] = 0x03;  // CD-DA commands, accurate stream
        p[6] = 0x29 | (locked_ ? 0x02 : 0);  // lock, eject, tray loading
        p[7] = 0x03;  // separate volume and mute per channel
        p[8] = std::uint8_t(kMaxReadSpeedKb >> 8), p[9] = std::uint8_t(kMaxReadSpeedKb);
        p[10] = 0x01, p[11] = 0x00;  // 256 volume levels
        p[12] = std::uint8_t(config_.bufferKb >> 8), p[13] = std::uint8_t(config_.bufferKb);
        const int read = std::min(readSpeedKb_, kMaxReadSpeedKb);
        p[14] = std::uint8_t(read >> 8), p[15] = std::uint8_t(read);
        if (config_.writer) {
            const int write = std::min(writeSpeedKb_, kMaxWriteSpeedKb);
            p[18] = std::uint8_t(kMaxWriteSpeedKb >> 8), p[19] = std::uint8_t(kMaxWriteSpeedKb);
            p[20] = std::uint8_t(write >> 8), p[21] = std::uint8_t(write);
        }
        return p;
    }
    default: return {};
    }
}

ScsiResult VirtualDrive::modeSense(const ScsiCommand& c) {
    const int pc = c.cdb[2] >> 6;
    const int code = c.cdb[2] & 0x3F;
    const std::size_t allocation = std::size_t(c.cdb[7]) << 8 | c.cdb[8];
    if (pc == 3) return check(0x05, 0x39, 0x00);  // saving parameters not supported
    std::vector<std::uint8_t> r(8, 0);
    const std::vector<int> codes = code == 0x3F ? std::vector<int>{0x05, 0x08, 0x0E, 0x2A} : std::vector<int>{code};
    for (int k : codes) {
        const auto page = modePage(k, pc);
        if (page.empty() && code != 0x3F) return check(0x05, 0x24, 0x00);
        r.insert(r.end(), page.begin(), page.end());
    }
    const std::size_t n = r.size() - 2;
    r[0] = std::uint8_t(n >> 8), r[1] = std::uint8_t(n);
    return reply(c, r, allocation);
}

ScsiResult VirtualDrive::modeSelect(const ScsiCommand& c) {
    const std::size_t length = std::size_t(c.cdb[7]) << 8 | c.cdb[8];
    if (length == 0) return good();
    if (c.direction != DataDirection::Out || c.data.size() < length || length < 8)
        return check(0x05, 0x1A, 0x00);  // parameter list length error
    const std::uint8_t* d = c.data.data();
    const std::size_t blockDescriptors = std::size_t(d[6]) << 8 | d[7];

    // Check every page first, so that a bad list changes nothing.
    struct Page {
        int code;
        const std::uint8_t* bytes;
        std::size_t size;
    };
    std::vector<Page> pages;
    std::size_t at = 8 + blockDescriptors;
    if (at > length) return check(0x05, 0x1A, 0x00);
    while (at < length) {
        if (at + 2 > length) return check(0x05, 0x1A, 0x00);
        const int code = d[at] & 0x3F;
        const std::size_t size = 2 + std::size_t(d[at + 1]);
        if (at + size > length) return check(0x05, 0x1A, 0x00);
        const bool fits = (code == 0x08 && size >= 3) || (code == 0x0E && size >= 12) ||
                          (code == 0x05 && config_.writer && (size == 2 + 0x32 || size == 2 + 0x36));
        if (!fits) return check(0x05, 0x26, 0x00);  // invalid field in parameter list
        if (code == 0x05 && ((d[at + 2] & 0x0F) > 3 || ((d[at + 2] & 0x10) && !config_.testWrite)))
            return check(0x05, 0x26, 0x00);  // unknown write type, or test writing unsupported
        pages.push_back({code, d + at, size});
        at += size;
    }
    for (const Page& p : pages) {
        if (p.code == 0x08) {
            readCacheDisabled_ = p.bytes[2] & 0x01;
            writeCacheEnabled_ = p.bytes[2] & 0x04;
        } else if (p.code == 0x0E) {
            std::copy(p.bytes + 8, p.bytes + 12, audioPorts_.begin());
        } else {
            writeParameters_.assign(p.bytes, p.bytes + p.size);
            writeParameters_[1] = kWritePageLength;
            writeParameters_.resize(2 + kWritePageLength);
        }
    }
    return good();
}

ScsiResult VirtualDrive::setCdSpeed(const ScsiCommand& c) {
    readSpeedKb_ = c.cdb[2] << 8 | c.cdb[3];
    writeSpeedKb_ = c.cdb[4] << 8 | c.cdb[5];
    return good();
}

}  // namespace melvarin
