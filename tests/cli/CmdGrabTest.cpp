#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/Messages.h"
#include "disc/DiscRecord.h"
#include "disc/DiscStore.h"
#include "disc/GrabTestDisc.h"
#include "platform/FileUtil.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

// Runs melvarin-cli on the test disc's drive with a fresh home, through the
// command `runner` (for instance one that changes the user) when given.
int Cli(const GrabTestDisc& disc, const std::string& args, std::string* out, std::string* err = nullptr,
        const std::string& runner = "") {
    const std::string errFile = disc.dir / "stderr.txt";
    const int status = runCommand("MELVARIN_VIRTUAL_DRIVES=" + shellQuote(disc.driveFolder()) + " " + runner +
                                      shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(disc.dir / "home") +
                                      " --yes " + args + " 2>" + shellQuote(errFile),
                                  out);
    if (err) *err = readFile(errFile);
    return status;
}

// Gives the disc an artist and an album, so that its record is worth saving.
void NameDisc(const GrabTestDisc& disc) {
    const std::string cue = disc.driveFolder() + "disc.cue";
    writeFile(cue, "PERFORMER \"Band\"\nTITLE \"Album\"\n" + readFile(cue));
}

// The grabbed flags of the disc record saved in the home, one letter a track.
std::string SavedGrabbedFlags(const GrabTestDisc& disc, std::uint32_t* discId = nullptr) {
    const std::string albums = disc.dir / "home/setting/albums/";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(albums, ec)) {
        if (entry.path().extension() != ".dat") continue;
        DiscRecord record{};
        const auto bytes = FileUtil::readAll(entry.path().string(), sizeof record);
        if (!bytes || !record.fromBytes(*bytes)) return "unreadable";
        std::string flags;
        for (int t = 0; t < record.trackCount(); ++t) flags += record.Tracks[t].Grabbed ? 'G' : '-';
        if (discId) *discId = record.DiscId;
        return flags;
    }
    return "none";
}

}  // namespace

TEST(CmdGrab, WritesExactFilesAndNamesThem) {
    GrabTestDisc disc({150, 60, 80});
    std::string out, err;
    ASSERT_EQ(Cli(disc, "grab --format wav --tracks 1,3 --method 2 --pattern n%N --out " + shellQuote(disc.outFolder()),
                  &out, &err),
              0)
        << err;
    EXPECT_EQ(out, "wrote " + disc.outFolder() + "n01.wav\nwrote " + disc.outFolder() + "n03.wav\n");
    EXPECT_TRUE(waveData(disc.outFolder() + "n01.wav") == disc.slice(0, 150));
    EXPECT_TRUE(waveData(disc.outFolder() + "n03.wav") == disc.slice(210, 80));
    EXPECT_FALSE(std::filesystem::exists(disc.outFolder() + "n02.wav"));
    EXPECT_NE(err.find("100%"), std::string::npos);
}

TEST(CmdGrab, WholeDiscWithCueSheetAndRefusals) {
    GrabTestDisc disc({100, 50});
    std::string out, err;
    const std::string folder = disc.dir / "whole";
    ASSERT_EQ(Cli(disc, "--quiet grab-disc --format wav --cue --out " + shellQuote(folder), &out, &err), 0) << err;
    EXPECT_EQ(out, "wrote " + folder + "/TRACKS.wav\nwrote " + folder + "/TRACKS.cue\n");
    EXPECT_TRUE(waveData(folder + "/TRACKS.wav") == disc.slice(0, 150));
    std::string tracks;
    ASSERT_EQ(runCommand("cueprint -d '%N' " + shellQuote(folder + "/TRACKS.cue"), &tracks), 0);
    EXPECT_EQ(tracks, "2");

    EXPECT_EQ(Cli(disc, "grab --format wma --out " + shellQuote(folder), &out, &err), 1);
    EXPECT_NE(err.find("not available in this build"), std::string::npos);
    EXPECT_EQ(Cli(disc, "grab --tracks 3 --format wav --out " + shellQuote(folder), &out, &err), 1);
    EXPECT_NE(err.find("no track 3"), std::string::npos);
    EXPECT_EQ(Cli(disc, "grab --tracks 2-1 --format wav", &out, &err), 2);
}

