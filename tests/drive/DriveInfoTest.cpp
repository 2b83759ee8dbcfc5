#include "drive/DriveInfo.h"

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "drive/MmcReplies.h"

using namespace melvarin;

namespace {

std::array<std::uint8_t, 96> inquiry(const std::string& id) {
    std::array<std::uint8_t, 96> r{};
    r[0] = 0x05;
    for (std::size_t i = 0; i < id.size() && i < 28; ++i) r[8 + i] = static_cast<std::uint8_t>(id[i]);
    return r;
}

}  // namespace

TEST(DriveInfo, LinesFollowThePageBits) {
    std::array<std::uint8_t, 26> caps{};
    caps[8] = 0x2A;
    caps[10] = 0x01 | 0x08;  // CD-R read, DVD-ROM read
    caps[11] = 0x02 | 0x04;  // CD-RW write, test write
    caps[12] = 0x40;         // multisession
    caps[14] = 0x08;         // eject
    caps[20] = 0x08, caps[21] = 0x00;  // 2048 kB
    const auto lines = DriveInfoLines(caps, inquiry("ACME    SUPER DRIVE     1.02"), true);
    const std::vector<std::string> expected = {
        Message(55) + " ACME SUPER DRIVE 1.02",
        "",
        Message(39) + "\tДа",  // CD-DA: always
        Message(40) + "\tДа",
        Message(41) + "\tНет",
        Message(42) + "\tДа",
        Message(43) + "\tДа",
        Message(44) + "\tНет",
        Message(45) + "\tНет",
        "",
        Message(46) + "\tНет",
        Message(47) + "\tДа",
        Message(48) + "\tНет",
        Message(49) + "\tНет",
        "",
        Message(50) + "\tДа",
        Message(51) + "\tНет",
        Message(52) + "\tНет",
        Message(53) + "\tДа",
        "",
        Message(54) + "\t2048 Kb",
    };
    EXPECT_EQ(lines, expected);
}

TEST(DriveInfo, OtherLanguagesAnswerOneAndZero) {
    std::array<std::uint8_t, 26> caps{};
    caps[11] = 0x10;  // DVD-R write
    const auto lines = DriveInfoLines(caps, inquiry("X"), false);
    EXPECT_EQ(lines[2], Message(39) + "\t1");
    EXPECT_EQ(lines[3], Message(40) + "\t0");
    EXPECT_EQ(lines[12], Message(48) + "\t1");
}

TEST(DriveInfo, ShortOrHostileRepliesStaySafe) {
    // A page cut short: the missing bits read as no, the buffer as 0.
    const std::uint8_t caps[11] = {0, 0, 0, 0, 0, 0, 0, 0, 0x2A, 0, 0x3F};
    const auto c = DriveCapabilities::parse(caps);
    EXPECT_TRUE(c.dvdRamRead);
    EXPECT_FALSE(c.cdrWrite);
    EXPECT_EQ(c.bufferKb, 0u);
    // Control and non-ASCII bytes in the identification become spaces.
    std::array<std::uint8_t, 96> r = inquiry("AB");
    r[10] = 0x00, r[11] = '\n', r[12] = 0xC3;
    EXPECT_EQ(PrintableIdentification(r), "AB");
    EXPECT_EQ(PrintableIdentification(std::span<const std::uint8_t>(r.data(), 10)), "AB");
}

TEST(DriveInfo, OneNameRuleForEveryPlaceADriveIsShown) {
    const std::pair<std::string, std::string> names[] = {
        {"MELVARINVIRTUAL CD-RW   ", "MELVARIN VIRTUAL CD-RW"},
        {"ACME    SUPER DRIVE     ", "ACME SUPER DRIVE"},
        {"HL-DT-STDVDRAM GH24NSD1 ", "HL-DT-ST DVDRAM GH24NSD1"},
        {std::string("TSSTcorp\0\0CDDVDW   ", 19), "TSSTcorp CDDVDW"},
        {"        PRODUCT ONLY    ", "PRODUCT ONLY"},
        {"VENDOR  ", "VENDOR"},
        {"", ""},
        {"Ma\xe9tre  X", "Ma\xe9tre X"},
    };
    for (const auto& [raw, shown] : names) EXPECT_EQ(DriveDisplayName(raw), shown) << raw;

    // The information window: the same name, then the revision.
    const std::pair<std::string, std::string> identifications[] = {
        {"MELVARINVIRTUAL CD-RW   1.00", "MELVARIN VIRTUAL CD-RW 1.00"},
        {"ACME    SUPER DRIVE         ", "ACME SUPER DRIVE"},
        {"                        1.02", "1.02"},
        {"AB\x01\x7f    CD\nROM       ", "AB CD ROM"},
    };
    for (const auto& [raw, shown] : identifications) EXPECT_EQ(PrintableIdentification(inquiry(raw)), shown) << raw;
}

TEST(MmcReplies, ParsersCheckTheirLengths) {
    // TOC: two tracks and the lead-out, the data length bounding what is read.
    std::vector<std::uint8_t> toc = {0x00, 0x1A,  // data length: 2 + 3 descriptors
                                     1, 2,        // first and last track
                                     0, 0x10, 1, 0, 0, 0, 2, 0,      // track 1 at 00:02:00, audio
                                     0, 0x14, 2, 0, 0, 1, 0, 0,      // track 2 at 01:00:00, data
                                     0, 0x10, 0xAA, 0, 0, 2, 0, 0,   // lead-out at 02:00:00
                                     0, 0x10, 3, 0, 0, 9, 9, 9};     // beyond the data length
    const auto parsed = mmc::parseToc(toc);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->entries.size(), 3u);
    EXPECT_EQ(parsed->entries[1], (TocEntry{0x14, 2, 1, 0, 0}));
    EXPECT_EQ(parsed->entries[2].track, 0xAA);
    toc.resize(18);  // a descriptor cut short is left out
    EXPECT_EQ(mmc::parseToc(toc)->entries.size(), 1u);
    EXPECT_FALSE(mmc::parseToc(std::span<const std::uint8_t>(toc.data(), 3)));

    EXPECT_FALSE(mmc::parseSubChannel(std::vector<std::uint8_t>(11)));
    EXPECT_EQ(mmc::cdTextLength(std::vector<std::uint8_t>{0xFF, 0xFF}), 0x10001u);
    EXPECT_EQ(mmc::cdTextLength(std::vector<std::uint8_t>{1}), 0u);

    EXPECT_EQ(mmc::mechanismState(std::vector<std::uint8_t>{0, 0xE0}), 8);
    EXPECT_EQ(mmc::mechanismState(std::vector<std::uint8_t>{0, 0xF0}), 5);  // door open wins
    EXPECT_EQ(mmc::mechanismState(std::vector<std::uint8_t>{0}), 0);

    const std::vector<std::uint8_t> fixed = {0xF0, 0, 0x03, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x11, 0x05};
    EXPECT_EQ(mmc::parseSense(fixed), (SenseData{0x03, 0x11, 0x05}));
    const std::vector<std::uint8_t> descriptor = {0x72, 0x05, 0x24, 0x00};
    EXPECT_EQ(mmc::parseSense(descriptor), (SenseData{0x05, 0x24, 0x00}));
    EXPECT_EQ(mmc::parseSense(std::vector<std::uint8_t>{0x70, 0, 0x06}), (SenseData{0x06, 0, 0}));
    EXPECT_EQ(mmc::parseSense(std::vector<std::uint8_t>{0x00, 0x05, 0x24}), SenseData{});
}
