#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include "platform/FileUtil.h"
#include "support/TempDir.h"

using melvarin::Cp1251;
using melvarin::FileUtil;

TEST(Cp1251, RoundTripsCyrillicAndPunctuation) {
    const std::string utf8 = "Привет, Ёлка — №1 «ok»";
    const std::string cp = Cp1251::fromUtf8(utf8);
    EXPECT_EQ(cp.size(), 22u);  // one byte per character
    EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xCF);  // П
    EXPECT_EQ(Cp1251::toUtf8(cp), utf8);
}

TEST(Cp1251, UnencodableAndInvalidBecomeQuestionMarks) {
    EXPECT_EQ(Cp1251::fromUtf8("a\xE6\x97\xA5" "b"), "a?b");  // CJK character
    EXPECT_EQ(Cp1251::fromUtf8("a\xFF" "b"), "a?b");          // not UTF-8
    EXPECT_EQ(Cp1251::fromUtf8("\xC3"), "?");                 // cut sequence
    EXPECT_FALSE(Cp1251::isValidUtf8("\xC0\xAF"));            // overlong "/"
    EXPECT_TRUE(Cp1251::isValidUtf8("Ёж"));
}

TEST(Cp1251, FieldsAreCutSoTheTerminatorFits) {
    char field[5];
    Cp1251::writeField(field, sizeof field, "Жжжжжжж");
    EXPECT_EQ(field[4], '\0');
    EXPECT_EQ(Cp1251::readField(field, sizeof field), "Жжжж");

    const char full[3] = {'a', 'b', 'c'};  // no terminator inside: all bytes are text
    EXPECT_EQ(Cp1251::readField(full, sizeof full), "abc");
}

TEST(FileUtil, AtomicWriteReplacesAndLeavesNoTemporaryOnFailure) {
    melvarin::test::TempDir dir;
    const std::string path = dir / "a.dat";
    ASSERT_TRUE(FileUtil::writeAtomically(path, "one"));
    ASSERT_TRUE(FileUtil::writeAtomically(path, "two!"));
    EXPECT_EQ(FileUtil::readAll(path).value(), "two!");

    EXPECT_FALSE(FileUtil::writeAtomically(dir / "missing/a.dat", "x"));
    // A folder in the way: the rename fails and the temporary file goes.
    FileUtil::makeDirs(dir / "sub");
    EXPECT_FALSE(FileUtil::writeAtomically(dir / "sub", "x"));
    std::string listing;
    melvarin::test::runCommand("ls -A " + melvarin::test::shellQuote(dir.path()), &listing);
    EXPECT_EQ(listing, "a.dat\nsub\n");
}

TEST(FileUtil, ReadAllRefusesFoldersAndOversizedFiles) {
    melvarin::test::TempDir dir;
    EXPECT_FALSE(FileUtil::readAll(dir.path()).has_value());
    melvarin::test::writeFile(dir / "big", std::string(100, 'x'));
    EXPECT_FALSE(FileUtil::readAll(dir / "big", 99).has_value());
    EXPECT_EQ(FileUtil::readAll(dir / "big", 100)->size(), 100u);
}
