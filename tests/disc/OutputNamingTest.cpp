#include "disc/OutputNaming.h"

#include <cstring>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

struct Fixture {
    SettingsRecord s{};
    DiscRecord d{};
    TDiscTags tags;

    explicit Fixture(const std::string& workDir) {
        std::memset(&s, 0, sizeof s);
        setText(s.WorkDir, workDir);
        s.EncoderConfig.EncoderIndex = 1;
        d.clear();
        d.TrackCount = 12;
        d.DiscId = 0xA10B2C0C;
        d.setArtist("Artist");
        d.setAlbum("Album");
        d.setYear("1999");
        d.setGenre("Rock");
        for (int i = 0; i < 12; ++i) d.setTitle(i, "Song " + std::to_string(i + 1));
        d.setTitle(2, "Intro");
        tags.FillFromDisc(d);
    }
    std::string pattern(const std::string& p) {
        s.UseFormatString = 1;
        setText(s.Format, p);
        return BuildOutputName(s, d, &tags, 2);
    }
};

}  // namespace

TEST(OutputNaming, PatternExpansion) {
    Fixture f("/music/");
    // The blank put in front of a pattern starting with "%" never reaches a name.
    EXPECT_EQ(f.pattern("%N %T"), "/music/03 Intro.mp3");
    EXPECT_EQ(f.pattern("%A\\%D\\%N"), "/music/Artist/Album/03.mp3");
    EXPECT_EQ(f.pattern("x%Qy"), "/music/x.mp3");  // an unknown code ends the expansion
    EXPECT_EQ(f.pattern("%Г-%Ж-%А-%Д-%Т-%Н"), "/music/1999-Rock-Artist-Album-Intro-03.mp3");
    EXPECT_EQ(f.pattern("%Y %G %C %I"), "/music/1999 Rock 12 a10b2c0c.mp3");
    EXPECT_EQ(f.pattern("a%%T"), "/music/aIntro.mp3");  // a run of "%" is one split
    f.d.setHexId("0123abcd");
    EXPECT_EQ(f.pattern("%I"), "/music/0123abcd.mp3");
    f.d.setTitle(2, "");
    f.d.setArtist("");
    EXPECT_EQ(f.pattern("%A - %T"), "/music/" + Message(12) + " - Track 03.mp3");
}

TEST(OutputNaming, CheckBoxScheme) {
    Fixture f("/music");
    f.s.File_UseArtistName = 1;
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 0), "/music/Artist -.mp3");  // one blank removed
    f.s.Dir_AsArtistName = f.s.Dir_AsAlbumName = f.s.File_UseTrackNum = f.s.File_UseTrackName = 1;
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 2), "/music/Artist/Album/3 - Artist - Intro.mp3");
    f.s.EncoderConfig.EncoderIndex = 6;
    setText(f.s.EncoderConfig.ACMFileExt, ".wav");
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 2), "/music/Artist/Album/3 - Artist - Intro.wav");
    setText(f.s.EncoderConfig.ACMFileExt, "mp2");
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 2), "/music/Artist/Album/3 - Artist - Intro.mp2");
    EXPECT_EQ(ExtensionFor(7, ""), ".flac");
    EXPECT_EQ(ExtensionFor(4, ""), ".ape");

    // Too long with the album: built again without it.
    Fixture g("/m/");
    g.s.File_UseAlbumName = g.s.File_UseTrackName = 1;
    g.d.setTitle(0, std::string(99, 't'));
    g.d.setAlbum(std::string(49, 'a'));
    g.d.setArtist(std::string(49, 'r'));
    g.s.Dir_AsArtistName = g.s.Dir_AsAlbumName = g.s.File_UseArtistName = 1;
    const std::string longName = BuildOutputName(g.s, g.d, nullptr, 0);
    EXPECT_EQ(longName, "/m/" + std::string(49, 'r') + "/" + std::string(49, 'a') + "/" +
                            std::string(49, 'r') + " - " + std::string(99, 't') + ".mp3");
}

TEST(OutputNaming, CompilationTakesTrackTags) {
    Fixture f("/music/");
    f.d.Compilation = 1;
    f.tags.GetTag(2)->Artist = "Guest";
    f.tags.GetTag(2)->Album = "Hits";
    f.tags.GetTag(4)->Title = "";
    f.tags.GetTag(4)->Artist = "Other";
    f.s.File_UseArtistName = f.s.File_UseTrackName = 1;
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 2), "/music/Guest - Intro.mp3");
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 4), "/music/Artist - Song 5.mp3");  // tag without title
    EXPECT_EQ(f.pattern("%A %D"), "/music/Guest Hits.mp3");
}

