#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "drive/ScsiDevice.h"

namespace melvarin {

// One entry of a READ TOC format 0 reply read with MSF addresses.
struct TocEntry {
    std::uint8_t adrControl = 0;  // ADR in the high nibble, control in the low
    std::uint8_t track = 0;       // 1-99, or 0xAA for the lead-out
    std::uint8_t minute = 0, second = 0, frame = 0;
    bool operator==(const TocEntry&) const = default;
};

struct TocReply {
    std::uint8_t firstTrack = 0;
    std::uint8_t lastTrack = 0;
    std::vector<TocEntry> entries;  // in reply order, the lead-out last when present
};

// READ SUB-CHANNEL (current position, MSF) reply as the command layer uses it.
struct SubChannelReply {
    std::uint8_t audioStatus = 0;
    std::array<std::uint8_t, 4> address{};  // reserved, minute, second, frame
};

// Reply parsers of the drive command layer. Each checks every length against
// what it was given and returns nothing (or zeros) for a reply too short.
namespace mmc {

// Format 0 TOC: the data length in bytes 0-1 bounds the descriptors read; a
// partial trailing descriptor is ignored. Nothing when the header is missing.
std::optional<TocReply> parseToc(std::span<const std::uint8_t> reply);

// Nothing when the reply is shorter than 12 bytes.
std::optional<SubChannelReply> parseSubChannel(std::span<const std::uint8_t> reply);

// Whole CD-TEXT block length: (bytes 0-1) + 2; 0 when shorter than 2 bytes.
std::uint32_t cdTextLength(std::span<const std::uint8_t> reply);

// 0 when the reply is shorter than 2 bytes; 5 when the door is open; otherwise
// the mechanism state (bits 5-7 of byte 1) plus 1.
int mechanismState(std::span<const std::uint8_t> reply);

// The 24 characters of INQUIRY bytes 8-31 (vendor + product), padding kept;
// bytes missing from a short reply are left out.
std::string inquiryName(std::span<const std::uint8_t> reply);
// The 28 characters of bytes 8-35 (vendor, product, revision).
std::string inquiryIdentification(std::span<const std::uint8_t> reply);
// Peripheral device type (byte 0 bits 0-4); 0x1F when the reply is empty.
std::uint8_t inquiryDeviceType(std::span<const std::uint8_t> reply);

// Key/ASC/ASCQ from fixed-format (0x70/0x71) or descriptor-format (0x72/0x73)
// sense bytes; zeros for anything else or what is missing.
SenseData parseSense(std::span<const std::uint8_t> sense);

}  // namespace mmc
}  // namespace melvarin
