#include "drive/MmcReplies.h"

#include <algorithm>

namespace melvarin::mmc {

std::optional<TocReply> parseToc(std::span<const std::uint8_t> reply) {
    if (reply.size() < 4) return std::nullopt;
    TocReply toc;
    toc.firstTrack = reply[2];
    toc.lastTrack = reply[3];
    const std::size_t dataLength = (static_cast<std::size_t>(reply[0]) << 8) | reply[1];
    const std::size_t end = std::min(reply.size(), dataLength + 2);
    for (std::size_t at = 4; at + 8 <= end; at += 8) {
        TocEntry e;
        e.adrControl = reply[at + 1];
        e.track = reply[at + 2];
        e.minute = reply[at + 5];
        e.second = reply[at + 6];
        e.frame = reply[at + 7];
        toc.entries.push_back(e);
    }
    return toc;
}

std::optional<SubChannelReply> parseSubChannel(std::span<const std::uint8_t> reply) {
    if (reply.size() < 12) return std::nullopt;
    SubChannelReply r;
    r.audioStatus = reply[1];
    std::copy(reply.begin() + 8, reply.begin() + 12, r.address.begin());
    return r;
}

std::uint32_t cdTextLength(std::span<const std::uint8_t> reply) {
    if (reply.size() < 2) return 0;
    return ((static_cast<std::uint32_t>(reply[0]) << 8) | reply[1]) + 2;
}

int mechanismState(std::span<const std::uint8_t> reply) {
    if (reply.size() < 2) return 0;
    if (reply[1] & 0x10) return 5;
    return ((reply[1] >> 5) & 0x07) + 1;
}

namespace {
std::string textField(std::span<const std::uint8_t> reply, std::size_t from, std::size_t to) {
    std::string s;
    for (std::size_t i = from; i < to && i < reply.size(); ++i) s.push_back(static_cast<char>(reply[i]));
    return s;
}
}  // namespace

std::string inquiryName(std::span<const std::uint8_t> reply) { return textField(reply, 8, 32); }

std::string inquiryIdentification(std::span<const std::uint8_t> reply) { return textField(reply, 8, 36); }

std::uint8_t inquiryDeviceType(std::span<const std::uint8_t> reply) {
    return reply.empty() ? 0x1F : static_cast<std::uint8_t>(reply[0] & 0x1F);
}

SenseData parseSense(std::span<const std::uint8_t> sense) {
    SenseData s;
    if (sense.empty()) return s;
    const std::uint8_t code = sense[0] & 0x7F;
    if (code == 0x70 || code == 0x71) {
        if (sense.size() > 2) s.key = sense[2] & 0x0F;
        if (sense.size() > 12) s.asc = sense[12];
        if (sense.size() > 13) s.ascq = sense[13];
    } else if (code == 0x72 || code == 0x73) {
        if (sense.size() > 1) s.key = sense[1] & 0x0F;
        if (sense.size() > 2) s.asc = sense[2];
        if (sense.size() > 3) s.ascq = sense[3];
    }
    return s;
}

}  // namespace melvarin::mmc