TEST(OutputNaming, CleaningKeepsDriveLetters) {
    std::string p = "C:\\a:b*c|d<e>f\"g?h/i";
    CleanFileName(p);
    EXPECT_EQ(p, "C:\\a b c d e f g h/i");
    Fixture f("/music/");
    f.d.setTitle(2, "AC/DC: Who?");
    f.s.File_UseTrackName = 1;
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 2), "/music/AC DC  Who.mp3");
}

// Texts from a disc or a freedb reply are data: they must not make folders or
// reach outside the output folder.
TEST(OutputNaming, HostileTextsStayInsideWorkDir) {
    test::TempDir dir;
    Fixture f(dir.path());
    f.s.Dir_AsArtistName = f.s.Dir_AsAlbumName = f.s.File_UseTrackName = 1;
    f.d.setArtist("..");
    f.d.setAlbum("../../etc");
    f.d.setTitle(0, "../../etc/x");
    f.d.setTitle(1, "a/b");
    f.d.setTitle(2, "..");
    f.d.setYear("..");
    const std::string root = std::filesystem::weakly_canonical(dir.path()).string() + "/";
    for (int track = 0; track < 3; ++track) {
        for (bool usePattern : {false, true}) {
            f.s.UseFormatString = usePattern;
            setText(f.s.Format, "%A\\%D\\%Y\\%T");
            const std::string path = BuildOutputName(f.s, f.d, &f.tags, track);
            const std::string canon = std::filesystem::weakly_canonical(path).string();
            EXPECT_EQ(canon.rfind(root, 0), 0u) << path;
            // Exactly the folders of the scheme: artist, album (and year).
            const auto rel = std::filesystem::path(path.substr(dir.path().size()));
            EXPECT_EQ(std::distance(rel.begin(), rel.end()), usePattern ? 4 : 3) << path;
        }
    }
    f.s.UseFormatString = 0;
    EXPECT_EQ(BuildOutputName(f.s, f.d, &f.tags, 0), dir.path() + "_/.. .. etc/.. .. etc x.mp3");
    // The user's own pattern makes folders, but never above the output folder.
    EXPECT_EQ(f.pattern("..\\%N"), dir.path() + "_/03.mp3");
}

TEST(OutputNaming, PatternField) {
    EXPECT_TRUE(FormatKeyAllowed('/'));
    EXPECT_FALSE(FormatKeyAllowed('?'));
    EXPECT_FALSE(FormatKeyAllowed('"'));
    EXPECT_TRUE(FormatKeyAllowed('\\'));
    EXPECT_TRUE(FormatKeyAllowed(U'Д'));
    EXPECT_EQ(ReduceDoublePercent("%%A - %%%T%"), "%A - %T%");

    Fixture f("/music/");
    EXPECT_EQ(PatternPreview("", &f.d, nullptr), std::string());
    EXPECT_EQ(PatternPreview("%", &f.d, nullptr), std::string());
    EXPECT_EQ(PatternPreview("%N-%T", &f.d, nullptr), std::string("01-Song 1.mp3"));
    EXPECT_EQ(PatternPreview("%N-%", &f.d, nullptr), std::nullopt);
    EXPECT_EQ(PatternPreview("%N", nullptr, nullptr), std::nullopt);

    EXPECT_TRUE(PatternAcceptable("%A\\%T"));
    EXPECT_FALSE(PatternAcceptable(""));
    EXPECT_FALSE(PatternAcceptable("%A\\"));
    EXPECT_FALSE(PatternAcceptable("%A/"));
    EXPECT_TRUE(PatternAcceptable("%A/%T"));
    EXPECT_FALSE(PatternAcceptable("abc%"));
    EXPECT_FALSE(PatternAcceptable("abc"));
}

TEST(OutputNaming, MissingWorkDirAsksForSettings) {
    test::TempDir dir;
    Fixture f(dir / "missing/");
    ScriptedPrompt prompt;
    int opened = 0;
    auto settingsWindow = [&](SettingsRecord& s) {
        ++opened;
        if (opened == 2) setText(s.WorkDir, dir.path());
        return true;
    };
    EXPECT_TRUE(EnsureWorkDir(f.s, prompt, settingsWindow));
    EXPECT_EQ(opened, 2);
    ASSERT_EQ(prompt.entries().size(), 2u);
    EXPECT_EQ(prompt.entries()[0].text, Message(14, dir / "missing/"));
    EXPECT_EQ(prompt.entries()[0].icon, Icon::Warning);
    setText(f.s.WorkDir, dir / "gone/");
    EXPECT_FALSE(EnsureWorkDir(f.s, prompt, [](SettingsRecord&) { return false; }));
}

