#include "cddb/DiscXmcd.h"

#include "cddb/TDiscTags.h"
#include "cddb/TLocalCDDB.h"
#include "disc/DiscRecord.h"

namespace melvarin {

XmcdRecord DiscXmcd::FromDisc(const DiscRecord& disc) {
    XmcdRecord x;
    x.discId = disc.DiscId;
    const int n = disc.trackCount();
    std::uint32_t lengths = 0;
    for (int i = 0; i < n; ++i) {
        x.frameOffsets.push_back(static_cast<std::uint32_t>(disc.Tracks[i].Start.frames()));
        lengths += static_cast<std::uint32_t>(disc.Tracks[i].Length.frames());
        x.titles.push_back(disc.title(i));
    }
    x.discLengthSeconds = (lengths + kLeadInFrames) / kFramesPerSecond;
    x.artist = disc.artist();
    x.album = disc.album();
    x.year = disc.year();
    x.genre = disc.genre();
    return x;
}

void DiscXmcd::ApplyToDisc(const XmcdRecord& entry, DiscRecord& disc) {
    disc.setArtist(entry.artist);
    disc.setAlbum(entry.album);
    disc.setYear(entry.year);
    disc.setGenre(entry.genre);
    const int n = disc.trackCount();
    for (int i = 0; i < n && static_cast<std::size_t>(i) < entry.titles.size(); ++i)
        disc.setTitle(i, entry.titles[static_cast<std::size_t>(i)]);
}

FreedbDisc DiscXmcd::QueryFor(const DiscRecord& disc) {
    FreedbDisc q;
    q.discId = disc.DiscId;
    const int n = disc.trackCount();
    for (int i = 0; i < n; ++i) q.offsets.push_back(static_cast<std::uint32_t>(disc.Tracks[i].Start.frames()));
    const MsfAddress& leadOut = disc.Tracks[n].Start;
    q.discSeconds = static_cast<std::uint32_t>(leadOut.M * 60 + leadOut.S);
    return q;
}

bool DiscXmcd::Lookup(const TLocalCDDB& store, DiscRecord& disc) {
    XmcdRecord x = FromDisc(disc);
    if (!store.Lookup(disc.DiscId, x, static_cast<std::size_t>(disc.trackCount()))) return false;
    ApplyToDisc(x, disc);
    return true;
}

bool DiscXmcd::Save(TLocalCDDB& store, const DiscRecord& disc) { return store.SaveXmcd(FromDisc(disc)); }

FreedbOutcome DiscXmcd::Fetch(SettingsRecord& settings, DiscRecord& disc, TDiscTags& tags, UserPrompt& prompt,
                              const FreedbLookup::Chooser& choose) {
    disc.setHexId(Xmcd::hexId(disc.DiscId, false));
    XmcdRecord x = FromDisc(disc);
    const auto trackCount = static_cast<std::size_t>(disc.trackCount());
    const FreedbOutcome outcome = FreedbLookup::Run(settings, QueryFor(disc), trackCount, prompt, choose, x);
    if (outcome != FreedbOutcome::Found) return outcome;
    ApplyToDisc(x, disc);
    for (std::size_t k = 0; k < trackCount && k < x.titles.size(); ++k)
        tags.SetFreedbTrack(static_cast<unsigned>(k), disc.title(static_cast<int>(k)), disc);
    return outcome;
}

}  // namespace melvarin
