#include "VirtualDriveFixture.h"

namespace melvarin::test {

VirtualDriveFixture::VirtualDriveFixture() {
    VirtualDrive::setLogSink([this](const std::string& line) { logged.push_back(line); });
}

VirtualDriveFixture::~VirtualDriveFixture() { VirtualDrive::setLogSink({}); }

VirtualDrive& VirtualDriveFixture::drive() {
    if (!drive_) drive_ = std::make_unique<VirtualDrive>(dir.path(), clock);
    return *drive_;
}

Reply VirtualDriveFixture::in(const std::vector<std::uint8_t>& cdb, std::size_t inBytes) {
    Reply r;
    r.data.assign(inBytes, 0xEE);
    ScsiCommand c;
    c.cdb = cdb;
    c.direction = DataDirection::In;
    c.data = r.data;
    r.result = drive().execute(c);
    r.data.resize(std::min(r.result.transferred, inBytes));
    return r;
}

Reply VirtualDriveFixture::none(const std::vector<std::uint8_t>& cdb) {
    Reply r;
    ScsiCommand c;
    c.cdb = cdb;
    r.result = drive().execute(c);
    return r;
}

Reply VirtualDriveFixture::out(const std::vector<std::uint8_t>& cdb, std::vector<std::uint8_t> data) {
    Reply r;
    ScsiCommand c;
    c.cdb = cdb;
    c.direction = DataDirection::Out;
    c.data = data;
    r.result = drive().execute(c);
    return r;
}

std::string VirtualDriveFixture::binSectors(int sectors, int seed) {
    std::string out;
    out.reserve(std::size_t(sectors) * 2352);
    for (int s = 0; s < sectors; ++s) {
        const auto word = std::uint16_t(seed + s);
        for (int i = 0; i < 1176; ++i) {
            out += char(word & 0xFF);
            out += char(word >> 8);
        }
    }
    return out;
}

std::string VirtualDriveFixture::waveSectors(int sectors, int seed) {
    const std::string pcm = binSectors(sectors, seed);
    std::string h = "RIFF";
    auto u32 = [&h](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) h += char(v >> (8 * i));
    };
    u32(std::uint32_t(36 + pcm.size()));
    h += "WAVEfmt ";
    u32(16);
    h += std::string("\x01\x00\x02\x00", 4);
    u32(44100);
    u32(176400);
    h += std::string("\x04\x00\x10\x00", 4);
    h += "data";
    u32(std::uint32_t(pcm.size()));
    return h + pcm;
}

std::vector<std::uint8_t> readTocCdb(std::uint8_t format, bool msf, std::uint8_t track) {
    return {0x43,                       // READ TOC/PMA/ATIP
            std::uint8_t(msf ? 0x02 : 0x00),  // MSF
            format,                     // format
            0, 0, 0,
            track,                      // starting track
            0x03, 0x24,                 // allocation length 804
            0};
}

std::vector<std::uint8_t> readCdCdb(std::uint32_t lba, std::uint16_t count, std::uint8_t sectorType,
                                    std::uint8_t flags) {
    return {0xBE,                                   // READ CD
            std::uint8_t(sectorType << 2),          // expected sector type
            std::uint8_t(lba >> 24), std::uint8_t(lba >> 16), std::uint8_t(lba >> 8), std::uint8_t(lba),
            0, std::uint8_t(count >> 8), std::uint8_t(count),  // transfer length
            flags,                                  // which fields of the sector
            0, 0};
}

}  // namespace melvarin::test

namespace melvarin::test {

namespace {

// CRC-16, polynomial x^16 + x^12 + x^5 + 1, long division bit by bit, inverted.
std::uint16_t referenceCrc(const std::uint8_t* p) {
    std::uint32_t acc = 0;
    for (int i = 0; i < 16 * 8 + 16; ++i) {
        const int bit = i < 128 ? (p[i / 8] >> (7 - i % 8)) & 1 : 0;
        acc = acc << 1 | std::uint32_t(bit);
        if (acc & 0x10000) acc ^= 0x11021;
    }
    return std::uint16_t(~acc);
}

}  // namespace

ParsedCdText parseCdText(const std::vector<std::uint8_t>& reply) {
    ParsedCdText out;
    if (reply.size() < 4) return out;
    const std::size_t length = std::size_t(reply[0]) << 8 | reply[1];
    const std::size_t end = std::min(reply.size(), length + 2);
    std::string acc;
    for (std::size_t at = 4; at + 18 <= end; at += 18) {
        const std::uint8_t* p = reply.data() + at;
        ++out.packs;
        if (referenceCrc(p) != (p[16] << 8 | p[17])) ++out.badCrcs;
        if ((p[3] >> 4 & 7) != 0) continue;
        acc.append(reinterpret_cast<const char*>(p + 4), 12);
        int track = p[1];
        std::size_t nul;
        while ((nul = acc.find('\0')) != std::string::npos) {
            const std::string text = acc.substr(0, nul);
            if (p[0] == 0x80 && track == 0) out.album = text;
            if (p[0] == 0x80 && track > 0) {
                if (out.titles.size() < std::size_t(track)) out.titles.resize(std::size_t(track));
                out.titles[std::size_t(track) - 1] = text;
            }
            if (p[0] == 0x81 && track == 0) out.artist = text;
            acc.erase(0, nul + 1);
            ++track;
            while (!acc.empty() && acc.front() == '\0') acc.erase(0, 1);
        }
    }
    return out;
}

}  // namespace melvarin::test
