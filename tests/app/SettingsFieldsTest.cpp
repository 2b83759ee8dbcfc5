#include "app/SettingsFields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace melvarin {
namespace {

SettingsFieldRef ref(const std::string& name) {
    std::string error;
    const auto r = SettingsFields::resolve(name, error);
    EXPECT_TRUE(r) << error;
    return r.value_or(SettingsFieldRef{});
}

std::string raw(const SettingsRecord& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }

// The table and the record must describe the same bytes: no field outside the
// record, no two fields on one byte, and only reserved bytes left over.
TEST(SettingsFields, TableCoversEveryStoredByteExceptTheReservedOnes) {
    std::vector<int> owner(sizeof(SettingsRecord), 0);
    for (const auto& f : SettingsFields::all()) {
        ASSERT_LE(f.offset + f.size(), sizeof(SettingsRecord)) << f.name;
        for (std::size_t i = 0; i < f.size(); ++i) EXPECT_EQ(owner[f.offset + i]++, 0) << f.name << " overlaps";
    }
    const std::vector<std::pair<std::size_t, std::size_t>> reserved = {
        {506, 2}, {778, 1}, {1063, 1}, {1098, 2}, {1235, 1}, {1240, 4}, {1510, 2}, {1513, 3},
        {1100 + 21, 1}, {1100 + 42, 2}, {1100 + 49, 3}, {1100 + 53, 3}, {1100 + 61, 3}, {1100 + 65, 3},
        {1100 + 73, 3}, {1100 + 78, 2}, {1100 + 97, 3}, {1100 + 109, 3}};
    for (const auto& [at, n] : reserved)
        for (std::size_t i = 0; i < n; ++i) owner[at + i] = -1;
    for (std::size_t i = 0; i < owner.size(); ++i) EXPECT_NE(owner[i], 0) << "byte " << i << " has no field";
}

// What is printed can be typed back in and gives the same bytes.
TEST(SettingsFields, EveryFieldPrintsWhatItParses) {
    SettingsRecord source = defaultSettings("/home/u/Music/", "/opt/m/LocalCDDB/");
    setText(source.Format, "%A - %T");
    setText(source.Server, "сервер.example");
    source.EncoderConfig.LameQuality = -1;
    source.EncoderConfig.OggQualityLevel = -100;
    source.EncoderConfig.VBRMethod = -1;
    source.CommandType[31] = 9;
    source.ColumnWidths[2] = 321;
    source.PlayBarColor = 0x80000005;
    setText(source.EncoderConfig.ACMFileExt, ".mp2");

    SettingsRecord target;
    std::memset(&target, 0, sizeof target);
    for (const auto& f : SettingsFields::all()) {
        std::string error;
        const std::string text = SettingsFields::format(source, {&f, {}});
        EXPECT_TRUE(SettingsFields::parse(target, {&f, {}}, text, error)) << f.name << ": " << error;
    }
    const std::string a = raw(source), b = raw(target);
    for (const auto& f : SettingsFields::all())
        EXPECT_EQ(a.substr(f.offset, f.size()), b.substr(f.offset, f.size())) << f.name;
}

TEST(SettingsFields, NamesIndexesAndTheTwoFormats) {
    SettingsRecord r = defaultSettings("/m/", "/l/");
    std::string error;
    EXPECT_EQ(SettingsFields::format(r, ref("LameBitrate")), "12");
    EXPECT_EQ(SettingsFields::format(r, ref("EncoderConfig.LameBitrate")), "12");
    EXPECT_EQ(SettingsFields::format(r, ref("WindowColor")), "0x00E3DFE0");
    EXPECT_EQ(SettingsFields::format(r, ref("ColumnWidths")), "144,90,80,80,150");

    EXPECT_TRUE(SettingsFields::parse(r, ref("Format"), "%N %T", error));
    EXPECT_TRUE(SettingsFields::parse(r, ref("EncoderConfig.Format"), "3", error));
    EXPECT_EQ(getText(r.Format), "%N %T");
    EXPECT_EQ(r.EncoderConfig.Format, 3);

    EXPECT_TRUE(SettingsFields::parse(r, ref("BigEndian[5]"), "yes", error));
    EXPECT_EQ(r.BigEndian[5], 1);
    EXPECT_EQ(SettingsFields::format(r, ref("BigEndian[5]")), "1");
    EXPECT_EQ(SettingsFields::format(r, ref("CommandType[0]")), "0");

    for (const char* bad : {"Nope", "CommandType[32]", "Speed[0]", "CommandType[x]", "EncoderConfig.WorkDir"})
        EXPECT_FALSE(SettingsFields::resolve(bad, error)) << bad;
}

// A refused value leaves the record exactly as it was.
TEST(SettingsFields, RefusedValuesChangeNothing) {
    const SettingsRecord before = defaultSettings("/m/", "/l/");
    SettingsRecord r = before;
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"Speed", "0"},       {"Speed", "51"},        {"Speed", "fast"},       {"BurnSpeed", "12"},
        {"Interface", "2"},   {"TimeOut", "-5"},      {"Port", "70000"},       {"NumSecRead", "256"},
        {"LameQuality", "3"}, {"DP", "maybe"},        {"ColumnWidths", "1,2"}, {"CommandType", "0,1,x"},
        {"WorkDir", "C:\\music\\"}, {"FileName", "ding.wav"}, {"Language", "日本語"},
        {"EncoderConfig.ACMFileExt", ".abcde"}, {"Format", std::string(30, 'a')}, {"Server", "\xff\xfe"},
        {"WindowColor", "0x-1"}, {"VBRQ", ""}};
    for (const auto& [name, value] : refused) {
        std::string error;
        EXPECT_FALSE(SettingsFields::parse(r, ref(name), value, error)) << name << "=" << value;
        EXPECT_FALSE(error.empty()) << name;
    }
    EXPECT_EQ(raw(r), raw(before));

    std::string error;
    EXPECT_TRUE(SettingsFields::parse(r, ref("WorkDir"), "/srv/музыка", error));
    EXPECT_EQ(getText(r.WorkDir), "/srv/музыка/");
    EXPECT_TRUE(SettingsFields::parse(r, ref("Format"), std::string(29, 'a'), error));
    EXPECT_TRUE(SettingsFields::parse(r, ref("Speed"), "255", error));
    EXPECT_TRUE(SettingsFields::parse(r, ref("VBRMethod"), "255", error));
    EXPECT_TRUE(SettingsFields::parse(r, ref("ConvertDir"), "", error));
}

