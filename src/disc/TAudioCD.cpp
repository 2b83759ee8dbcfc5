#include "disc/TAudioCD.h"

#include <vector>

#include "app/Messages.h"
#include "app/SettingsFile.h"
#include "app/UserPrompt.h"
#include "cddb/TDiscTags.h"
#include "disc/CDText.h"
#include "disc/DiscToc.h"

namespace melvarin {
namespace {

constexpr std::size_t kCdTextBufferSize = 36868;

}  // namespace

TAudioCD::TAudioCD(std::string albumsDir, std::unique_ptr<DeviceLayer> layer, UserPrompt* prompt)
    : TCDROM(std::move(layer), prompt), store_(std::move(albumsDir)), prompt_(prompt) {}

std::uint32_t TAudioCD::DiscId() const { return melvarin::DiscId(RawToc.data(), RawToc.size()); }

bool TAudioCD::ReadDisc(DiscRecord& disc, const SettingsRecord& settings) {
    const int drive = settings.DeviceName;
    const int readType = SettingsFile::readCommandFor(settings, static_cast<std::size_t>(drive));
    if (!OpenDrive(drive, readType)) {
        if (prompt_) prompt_->message(Message(2), Icon::Error);
        return false;
    }
    RawToc.fill(0);
    if (!ReadTOC(RawToc)) return false;
    const int count = TocTrackCount(RawToc.data(), RawToc.size());
    if (count == 0) return false;
    const std::uint32_t id = DiscId();
    if (id == disc.DiscId) return true;

    auto identify = [&] {
        disc.DiscId = id;
        disc.TrackCount = static_cast<std::uint8_t>(count);
        disc.LeadIn = kLeadInFrames;
    };
    disc.clear();
    identify();
    bool stored = store_.ReadSaved(id, disc);
    if (!stored && !settings.UseOnlyLocalBase && lookup_) stored = lookup_(id, disc);
    // A saved record names the disc by its own fields; the drive's TOC decides.
    identify();
    if (!stored && settings.CDTEXT) stored = ReadCDText(disc);
    FillTracksFromToc(RawToc.data(), RawToc.size(), disc, !stored);
    return true;
}

bool TAudioCD::ReadCDText(DiscRecord& disc) {
    std::vector<std::uint8_t> reply(kCdTextBufferSize);
    std::uint32_t length = 0;
    if (!TCDROM::ReadCDText(reply, length) || length <= 4) return false;
    const int count = TocTrackCount(RawToc.data(), RawToc.size());
    if (!ParseCDText(reply.data(), std::min<std::size_t>(length, reply.size()), disc, count)) return false;
    for (int i = 0; i < count; ++i)
        if (disc.title(i).empty()) disc.setTitle(i, "Track " + std::to_string(i + 1));
    return true;
}

bool LoadDisc(TAudioCD& drive, const SettingsRecord& settings, DiscRecord& disc, TDiscTags& tags) {
    const bool loaded = drive.ReadDisc(disc, settings);
    if (!loaded) {
        disc.clear();
        tags.Resize(0);
        return false;
    }
    tags.FillAfterRefresh(disc, drive.Store().AlbumsDir());
    return true;
}

int DiscLengthFrames(const DiscRecord& disc) {
    const int count = disc.trackCount();
    return count == 0 ? 0 : disc.Tracks[count].StartSector - disc.Tracks[0].StartSector;
}

}  // namespace melvarin
