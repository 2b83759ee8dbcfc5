#include "disc/TAudioCD.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "cddb/TDiscTags.h"
#include "disc/CommandSetRereader.h"
#include "disc/DiscToc.h"
#include "disc/SampleUtils.h"
#include "drive/LinuxDeviceLayer.h"
#include "drive/VirtualDrives.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

// `sectors` raw audio sectors; silent ones are all zero, others carry a ramp.
std::string sectors(int count, bool silent = false) {
    std::string out(std::size_t(count) * 2352, '\0');
    if (!silent)
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(i * 7 + 3);
    return out;
}

// A computer with no real drive and one emulated drive on `folder`.
std::unique_ptr<DeviceLayer> emulatedOnly(const std::string& folder, const std::string& emptyDev) {
    return std::make_unique<LinuxDeviceLayer>(
        [folder](bool) {
            std::vector<std::shared_ptr<ScsiDevice>> drives;
            drives.push_back(OpenVirtualDrive(folder));
            return drives;
        },
        emptyDev);
}

struct Rig {
    test::TempDir drive, dev, home;
    ScriptedPrompt prompt;
    SettingsRecord settings{};
    std::unique_ptr<TAudioCD> cd;

    Rig() {
        std::memset(&settings, 0, sizeof settings);
        settings.CDTEXT = 1;
    }
    TAudioCD& open() {
        if (!cd) {
            cd = std::make_unique<TAudioCD>(home / "albums/", emulatedOnly(drive.path(), dev.path()), &prompt);
            cd->InitInterface(0);
        }
        return *cd;
    }
    void insert(const std::string& cue, const std::string& bin) {
        test::writeFile(drive / "disc.bin", bin);
        test::writeFile(drive / "disc.cue", cue);
    }
};

const char* kTextDisc =
    "PERFORMER \"The Band\"\n"
    "TITLE \"First Album\"\n"
    "FILE \"disc.bin\" BINARY\n"
    "  TRACK 01 AUDIO\n"
    "    TITLE \"Opening\"\n"
    "    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n"
    "    TITLE \"A title long enough to span two packs\"\n"
    "    INDEX 01 00:04:00\n";

const char* kPlainDisc =
    "FILE \"disc.bin\" BINARY\n"
    "  TRACK 01 AUDIO\n"
    "    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n"
    "    FLAGS DCP PRE\n"
    "    INDEX 01 00:03:00\n";

}  // namespace

TEST(TAudioCD, ReadsTocAndCdText) {
    Rig rig;
    rig.insert(kTextDisc, sectors(750));
    DiscRecord d;
    d.clear();
    ASSERT_TRUE(rig.open().ReadDisc(d, rig.settings));
    EXPECT_EQ(d.TrackCount, 2);
    EXPECT_EQ(d.LeadIn, 150);
    EXPECT_EQ(d.DiscId, DiscId(rig.cd->RawToc.data(), rig.cd->RawToc.size()));
    EXPECT_EQ(d.album(), "First Album");
    EXPECT_EQ(d.artist(), "The Band");
    EXPECT_EQ(d.title(0), "Opening");
    EXPECT_EQ(d.title(1), "A title long enough to span two packs");
    EXPECT_EQ(d.Tracks[0].Length.frames(), 300);
    EXPECT_EQ(d.Tracks[1].StartSector, 300);
    EXPECT_EQ(d.Tracks[1].Size, 450u * 2352u);
    EXPECT_EQ(d.Tracks[2].StartSector, 750);  // lead-out
    EXPECT_EQ(DiscLengthFrames(d), 750);

    // Without the CD-TEXT setting the tracks are numbered.
    DiscRecord plain;
    plain.clear();
    rig.settings.CDTEXT = 0;
    ASSERT_TRUE(rig.cd->ReadDisc(plain, rig.settings));
    EXPECT_EQ(plain.title(1), "Track 2");
    EXPECT_EQ(plain.album(), "");
}

