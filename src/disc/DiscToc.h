#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "disc/DiscRecord.h"

namespace melvarin {

// The READ TOC (format 0, MSF) reply as the drive gives it: bytes 0-1 data
// length, 2 first and 3 last track number, then one 8-byte descriptor per track
// and one for the lead-out (byte 1 ADR/control, bytes 5-7 minute, second, frame).
constexpr std::size_t kRawTocLength = 804;

// The number of tracks of a usable TOC (its last track number), or 0 when the
// reply is too short, names no track, starts at a track other than 1, or has
// more tracks than the disc record holds.
int TocTrackCount(const std::uint8_t* toc, std::size_t size);

// The freedb disc identifier of a usable TOC (0 for an unusable one):
// ((n mod 255) << 24) | (t << 8) | count, where n sums the decimal digit sums of
// each track's start in whole seconds and t is the lead-out's start minus the
// first track's, in whole seconds.
std::uint32_t DiscId(const std::uint8_t* toc, std::size_t size);

// The identifier as the name of the disc's saved files: a signed 32-bit decimal
// number ("-1710543869" when the top bit is set).
std::string DiscFileStem(std::uint32_t discId);
// The identifier as freedb writes it: 8 lower-case hexadecimal digits.
std::string HexDiscId(std::uint32_t discId);

// Fills the boundaries of every entry (tracks and lead-out) of `disc` from a
// usable TOC: start address and sector, length and size, audio flag (control
// nibble 0, 1, 2, 8 or 9), then AdjustForDataSession for data tracks. With
// `nameTracks`, titles become "Track 1", "Track 2", ...; otherwise titles, flags
// and trimming are kept. False for an unusable TOC (record untouched).
bool FillTracksFromToc(const std::uint8_t* toc, std::size_t size, DiscRecord& disc, bool nameTracks);

// A data track that follows an audio track starts a later session: its start
// moves 11400 frames back (lead-out, lead-in and pre-gap between the sessions)
// and the audio track before it ends there. Does nothing for an audio entry,
// after a data entry, or when the move would pass the previous track's start.
void AdjustForDataSession(TrackEntry& entry, TrackEntry& previous);

}  // namespace melvarin
