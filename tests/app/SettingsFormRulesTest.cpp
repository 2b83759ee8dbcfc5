#include "app/SettingsFormRules.h"

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "platform/FileUtil.h"
#include "support/TempDir.h"

namespace melvarin {
namespace {

using test::TempDir;

TEST(SettingsFormRules, AcmExtensionGetsItsDotAndStaysShort) {
    EXPECT_EQ(normalizeAcmExt("mp2"), ".mp2");
    EXPECT_EQ(normalizeAcmExt(""), ".wav");
    EXPECT_EQ(normalizeAcmExt("  "), ".wav");
    EXPECT_EQ(normalizeAcmExt(".ogg"), ".ogg");
    // Five characters typed plus the dot would not fit the 6-byte field.
    EXPECT_EQ(normalizeAcmExt("abcde"), ".abcd");
    EXPECT_EQ(normalizeAcmExt("звуки"), ".звук");
}

TEST(SettingsFormRules, NumbersFallBackWhenTheyDoNotParseOrDoNotFit) {
    EXPECT_EQ(parseNumber("abc", 1, 255, 26), 26);
    EXPECT_EQ(parseNumber("", 1, 255, 26), 26);
    EXPECT_EQ(parseNumber(" 40 ", 1, 255, 26), 40);
    EXPECT_EQ(parseNumber("12x", 1, 255, 26), 26);
    // A byte field must not wrap: 300 sectors would be stored as 44.
    EXPECT_EQ(parseNumber("300", 1, 255, 26), 26);
    EXPECT_EQ(parseNumber("-5", 0, 100, 90), 90);
    EXPECT_EQ(parseNumber("99999999999999999999", 0, 100, 90), 90);
}

TEST(SettingsFormRules, TimeOutIsTypedInSecondsAndStoredInMilliseconds) {
    EXPECT_EQ(timeOutFromText("abc"), 20000);
    EXPECT_EQ(timeOutFromText("5"), 5000);
    EXPECT_EQ(timeOutFromText("0"), 0);
    // Seconds that would overflow the stored milliseconds fall back too.
    EXPECT_EQ(timeOutFromText("3000000"), 20000);
    EXPECT_EQ(timeOutText(20000), "20");
    EXPECT_EQ(numSecReadText(0), "26");
    EXPECT_EQ(numSecReadText(13), "13");
}

TEST(SettingsFormRules, ReadAndWriteSpeedLists) {
    EXPECT_EQ(speedText(1), "1x ( 176 Kbit/s )");
    EXPECT_EQ(speedText(50), "50x ( 8820 Kbit/s )");
    EXPECT_EQ(speedIndex(30), 29);
    EXPECT_EQ(speedIndex(kMaxSpeed), kSpeedCount - 1);
    EXPECT_EQ(speedIndex(0), 0);
    EXPECT_EQ(speedFromControls(true, 3), 255);
    EXPECT_EQ(speedFromControls(false, 7), 8);

    const uint8_t values[] = {255, 32, 16, 8, 4, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(burnSpeedFromIndex(i), values[i]);
        EXPECT_EQ(burnSpeedIndex(values[i]), i);
    }
    EXPECT_EQ(burnSpeedIndex(0), 0);  // a fresh record shows "Max"
    EXPECT_EQ(burnSpeedIndex(12), 0);
}

TEST(SettingsFormRules, StoredChoicesOutsideTheirListsShowADefaultEntry) {
    EXPECT_EQ(commandTypeIndex(12), 0);
    EXPECT_EQ(commandTypeIndex(9), 0);
    EXPECT_EQ(commandTypeIndex(8), 8);

    EXPECT_EQ(lameBitrateTexts()[lameBitrateIndex(9)], "128kBit/s");
    EXPECT_EQ(lameBitrateTexts()[lameBitrateIndex(14)], "320kBit/s");
    EXPECT_EQ(lameBitrateTexts()[lameBitrateIndex(1)], "32kBit/s");
    EXPECT_EQ(lameBitrateIndex(200), 0);  // kbit/s given directly: top of the list
    EXPECT_EQ(lameBitrateFromIndex(lameBitrateIndex(12)), 12u);

    for (int i = 0; i < 12; ++i) EXPECT_EQ(lameQualityIndex(lameQualityFromIndex(i)), i);
    EXPECT_EQ(lameQualityFromIndex(0), -1);
    EXPECT_EQ(lameQualityFromIndex(1), 2);
    EXPECT_EQ(lameQualityIndex(4000), 5);
    EXPECT_EQ(lameQualityIndex(3), 1);
}

TEST(SettingsFormRules, OggQualityLabelAndStoredLevel) {
    EXPECT_EQ(oggQualityText(0), "0.00 (~ 87.27 kB/s)");
    EXPECT_EQ(oggQualityText(-100), "-1.00 (~ 46.00 kB/s)");
    EXPECT_EQ(oggQualityText(1000), "10.00 (~ 500.00 kB/s)");
    EXPECT_EQ(oggQualityFromBar(1000), 999);  // the field holds at most 999
    EXPECT_EQ(oggQualityFromBar(500), 500);
    EXPECT_EQ(oggBarPosition(5000), 1000);
}

TEST(SettingsFormRules, FlacLevelsFollowTheReferenceEncoder) {
    const FlacLevel zero = flacLevel(0);
    EXPECT_EQ(kFlacLpcOrders[zero.lpcOrderIndex], 0);
    EXPECT_EQ(kFlacBlockSizes[zero.blockSizeIndex], 1152);
    EXPECT_FALSE(zero.adaptiveMidSide);
    EXPECT_TRUE(flacLevel(1).adaptiveMidSide);
    const FlacLevel eight = flacLevel(8);
    EXPECT_EQ(kFlacLpcOrders[eight.lpcOrderIndex], 12);
    EXPECT_EQ(kFlacBlockSizes[eight.blockSizeIndex], 4608);
    EXPECT_EQ(eight.riceMin, 0);
    EXPECT_EQ(eight.riceMax, 6);
    EXPECT_TRUE(eight.exhaustiveSearch);
    EXPECT_FALSE(flacLevel(6).exhaustiveSearch);
    EXPECT_EQ(flacLevel(42).lpcOrderIndex, eight.lpcOrderIndex);
    EXPECT_EQ(flacLevelText(7), "Level = 7");
}

TEST(SettingsFormRules, StoredColoursAreBlueGreenRed) {
    EXPECT_EQ(storedColorToRgb(0x00E3DFE0), 0xE0DFE3u);
    EXPECT_EQ(storedColorToRgb(0x000000FF), 0xFF0000u);  // red
    EXPECT_FALSE(storedColorToRgb(kSystemActiveBorder).has_value());
    EXPECT_EQ(rgbToStoredColor(0xFF0000), 0x000000FFu);
}

TEST(SettingsFormRules, SiteListLines) {
    const auto sites = parseSiteList(
        "Random US site#us.example.org#/~cddb/cddb.cgi#\r\n"
        "\r\n"
        "no host##/x#\r\n"
        "Mirror#eu.example.org#/cddb#");
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(siteText(sites[0]), "Random US site (us.example.org/~cddb/cddb.cgi)");
    EXPECT_EQ(sites[1].host, "eu.example.org");
    EXPECT_EQ(sites[1].path, "/cddb");
    // A description written in cp1251 by another program is shown readably.
    EXPECT_EQ(parseSiteList("\xd0\xee\xf1\xf1\xe8\xff#ru.example.org#/c#")[0].description, "Россия");
}

TEST(SettingsFormRules, LocalCddbFolderFromACopiedWindowsFileBecomesTheHomeFolder) {
    EXPECT_EQ(resolveLocalCddbPath("C:\\", "/home/u/mv/LocalCDDB/"), "/home/u/mv/LocalCDDB/");
    EXPECT_EQ(resolveLocalCddbPath("", "/home/u/mv/LocalCDDB/"), "/home/u/mv/LocalCDDB/");
    EXPECT_EQ(resolveLocalCddbPath("/srv/cddb", "/d/"), "/srv/cddb/");
}

TEST(SettingsFormRules, OutputFolderIsOfferedForCreationWhenMissing) {
    TempDir tmp;
    {
        ScriptedPrompt prompt;
        EXPECT_EQ(resolveWorkDir(tmp.path(), "", "/fallback/", prompt), tmp.path());
        // An existing folder is taken as it is, with no question.
        EXPECT_TRUE(prompt.entries().empty());
    }
    const std::string nested = tmp / "a/b/c";
    {
        ScriptedPrompt prompt;
        prompt.queueAnswer(true);
        EXPECT_EQ(resolveWorkDir(nested, "", "/fallback/", prompt), nested + "/");
        ASSERT_EQ(prompt.entries().size(), 1u);
        EXPECT_TRUE(prompt.entries()[0].question);
        EXPECT_EQ(prompt.entries()[0].text, Message(34, nested));
        EXPECT_TRUE(FileUtil::isDirectory(nested));
    }
    {
        // "No" still stores the folder, without creating it.
        ScriptedPrompt prompt;
        prompt.queueAnswer(false);
        EXPECT_EQ(resolveWorkDir(tmp / "x/y", "", "/fallback/", prompt), tmp / "x/y/");
        EXPECT_FALSE(FileUtil::isDirectory(tmp / "x"));
    }
    {
        // A Windows path or an empty field keeps the folder stored before.
        ScriptedPrompt prompt;
        EXPECT_EQ(resolveWorkDir("C:\\music\\", tmp.path(), "/fallback/", prompt), tmp.path());
        EXPECT_EQ(resolveWorkDir("", "D:\\", tmp.path(), prompt), tmp.path());
        EXPECT_TRUE(prompt.entries().empty());
    }
}

}  // namespace
}  // namespace melvarin