// Whatever the texts and the scheme, every component of a name is a real
// name: no blank at either end, no control character, never empty.
TEST(OutputNaming, NamesAreNeverBlankEmptyOrRaw) {
    struct Case {
        const char* name;
        const char* pattern;  // null: the check boxes below
        int flags;            // 1 artist folder, 2 album folder, 4 number, 8 artist, 16 title
        const char* title;
        const char* artist;
        const char* expected;
    };
    const Case cases[] = {
        {"leading %", "%N. %A - %T", 0, "Intro", "Artist", "/music/03. Artist - Intro.mp3"},
        {"slash as separator", "%A/%D/%N %T", 0, "Intro", "Artist", "/music/Artist/Album/03 Intro.mp3"},
        {"slash at the start and doubled", "/%A//%T", 0, "Intro", "Artist", "/music/Artist/Intro.mp3"},
        {"blanks around a separator", "%A / %T", 0, "Intro", "Artist", "/music/Artist/Intro.mp3"},
        {"title of blanks", "%T", 0, "  ", "Artist", "/music/Track 03.mp3"},
        {"control characters", "%A\\%T", 0, "In\x01tro\nx\x7f", "Ar\ttist", "/music/Artist/Introx.mp3"},
        {"only control characters", "%T", 0, "\x01\x02", "Artist", "/music/Track 03.mp3"},
        {"artist of blanks", "%A\\%T", 0, "Intro", "   ", nullptr},
        {"every flag off", nullptr, 0, "Intro", "Artist", "/music/Track 03.mp3"},
        {"folders only", nullptr, 3, "Intro", "Artist", "/music/Artist/Album/Track 03.mp3"},
        {"number only", nullptr, 4, "Intro", "Artist", "/music/3 -.mp3"},
        {"check boxes, padded texts", nullptr, 9 + 16, " Intro ", " Artist ", "/music/Artist/Artist - Intro.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f("/music/");
        f.d.setTitle(2, c.title);
        f.d.setArtist(c.artist);
        f.tags.FillFromDisc(f.d);
        std::string path;
        if (c.pattern) {
            path = f.pattern(c.pattern);
        } else {
            f.s.Dir_AsArtistName = c.flags & 1;
            f.s.Dir_AsAlbumName = (c.flags >> 1) & 1;
            f.s.File_UseTrackNum = (c.flags >> 2) & 1;
            f.s.File_UseArtistName = (c.flags >> 3) & 1;
            f.s.File_UseTrackName = (c.flags >> 4) & 1;
            path = BuildOutputName(f.s, f.d, &f.tags, 2);
        }
        if (c.expected) EXPECT_EQ(path, c.expected);
        else EXPECT_EQ(path, "/music/" + Message(12) + "/Intro.mp3");
        for (const auto& part : std::filesystem::path(path.substr(7))) {
            const std::string text = part.string();
            ASSERT_FALSE(text.empty());
            EXPECT_NE(text.front(), ' ') << path;
            EXPECT_NE(text.back(), ' ') << path;
            for (char ch : text) EXPECT_GE(static_cast<unsigned char>(ch), 0x20) << path;
        }
    }
}

TEST(OutputNaming, UniqueNamesWithinOneJob) {
    std::set<std::string> used;
    const std::pair<const char*, const char*> steps[] = {
        {"/m/Same.wav", "/m/Same.wav"},
        {"/m/Same.wav", "/m/Same (2).wav"},
        {"/m/Same.wav", "/m/Same (3).wav"},
        {"/m/Same (2).wav", "/m/Same (2) (2).wav"},
        {"/m/a.b/Track 01", "/m/a.b/Track 01"},
        {"/m/a.b/Track 01", "/m/a.b/Track 01 (2)"},  // a dot in a folder is no extension
        {"/m/other/Same.wav", "/m/other/Same.wav"},
        {"/m/.wav", "/m/.wav"},
        {"/m/.wav", "/m/.wav (2)"},
    };
    for (const auto& [path, expected] : steps) EXPECT_EQ(UniqueOutputName(path, used), expected) << path;
}
