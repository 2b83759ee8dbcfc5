#include <gtest/gtest.h>

#include <filesystem>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "cddb/TDiscTags.h"
#include "disc/CueSheet.h"
#include "disc/GrabRun.h"
#include "disc/GrabTestDisc.h"
#include "disc/TGrabber.h"
#include "encoders/TEncManager.h"

using namespace melvarin;
using namespace melvarin::test;

// A disc whose first track is data: the file holds the audio tracks only, and
// the sheet lists them at their positions in the file, where splitters look.
TEST(GrabDisc, WholeDiscFromTheFirstAudioTrackWithCueSheet) {
    GrabTestDisc disc({300, 120, 77}, true);
    auto drive = disc.openDrive();
    DiscRecord record = GrabTestDisc::readDisc(*drive);
    record.setAlbum("Best of/..");
    SettingsRecord settings = defaultSettings(disc.outFolder(), disc.dir / "cddb/");
    settings.EncoderConfig.EncoderIndex = 0;
    settings.EncoderConfig.Normalize = 1;
    settings.CUE = 1;
    ScriptedPrompt prompt;
    TEncManager encoders(&prompt);
    TGrabber grabber(*drive, settings, record, encoders, prompt);
    std::vector<std::string> written, captions;
    grabber.Callbacks.FileWritten = [&](const std::string& p) { written.push_back(p); };
    grabber.Callbacks.Caption = [&](const std::string& c) { captions.push_back(c); };

    const std::string path = WholeDiscFileName(settings, record, 0);
    EXPECT_EQ(path, disc.outFolder() + "Best of ...wav");
    std::filesystem::create_directories(disc.outFolder());
    ASSERT_TRUE(grabber.GrabDisc(path));
    EXPECT_TRUE(waveData(path) == disc.slice(300, 197));
    EXPECT_EQ(settings.EncoderConfig.Normalize, 1);
    EXPECT_EQ(captions.back(), "Melvarin v3.5");
    EXPECT_EQ(captions[captions.size() - 2], "Melvarin v3.5 - [ 100% ]");
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Rip Complette!"});

    const std::string cue = disc.outFolder() + "Best of ...cue";
    EXPECT_EQ(written, (std::vector<std::string>{path, cue}));
    EXPECT_EQ(readFile(cue),
              "TITLE \"Best of/..\"\n"
              "FILE \"Best of ...wav\" WAVE\n"
              "\tTRACK 01 AUDIO\n\t\tTITLE \"Track 2\"\n\t\tINDEX 01 00:00:00\n"
              "\tTRACK 02 AUDIO\n\t\tTITLE \"Track 3\"\n\t\tINDEX 01 00:01:45\n");
    std::string output;
    ASSERT_EQ(runCommand("cueprint -d '%N\\n' " + shellQuote(cue), &output), 0);
    EXPECT_EQ(output, "2\n");
    ASSERT_EQ(runCommand("cuebreakpoints " + shellQuote(cue), &output), 0);
    EXPECT_EQ(output, "0:01.45\n");
}

TEST(GrabDisc, UnwritableCueSheetKeepsTheAudioFile) {
    GrabTestDisc disc({100});
    auto drive = disc.openDrive();
    DiscRecord record = GrabTestDisc::readDisc(*drive);
    SettingsRecord settings = defaultSettings(disc.outFolder(), disc.dir / "cddb/");
    settings.EncoderConfig.EncoderIndex = 0;
    settings.CUE = 1;
    ScriptedPrompt prompt;
    TEncManager encoders(&prompt);
    TGrabber grabber(*drive, settings, record, encoders, prompt);
    std::filesystem::create_directories(disc.outFolder() + "TRACKS.cue");
    ASSERT_TRUE(grabber.GrabDisc(disc.outFolder() + "TRACKS.wav"));
    EXPECT_TRUE(waveData(disc.outFolder() + "TRACKS.wav") == disc.slice(0, 100));
    ASSERT_EQ(prompt.texts().size(), 2u);
    EXPECT_EQ(prompt.texts()[0], Message(78) + "\ncannot create \"" + disc.outFolder() + "TRACKS.cue\": Is a directory");
    EXPECT_EQ(prompt.texts()[1], "Rip Complette!");
}

// The sheet carries the disc's and the tracks' texts, quotes escaped, and
// cueprint still reads it; an earlier sheet and image are replaced.
TEST(GrabDisc, CueSheetCarriesTheTextsAndReplacesAnEarlierOne) {
    GrabTestDisc disc({100, 80});
    GrabRun run(disc);
    run.record.setArtist("Группа \"X\"");
    run.record.setAlbum("Alb\\um");
    run.record.setTitle(0, "Say \"Hi\"");
    run.record.setTitle(1, "Песня\x01");
    run.record.Compilation = 1;
    run.settings.CUE = 1;
    TDiscTags tags;
    tags.FillFromDisc(run.record);
    tags.GetTag(1)->Artist = "Guest";
    run.grabber->Tags = &tags;
    std::vector<std::string> replaced;
    run.grabber->Callbacks.FileReplaced = [&](const std::string& p) { replaced.push_back(p); };
    const std::string path = disc.outFolder() + "disc.wav", cue = disc.outFolder() + "disc.cue";
    writeFile(cue, "old sheet");

    ASSERT_TRUE(run.grabber->GrabDisc(path));
    EXPECT_EQ(run.written, std::vector<std::string>{path});
    EXPECT_EQ(replaced, std::vector<std::string>{cue});
    EXPECT_EQ(readFile(cue),
              "PERFORMER \"Группа \\\"X\\\"\"\n"
              "TITLE \"Alb\\\\um\"\n"
              "FILE \"disc.wav\" WAVE\n"
              "\tTRACK 01 AUDIO\n\t\tTITLE \"Say \\\"Hi\\\"\"\n\t\tINDEX 01 00:00:00\n"
              "\tTRACK 02 AUDIO\n\t\tTITLE \"Песня\"\n\t\tPERFORMER \"Guest\"\n\t\tINDEX 01 00:01:25\n");
    std::string output;
    ASSERT_EQ(runCommand("cueprint -d '%P|%T|%N\\n' -t '%n|%t|%p\\n' " + shellQuote(cue), &output), 0);
    EXPECT_EQ(output, "Группа \\\"X\\\"|Alb\\\\um|2\n1|Say \\\"Hi\\\"|\n2|Песня|Guest\n");
}

// Whatever the format of the disc's file, its sheet names a type every CUE
// reader knows: MP3 for MP3, WAVE for the rest.
TEST(GrabDisc, CueSheetFileTypeIsOneEveryReaderKnows) {
    GrabTestDisc disc({100, 80});
    GrabRun run(disc);
    const std::pair<const char*, const char*> cases[] = {
        {"wav", "WAVE"}, {"mp3", "MP3"}, {"flac", "WAVE"}, {"ape", "WAVE"}, {"ogg", "WAVE"}, {"aac", "WAVE"},
    };
    for (const auto& [extension, type] : cases) {
        SCOPED_TRACE(extension);
        const std::string text = CueSheetText(disc.outFolder() + "disc." + extension, run.record);
        EXPECT_NE(text.find(std::string("FILE \"disc.") + extension + "\" " + type + "\n"), std::string::npos) << text;
        const std::string sheet = disc.dir / "sheet.cue";
        writeFile(sheet, text);
        std::string output;
        EXPECT_EQ(runCommand("cueprint -d '%N' " + shellQuote(sheet), &output, true), 0) << output;
        EXPECT_EQ(output, "2");
    }
}
