#include "app/SettingsRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace melvarin {
namespace {

struct ExpectedBytes {
    std::size_t offset;
    std::size_t width;
    int64_t value;  // unsigned little-endian integer of `width` bytes
};

std::string rawBytes(const SettingsRecord& s) {
    return std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

// Unsigned little-endian integer of `width` bytes at `offset`.
int64_t readLe(const std::string& raw, std::size_t offset, std::size_t width) {
    uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v |= uint64_t(static_cast<unsigned char>(raw[offset + i])) << (8 * i);
    return static_cast<int64_t>(v);
}

// The first-start record, checked byte by byte against the stored layout that
// files from other installations carry: every number at its offset, every
// text, and zero everywhere else.
TEST(SettingsRecord, DefaultsSitAtTheirStoredOffsetsAndEverythingElseIsZero) {
    const SettingsRecord s = defaultSettings("/home/u/Music/", "/opt/m/LocalCDDB/");
    const std::string raw = rawBytes(s);
    ASSERT_EQ(raw.size(), 1516u);

    const std::vector<ExpectedBytes> numbers = {
        {261, 1, 1},  {265, 1, 1},     {266, 1, 1},    {299, 1, 30},   {301, 1, 1},
        {302, 1, 26}, {304, 1, 255},   {305, 1, 1},    {306, 1, 1},    {307, 1, 1},
        {308, 1, 1},  {374, 1, 1},     {375, 1, 1},    {377, 1, 1},    {508, 4, 20000},
        {512, 4, 80}, {780, 2, 144},   {782, 2, 90},   {784, 2, 80},   {786, 2, 80},
        {788, 2, 150}, {790, 1, 1},    {791, 1, 1},    {792, 1, 1},    {793, 1, 1},
        {794, 1, 1},  {795, 1, 1},     {1064, 4, 0x00E3DFE0}, {1068, 4, 0x00EAEAEA},
        {1072, 4, 0x00D1EFFE}, {1097, 1, 1}, {1236, 2, 25}, {1238, 1, 1}, {1239, 1, 1},
        {1245, 1, 1}, {1507, 1, 1},    {1508, 1, 1},
        // encoder options at 1100 + their own offset
        {1100 + 0, 4, 12}, {1100 + 4, 4, 14}, {1100 + 8, 4, 1}, {1100 + 12, 4, 255},
        {1100 + 77, 1, 7}, {1100 + 122, 1, 1}, {1100 + 124, 1, 1}, {1100 + 125, 1, 90},
        {1100 + 126, 1, 98}, {1100 + 127, 1, 90}, {1100 + 128, 1, 98}, {1100 + 129, 1, 1},
    };
    struct Text {
        std::size_t offset;
        std::size_t width;
        std::string value;
    };
    const std::vector<Text> texts = {
        {0, 261, "/home/u/Music/"}, {516, 260, "/opt/m/LocalCDDB/"}, {1077, 20, "Russian"}};

    std::vector<bool> named(raw.size(), false);
    for (const auto& n : numbers) {
        EXPECT_EQ(readLe(raw, n.offset, n.width), n.value) << "at offset " << n.offset;
        for (std::size_t i = 0; i < n.width; ++i) named[n.offset + i] = true;
    }
    for (const auto& t : texts) {
        EXPECT_EQ(std::string(raw.c_str() + t.offset), t.value) << "at offset " << t.offset;
        for (std::size_t i = 0; i < t.width; ++i) named[t.offset + i] = true;
    }
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (!named[i]) {
            EXPECT_EQ(raw[i], '\0') << "byte " << i << " should be zero";
        }
}

// The names peers use reach the same bytes the stored layout fixes.
TEST(SettingsRecord, NamedFieldsMapOntoTheStoredBytes) {
    SettingsRecord s = defaultSettings("/m/", "/l/");
    s.TimeOut = -2;
    s.EncoderConfig.LameQuality = -1;
    s.EncoderConfig.Format = 0x0102;
    s.ColumnWidths[4] = 0x0304;
    s.CommandType[31] = 9;
    s.BigEndian[0] = 1;
    const std::string raw = rawBytes(s);
    EXPECT_EQ(readLe(raw, 508, 4), 0xFFFFFFFE);
    EXPECT_EQ(readLe(raw, 1100 + 22, 2), 0xFFFF);
    EXPECT_EQ(readLe(raw, 1100 + 120, 2), 0x0102);
    EXPECT_EQ(readLe(raw, 788, 2), 0x0304);
    EXPECT_EQ(raw[340], 9);
    EXPECT_EQ(raw[341], 1);
}

TEST(SettingsRecord, TextFieldsAreCp1251AndCutToFit) {
    SettingsRecord s = defaultSettings("/m/", "/l/");
    setText(s.Language, "Русский");
    EXPECT_EQ(static_cast<unsigned char>(s.Language[0]), 0xD0);  // Р in cp1251
    EXPECT_EQ(getText(s.Language), "Русский");

    setText(s.EncoderConfig.ACMFileExt, ".abcdefgh");
    EXPECT_EQ(getText(s.EncoderConfig.ACMFileExt), ".abcd");
    EXPECT_EQ(s.EncoderConfig.ACMFileExt[5], '\0');
    EXPECT_EQ(s.EncoderConfig.ACMWriteWAVEHead, 0);  // the neighbour is untouched
}

}  // namespace
}  // namespace melvarin
