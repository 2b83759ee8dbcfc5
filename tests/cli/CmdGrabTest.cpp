#include <gtest/gtest.h>

#include <filesystem>

#include "disc/GrabTestDisc.h"
#include "support/TempDir.h"

using namespace melvarin::test;

namespace {

// Runs melvarin-cli on the test disc's drive with a fresh home.
int Cli(const GrabTestDisc& disc, const std::string& args, std::string* out, std::string* err = nullptr) {
    const std::string errFile = disc.dir / "stderr.txt";
    const int status = runCommand("MELVARIN_VIRTUAL_DRIVES=" + shellQuote(disc.driveFolder()) + " " +
                                      shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(disc.dir / "home") +
                                      " --yes " + args + " 2>" + shellQuote(errFile),
                                  out);
    if (err) *err = readFile(errFile);
    return status;
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

    EXPECT_EQ(Cli(disc, "grab --format ogg --out " + shellQuote(folder), &out, &err), 1);
    EXPECT_NE(err.find("not available in this build"), std::string::npos);
    EXPECT_EQ(Cli(disc, "grab --tracks 3 --format wav --out " + shellQuote(folder), &out, &err), 1);
    EXPECT_NE(err.find("no track 3"), std::string::npos);
    EXPECT_EQ(Cli(disc, "grab --tracks 2-1 --format wav", &out, &err), 2);
}
