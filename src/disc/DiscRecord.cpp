#include "disc/DiscRecord.h"

#include <cstring>

#include "platform/Cp1251.h"

namespace melvarin {
namespace {

bool validTrack(int track) { return track >= 0 && track < kMaxTracks; }

}  // namespace

MsfAddress MsfAddress::fromFrames(int frames) {
    if (frames < 0) frames = 0;
    return MsfAddress{static_cast<std::uint8_t>(frames / kFramesPerMinute),
               static_cast<std::uint8_t>((frames / kFramesPerSecond) % 60),
               static_cast<std::uint8_t>(frames % kFramesPerSecond)};
}

std::string DiscRecord::album() const { return Cp1251::readField(Album, sizeof Album); }
std::string DiscRecord::artist() const { return Cp1251::readField(Artist, sizeof Artist); }
std::string DiscRecord::year() const { return Cp1251::readField(Year, sizeof Year); }
std::string DiscRecord::genre() const { return Cp1251::readField(Genre, sizeof Genre); }
std::string DiscRecord::hexId() const { return Cp1251::readField(HexId, sizeof HexId); }

std::string DiscRecord::title(int track) const {
    if (!validTrack(track)) return {};
    return Cp1251::readField(Tracks[track].Title, sizeof Tracks[track].Title);
}

void DiscRecord::setAlbum(std::string_view t) { Cp1251::writeField(Album, sizeof Album, t); }
void DiscRecord::setArtist(std::string_view t) { Cp1251::writeField(Artist, sizeof Artist, t); }
void DiscRecord::setYear(std::string_view t) { Cp1251::writeField(Year, sizeof Year, t); }
void DiscRecord::setGenre(std::string_view t) { Cp1251::writeField(Genre, sizeof Genre, t); }
void DiscRecord::setHexId(std::string_view t) { Cp1251::writeField(HexId, sizeof HexId, t); }

void DiscRecord::setTitle(int track, std::string_view t) {
    if (validTrack(track)) Cp1251::writeField(Tracks[track].Title, sizeof Tracks[track].Title, t);
}

void DiscRecord::clear() { std::memset(this, 0, sizeof *this); }

std::string DiscRecord::toBytes() const {
    return std::string(reinterpret_cast<const char*>(this), sizeof *this);
}

bool DiscRecord::fromBytes(std::string_view bytes) {
    if (bytes.size() != sizeof *this) return false;
    std::memcpy(this, bytes.data(), sizeof *this);
    return true;
}

}  // namespace melvarin