// FLAC and Monkey's Audio hold exactly the disc's samples, Ogg Vorbis decodes
// to its length and AAC to its length plus the encoder's priming and padding,
// on the fly and through temporary WAVE files; all but AAC carry the disc's
// texts, and no library talks on the terminal.
TEST(CmdGrab, EveryFormatOnTheFlyAndThroughTemporaryFiles) {
    GrabTestDisc disc({150, 60});
    NameDisc(disc);
    const std::string samples = disc.slice(150, 60);
    for (const char* mode : {"--otf", "--no-otf"}) {
        SCOPED_TRACE(mode);
        for (const std::string format : {"flac", "ape", "ogg", "aac"}) {
            SCOPED_TRACE(format);
            const std::string folder = disc.dir / (format + mode);
            std::string out, err;
            ASSERT_EQ(Cli(disc, "--quiet grab " + std::string(mode) + " --format " + format + " --pattern n%N --out " +
                                    shellQuote(folder),
                          &out, &err),
                      0)
                << err;
            const std::string first = folder + "/n01." + format, second = folder + "/n02." + format;
            EXPECT_EQ(out, "wrote " + first + "\nwrote " + second + "\n");
            EXPECT_EQ(err, "");
            std::string raw, text;
            ASSERT_EQ(runCommand("ffmpeg -v error -xerror -i " + shellQuote(second) + " -f s16le -", &raw), 0);
            if (format == "aac") {
                EXPECT_LE(raw.size() - samples.size(), 2048u * 4) << raw.size();
                continue;
            }
            EXPECT_TRUE(format == "ogg" ? raw.size() == samples.size() : raw == samples);
            ASSERT_EQ(runCommand("/usr/bin/python3 -c " +
                                     shellQuote("import mutagen; f = mutagen.File('" + first +
                                                "'); print(f['ARTIST'][0], f['ALBUM'][0], f['" +
                                                (format == "ape" ? "TRACK" : "TRACKNUMBER") + "'][0])"),
                                 &text, true),
                      0)
                << text;
            EXPECT_EQ(text, "Band Album 01\n");
        }
    }
}

TEST(CmdGrab, SavesTheGrabbedFlagsForTheNextRun) {
    GrabTestDisc disc({60, 40, 50});
    NameDisc(disc);
    std::string out, err;
    const std::string args = " --format wav --pattern n%N --out " + shellQuote(disc.outFolder());
    ASSERT_EQ(Cli(disc, "--quiet grab --tracks 1,3" + args, &out, &err), 0) << err;
    std::uint32_t id = 0;
    EXPECT_EQ(SavedGrabbedFlags(disc, &id), "G-G");
    EXPECT_TRUE(std::filesystem::exists(DiscStore(disc.dir / "home/setting/albums/").TagFileName(id)));

    // The next run starts from the saved record: its flags stay, track 2 joins them.
    ASSERT_EQ(Cli(disc, "--quiet grab --tracks 2" + args, &out, &err), 0) << err;
    EXPECT_EQ(out, "wrote " + disc.outFolder() + "n02.wav\n");
    EXPECT_EQ(SavedGrabbedFlags(disc), "GGG");
}

TEST(CmdGrab, TakesTheSettingsOfTheCurrentProfile) {
    GrabTestDisc disc({30});
    std::string out, err;
    writeFile(disc.dir / "home/setting/prof.lst", "0\r\nNamed.prof\r\n");
    ASSERT_EQ(Cli(disc, "settings set UseFormatString 1", &out), 0);
    ASSERT_EQ(Cli(disc, "settings set Format profile%N", &out), 0);
    ASSERT_EQ(Cli(disc, "--quiet grab --format wav --out " + shellQuote(disc.outFolder()), &out, &err), 0) << err;
    EXPECT_EQ(out, "wrote " + disc.outFolder() + "profile01.wav\n");
}

