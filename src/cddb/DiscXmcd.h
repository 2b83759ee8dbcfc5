#pragma once
#include <string>

#include "cddb/FreedbLookup.h"
#include "cddb/XmcdRecord.h"

namespace melvarin {

struct DiscRecord;
class TDiscTags;
class TLocalCDDB;

// Moves disc texts between the disc record and xmcd entries, and runs the freedb
// command for the disc in the drive.
class DiscXmcd {
public:
    // The entry of `disc`: identifier, track starts (LBA + 150), length in seconds
    // ((sum of the track lengths + 150) / 75), texts and titles.
    static XmcdRecord FromDisc(const DiscRecord& disc);
    // Copies artist, album, year, genre and the titles of the disc's tracks into
    // the record (cut to their fields).
    static void ApplyToDisc(const XmcdRecord& entry, DiscRecord& disc);
    // The query layout of `disc`: track starts and the lead-out's minutes * 60 + seconds.
    static FreedbDisc QueryFor(const DiscRecord& disc);

    // Looks the disc up in the local store and fills its texts; false when absent.
    static bool Lookup(const TLocalCDDB& store, DiscRecord& disc);
    // Stores the disc's texts in the local store.
    static bool Save(TLocalCDDB& store, const DiscRecord& disc);

    // The freedb command: queries the settings' server for `disc`, lets `choose`
    // pick among several matches, and on success fills the record and the tags
    // (title, artist, album, year, genre, track number "01"...). The record's
    // hexadecimal identifier is set first. Messages through `prompt`.
    static FreedbOutcome Fetch(SettingsRecord& settings, DiscRecord& disc, TDiscTags& tags, UserPrompt& prompt,
                               const FreedbLookup::Chooser& choose);
};

}  // namespace melvarin