TEST(TAudioCD, SameDiscKeepsEditsAndNewDiscUsesSavedRecord) {
    Rig rig;
    rig.insert(kPlainDisc, sectors(600));
    DiscRecord d;
    d.clear();
    ASSERT_TRUE(rig.open().ReadDisc(d, rig.settings));
    EXPECT_EQ(d.title(0), "Track 1");
    EXPECT_EQ(d.Tracks[1].Audio, 0);  // control 3: copy permitted + pre-emphasis counts as data

    // A saved record for the disc that a refresh of the same disc must not read.
    DiscRecord saved = d;
    saved.setTitle(0, "From file");
    saved.setArtist("Saved");
    saved.Tracks[0].Length.S = 59;  // boundaries in a file are never trusted
    test::writeFile(rig.cd->Store().DatFileName(d.DiscId), saved.toBytes());

    d.setTitle(0, "Edited");
    d.Tracks[0].Grabbed = 1;
    ASSERT_TRUE(rig.cd->ReadDisc(d, rig.settings));
    EXPECT_EQ(d.title(0), "Edited");
    EXPECT_EQ(d.Tracks[0].Grabbed, 1);

    // Another disc came and went: the saved record gives the texts back.
    d.DiscId = 0;
    int lookups = 0;
    rig.cd->SetLocalLookup([&](std::uint32_t, DiscRecord&) { return ++lookups, false; });
    ASSERT_TRUE(rig.cd->ReadDisc(d, rig.settings));
    EXPECT_EQ(d.title(0), "From file");
    EXPECT_EQ(d.artist(), "Saved");
    EXPECT_EQ(d.Tracks[0].Length.frames(), 225);
    EXPECT_EQ(lookups, 0);

    // Without a saved record the local CDDB is asked, unless told not to.
    std::remove(rig.cd->Store().DatFileName(d.DiscId).c_str());
    rig.cd->SetLocalLookup([&](std::uint32_t id, DiscRecord& r) {
        ++lookups;
        // The store finds the disc by the record's identifier and track count.
        EXPECT_EQ(r.DiscId, id);
        EXPECT_EQ(r.TrackCount, 2);
        r.setAlbum("From CDDB " + HexDiscId(id));
        return true;
    });
    d.DiscId = 0;
    ASSERT_TRUE(rig.cd->ReadDisc(d, rig.settings));
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(d.album(), "From CDDB " + HexDiscId(d.DiscId));
    EXPECT_EQ(d.title(0), "");  // texts come from the store alone
    rig.settings.UseOnlyLocalBase = 1;
    d.DiscId = 0;
    ASSERT_TRUE(rig.cd->ReadDisc(d, rig.settings));
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(d.title(0), "Track 1");
}

TEST(TAudioCD, EnhancedCdEndsTheAudioBeforeTheSessionGap) {
    Rig rig;
    test::writeFile(rig.drive / "data.bin", std::string(300 * 2352, '\x01'));
    rig.insert(
        "FILE \"disc.bin\" BINARY\n"
        "  TRACK 01 AUDIO\n"
        "    INDEX 01 00:00:00\n"
        "  TRACK 02 AUDIO\n"
        "    INDEX 01 00:02:00\n"
        "REM SESSION 02\n"
        "FILE \"data.bin\" BINARY\n"
        "  TRACK 03 MODE1/2352\n"
        "    INDEX 01 00:00:00\n",
        sectors(600));
    DiscRecord d;
    d.clear();
    ASSERT_TRUE(rig.open().ReadDisc(d, rig.settings));
    ASSERT_EQ(d.TrackCount, 3);
    EXPECT_EQ(d.Tracks[1].Length.frames(), 450);
    EXPECT_EQ(d.Tracks[1].Size, 450u * 2352u);
    EXPECT_EQ(d.Tracks[2].Audio, 0);
    EXPECT_EQ(d.Tracks[2].StartSector, 600);
}

TEST(TAudioCD, NoDiscAndNoDrive) {
    Rig rig;
    DiscRecord d;
    d.clear();
    d.DiscId = 42;
    TDiscTags tags;
    tags.Resize(3);
    EXPECT_FALSE(LoadDisc(rig.open(), rig.settings, d, tags));
    EXPECT_EQ(d.DiscId, 0u);
    EXPECT_EQ(tags.GetCount(), 0u);
    EXPECT_TRUE(rig.prompt.entries().empty());  // an empty tray is no error

    rig.settings.DeviceName = 5;
    EXPECT_FALSE(rig.cd->ReadDisc(d, rig.settings));
    ASSERT_EQ(rig.prompt.entries().size(), 1u);
    EXPECT_EQ(rig.prompt.entries()[0].text, Message(2));
    EXPECT_EQ(rig.prompt.entries()[0].icon, Icon::Error);
}

TEST(TAudioCD, LoadDiscFillsTagsFromTheRecord) {
    Rig rig;
    rig.insert(kTextDisc, sectors(750));
    DiscRecord d;
    d.clear();
    TDiscTags tags;
    ASSERT_TRUE(LoadDisc(rig.open(), rig.settings, d, tags));
    ASSERT_EQ(tags.GetCount(), 2u);
    EXPECT_EQ(tags.GetTag(0)->Title, "Opening");
    EXPECT_EQ(tags.GetTag(1)->Artist, "The Band");
}

// Digital silence read from the emulated drive is read again through the
// command set and still counts as suspicious.
TEST(TAudioCD, SilentPairsAreReadAgainFromTheDrive) {
    Rig rig;
    rig.insert(kPlainDisc, sectors(225, true) + sectors(375));
    DiscRecord d;
    d.clear();
    ASSERT_TRUE(rig.open().ReadDisc(d, rig.settings));
    CommandSetRereader reader(rig.cd->Current());
    std::vector<std::uint8_t> block(2 * 2352, 0xAA);
    ASSERT_TRUE(reader.ReadSectors(10, 2, block.data()));
    EXPECT_EQ(block[100], 0);
    EXPECT_EQ(CorrectBlock(block.data(), 2, &reader, 10), 1);
    std::vector<std::uint8_t> audio(2 * 2352);
    ASSERT_TRUE(reader.ReadSectors(300, 2, audio.data()));
    EXPECT_EQ(CorrectBlock(audio.data(), 2, &reader, 300), 0);
}