TEST(CmdGrab, FailedOrCancelledGrabExitsWithOne) {
    GrabTestDisc disc({40});
    std::string out, err;
    // The output folder cannot be made: a file stands where its parent should be.
    writeFile(disc.dir / "blocker", "");
    EXPECT_EQ(Cli(disc, "grab --format wav --out " + shellQuote(disc.dir / "blocker/out"), &out, &err), 1);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("grab: failed"), std::string::npos) << err;

    // kill -INT during a paced read: without a terminal it cancels at once.
    GrabTestDisc slow({750}, false, "speed_x=1\n");
    const std::string errFile = slow.dir / "stderr.txt";
    const std::string command = "MELVARIN_VIRTUAL_DRIVES=" + shellQuote(slow.driveFolder()) + " " +
                                shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(slow.dir / "home") +
                                " --yes grab --format wav --pattern n%N --out " + shellQuote(slow.outFolder()) + " 2>" +
                                shellQuote(errFile) + " & pid=$!; for i in $(seq 300); do grep -q '%' " +
                                shellQuote(errFile) + " && break; sleep 0.1; done; kill -INT $pid; wait $pid";
    EXPECT_EQ(runCommand(command, &out), 130);
    EXPECT_EQ(out, "");
    err = readFile(errFile);
    EXPECT_NE(err.find("grab: cancelled"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(slow.outFolder() + "n01.wav"));
}

// A second grab into the same folder says which files it replaced; an output
// folder that is a file or cannot be written is named with the real cause,
// and nothing is left in it.
TEST(CmdGrab, ReplacedFilesAndRealCausesOfFailure) {
    GrabTestDisc disc({40, 30});
    std::string out, err;
    const std::string folder = disc.dir / "o";
    const std::string grab = "--quiet grab --format wav --pattern n%N --out " + shellQuote(folder);
    // A temporary file a killed run left goes at the next start.
    const std::string stale = disc.dir / "home/TempFiles/Song 2.wav";
    writeFile(stale, "stale");
    const std::filesystem::file_time_type past = std::filesystem::last_write_time(stale) - std::chrono::hours(1);
    std::filesystem::last_write_time(stale, past);
    ASSERT_EQ(Cli(disc, grab, &out, &err), 0) << err;
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(out, "wrote " + folder + "/n01.wav\nwrote " + folder + "/n02.wav\n");
    ASSERT_EQ(Cli(disc, grab, &out, &err), 0) << err;
    EXPECT_EQ(out, "replaced " + folder + "/n01.wav\nreplaced " + folder + "/n02.wav\n");
    EXPECT_TRUE(waveData(folder + "/n02.wav") == disc.slice(40, 30));

    // Run as an ordinary user, so that the folder's permissions count.
    GrabTestDisc plain({40});
    std::filesystem::permissions(plain.dir.path(), std::filesystem::perms::all);
    const std::string locked = plain.dir / "locked";
    std::filesystem::create_directories(locked);
    std::filesystem::permissions(locked, std::filesystem::perms(0555));
    const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const struct {
        const char* command;
        std::string folder;
        const char* cause;
        std::string runner;
    } cases[] = {
        {"grab", "/proc/version", "Not a directory", ""},
        {"grab-disc", "/proc/version", "Not a directory", ""},
        {"grab", locked, "Permission denied", nobody},
        {"grab-disc", locked, "Permission denied", nobody},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.folder);
        EXPECT_EQ(Cli(plain, std::string(c.command) + " --format wav --out " + shellQuote(c.folder), &out, &err,
                      c.runner),
                  1);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find(c.folder), std::string::npos) << err;
        EXPECT_NE(err.find(c.cause), std::string::npos) << err;
        EXPECT_EQ(err.find(Message(100)), std::string::npos) << err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}
