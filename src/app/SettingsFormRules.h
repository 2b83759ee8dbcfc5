#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/UserPrompt.h"

namespace melvarin {

// The rules by which the settings window shows the settings record and stores
// it back on "Ok". Plain functions without any window, so the window stays a
// thin shell over them.

// --- Folders -------------------------------------------------------------------

// `dir` with a "/" appended unless it already ends in one.
std::string withTrailingSlash(std::string_view dir);

// The output folder to store from the folder field. A text that is no absolute
// path (empty, relative, a copied "C:\music\") keeps `previous` when that is an
// absolute path, else takes `fallback`. When the chosen folder does not exist the
// user is asked message 34 (its "%s" replaced by the folder); Yes creates it with
// all missing parents. The result always ends in "/".
std::string resolveWorkDir(std::string_view text, std::string_view previous,
                           std::string_view fallback, UserPrompt& prompt);

// The local CDDB folder to store: empty or not an absolute path (such as the
// "C:\" of a copied settings file) becomes `defaultDir` (the program home's
// "LocalCDDB/"); the result ends in "/".
std::string resolveLocalCddbPath(std::string_view text, std::string_view defaultDir);

// --- Numbers -------------------------------------------------------------------

// Parses a decimal integer (surrounding blanks allowed). Text that does not
// parse, or whose value lies outside [min, max], gives `fallback`.
long parseNumber(std::string_view text, long min, long max, long fallback);

// Fallbacks of the number fields when their text does not parse.
inline constexpr long kFallbackNumSecRead = 26;
inline constexpr long kFallbackSetMin = 90;
inline constexpr long kFallbackSetMax = 98;
inline constexpr long kFallbackTimeOutSeconds = 20;
inline constexpr long kFallbackPort = 80;
inline constexpr long kFallbackBlockCount = 38;
inline constexpr long kFallbackRicePartitionOrder = 0;

// Network time-out: seconds typed into the field -> milliseconds stored, and back.
int32_t timeOutFromText(std::string_view seconds);
std::string timeOutText(int32_t milliseconds);

// Text shown for the number of sectors per read: a stored 0 shows as "26".
std::string numSecReadText(uint8_t stored);

// The ACM extension to store: empty becomes ".wav", a missing leading "." is
// put in front. At most 5 characters (the dot included) are kept, cut on a
// character boundary.
std::string normalizeAcmExt(std::string_view text);

// --- Lists -----------------------------------------------------------------------

inline constexpr int kSpeedCount = 50;
inline constexpr uint8_t kMaxSpeed = 255;

// Text of the read-speed entry for factor n (1..50): "8x ( 1411 Kbit/s )".
std::string speedText(int n);
// The read-speed entry shown for a stored `Speed` (255 and out-of-range values
// show the last entry; 0 shows the first).
int speedIndex(uint8_t speed);
// `Speed` to store from the speed list and the "maximum" box.
uint8_t speedFromControls(bool maximum, int index);

// Write speed list "Max", "32x", "16x", "8x", "4x", "1x".
inline constexpr std::array<const char*, 6> kBurnSpeedTexts = {"Max", "32x", "16x", "8x", "4x", "1x"};
int burnSpeedIndex(uint8_t burnSpeed);  // unknown values show "Max"
uint8_t burnSpeedFromIndex(int index);  // 0 and unknown indexes -> 255

// Read command types, in list order.
inline constexpr std::array<const char*, 9> kCommandTypeNames = {
    "Standart MMC1 (IDE Device)", "READ NEC", "READ C1", "READ C2", "READ C3",
    "READ SONY", "READ 10", "READ MMC2", "READ MMC3"};
// Entry of the read-command list for a stored type; types the list lacks show 0.
int commandTypeIndex(uint8_t type);

// Extraction methods (values 0..3).
inline constexpr int kExtractMethodCount = 4;

// MPEG-1 Layer III bitrates of the MP3 page, top to bottom ("320kBit/s" ...
// "32kBit/s"); entry i stands for the bitrate index 14 - i.
std::vector<std::string> lameBitrateTexts();
int lameBitrateIndex(uint32_t bitrateIndex);   // clamped into the list
uint32_t lameBitrateFromIndex(int index);

// LAME quality presets in list order and the stored values they stand for.
inline constexpr std::array<int16_t, 12> kLameQualityValues = {
    -1, 2, 0, 1, 1000, 4000, 5000, 6000, 7000, 8000, 9000, 10000};
int lameQualityIndex(int16_t value);  // values not in the list show entry 1
int16_t lameQualityFromIndex(int index);

// Bitrate tables (kbit/s) of the Ogg Vorbis, AAC and WMA lists, in list order.
inline constexpr std::array<int, 11> kOggBitrates = {350, 256, 192, 160, 128, 96, 80, 64, 48, 40, 32};
inline constexpr std::array<int, 10> kAacBitrates = {64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
inline constexpr std::array<int, 9> kWmaBitrates = {32, 40, 48, 64, 80, 96, 128, 160, 192};
// A bitrate list entry: the number followed by " kB/s".
std::string bitrateText(int kbits);

// --- Ogg quality -------------------------------------------------------------------

inline constexpr int kOggBarMin = -100;
inline constexpr int kOggBarMax = 1000;
// "%2.2f (~ %2.2f kB/s)" of position × 0.01 and (position + 100) × 0.41273 + 46.
std::string oggQualityText(int position);
// `OggQualityLevel` stored from the slider: its top position is stored one below.
int32_t oggQualityFromBar(int position);
// Slider position for a stored level, clamped into the slider's range.
int oggBarPosition(int32_t level);

// --- FLAC levels -------------------------------------------------------------------

// FLAC block sizes and maximum LPC orders, in the order of their lists.
inline constexpr std::array<int, 11> kFlacBlockSizes = {256, 512, 1024, 1152, 2048, 2304,
                                                        4608, 4096, 8192, 16384, 32768};
inline constexpr std::array<int, 7> kFlacLpcOrders = {0, 2, 4, 6, 8, 10, 12};
inline constexpr int kFlacDefaultLevel = 7;

// The controls a compression level sets (list indexes, not values).
struct FlacLevel {
    uint8_t lpcOrderIndex;
    uint8_t blockSizeIndex;
    uint8_t riceMin;
    uint8_t riceMax;
    bool exhaustiveSearch;
    bool adaptiveMidSide;  // else plain mid/side
};
// Level 0..8 (clamped). Every level clears escape coding.
FlacLevel flacLevel(int level);
std::string flacLevelText(int level);  // "Level = 7"

// --- Colours -------------------------------------------------------------------

inline constexpr uint32_t kSystemActiveBorder = 0x8000000A;
inline constexpr uint32_t kSystemWindow = 0x80000005;
inline constexpr uint32_t kOriginalWindowColor = 0x00E3DFE0;
inline constexpr uint32_t kOriginalControlColor = 0x00EAEAEA;

// A stored colour (0x00BBGGRR) as 0xRRGGBB, or nothing for a system-colour code
// (0x800000nn), which the window resolves from its palette.
std::optional<uint32_t> storedColorToRgb(uint32_t stored);
uint32_t rgbToStoredColor(uint32_t rgb);

// --- freedb sites -----------------------------------------------------------------

struct FreedbSite {
    std::string description;
    std::string host;
    std::string path;
};
// Parses the lines of the site list file ("description#host#path#", one per
// line, CR/LF tolerated). Lines without a host are skipped.
std::vector<FreedbSite> parseSiteList(std::string_view text);
// What the site list box shows for a site: description + " (" + host + path + ")".
std::string siteText(const FreedbSite& site);

}  // namespace melvarin