// Numbers the encoders would silently round or read past a table are refused,
// and the message names what is allowed.
TEST(SettingsFields, EnumeratedNumbersTakeOnlyWhatTheEncodersHonour) {
    const struct {
        const char* field;
        const char* value;
        bool accepted;
    } cases[] = {
        {"LameBitrate", "99", false},  {"LameBitrate", "96", true},   {"LameBitrate", "14", true},
        {"LameBitrate", "1", true},    {"LameBitrate", "15", false},  {"LameBitrate", "0", false},
        {"LameBitrate", "16", false},  {"LameBitrate", "320", true},  {"LameBitrate", "350", false},
        {"MaxBR", "0", true},          {"MaxBR", "33", false},        {"MaxBR", "256", true},
        {"ConvertBitRate", "10", true}, {"ConvertBitRate", "11", false},
        {"BlockSize", "10", true},     {"BlockSize", "11", false},    {"LPCOrder", "6", true},
        {"LPCOrder", "7", false},      {"OggNomBR", "11", false},     {"LameQuality", "4000", true},
    };
    for (const auto& c : cases) {
        SettingsRecord r = defaultSettings("/m/", "/l/");
        const SettingsRecord before = r;
        std::string error;
        EXPECT_EQ(SettingsFields::parse(r, ref(c.field), c.value, error), c.accepted) << c.field << "=" << c.value;
        if (c.accepted) {
            EXPECT_EQ(SettingsFields::format(r, ref(c.field)), c.value);
        } else {
            EXPECT_EQ(raw(r), raw(before)) << c.field << "=" << c.value;
            EXPECT_NE(error.find(std::string("not ") + c.value), std::string::npos) << error;
        }
    }
    std::string error;
    SettingsRecord r = defaultSettings("/m/", "/l/");
    EXPECT_FALSE(SettingsFields::parse(r, ref("LameBitrate"), "99", error));
    EXPECT_EQ(error, "LameBitrate takes 1..14, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256 or 320, not 99");
}

}  // namespace
}  // namespace melvarin
