#include "app/SettingsFormRules.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "app/Messages.h"
#include "platform/Cp1251.h"
#include "platform/FileUtil.h"

namespace melvarin {

namespace {

bool isAbsolutePath(std::string_view p) { return !p.empty() && p.front() == '/'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string withTrailingSlash(std::string_view dir) {
    std::string out(dir);
    if (out.empty() || out.back() != '/') out += '/';
    return out;
}

std::string resolveWorkDir(std::string_view text, std::string_view previous,
                           std::string_view fallback, UserPrompt& prompt) {
    std::string dir(trimBlanks(text));
    if (!isAbsolutePath(dir)) dir = isAbsolutePath(previous) ? std::string(previous) : std::string(fallback);
    if (!FileUtil::isDirectory(dir)) {
        if (prompt.ask(Message(34, dir), Icon::Question)) FileUtil::makeDirs(dir);
    }
    return withTrailingSlash(dir);
}

std::string resolveLocalCddbPath(std::string_view text, std::string_view defaultDir) {
    const std::string_view dir = trimBlanks(text);
    return withTrailingSlash(isAbsolutePath(dir) ? dir : defaultDir);
}

long parseNumber(std::string_view text, long min, long max, long fallback) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return fallback;
    if (value < min || value > max) return fallback;
    return value;
}

int32_t timeOutFromText(std::string_view seconds) {
    // At most a day: the stored milliseconds stay far inside int32.
    return static_cast<int32_t>(parseNumber(seconds, 0, 86400, kFallbackTimeOutSeconds) * 1000);
}

std::string timeOutText(int32_t milliseconds) { return std::to_string(milliseconds / 1000); }

std::string numSecReadText(uint8_t stored) {
    return std::to_string(stored == 0 ? kFallbackNumSecRead : stored);
}

std::string normalizeAcmExt(std::string_view text) {
    std::string ext(trimBlanks(text));
    if (ext.empty()) return ".wav";
    if (ext.front() != '.') ext.insert(ext.begin(), '.');
    // Keep at most 5 characters.
    std::size_t pos = 0;
    for (int chars = 0; pos < ext.size() && chars < 5; ++chars) Cp1251::nextCodePoint(ext, pos);
    ext.resize(pos);
    return ext;
}

std::string speedText(int n) {
    return std::to_string(n) + "x ( " + std::to_string(n * 176400 / 1000) + " Kbit/s )";
}

int speedIndex(uint8_t speed) {
    if (speed == 0) return 0;
    if (speed > kSpeedCount) return kSpeedCount - 1;
    return speed - 1;
}

uint8_t speedFromControls(bool maximum, int index) {
    if (maximum) return kMaxSpeed;
    return static_cast<uint8_t>(std::clamp(index, 0, kSpeedCount - 1) + 1);
}

namespace {
constexpr std::array<uint8_t, 6> kBurnSpeedValues = {255, 32, 16, 8, 4, 1};
}

int burnSpeedIndex(uint8_t burnSpeed) {
    for (std::size_t i = 1; i < kBurnSpeedValues.size(); ++i)
        if (kBurnSpeedValues[i] == burnSpeed) return static_cast<int>(i);
    return 0;
}

uint8_t burnSpeedFromIndex(int index) {
    if (index < 0 || index >= static_cast<int>(kBurnSpeedValues.size())) return 255;
    return kBurnSpeedValues[static_cast<std::size_t>(index)];
}

int commandTypeIndex(uint8_t type) {
    return type < kCommandTypeNames.size() ? type : 0;
}

std::vector<std::string> lameBitrateTexts() {
    static constexpr std::array<int, 14> kRates = {320, 256, 224, 192, 160, 128, 112,
                                                   96, 80, 64, 56, 48, 40, 32};
    std::vector<std::string> out;
    for (int r : kRates) out.push_back(std::to_string(r) + "kBit/s");
    return out;
}

int lameBitrateIndex(uint32_t bitrateIndex) {
    if (bitrateIndex < 1) return 13;
    if (bitrateIndex > 14) return 0;
    return 14 - static_cast<int>(bitrateIndex);
}

uint32_t lameBitrateFromIndex(int index) {
    return static_cast<uint32_t>(14 - std::clamp(index, 0, 13));
}

int lameQualityIndex(int16_t value) {
    for (std::size_t i = 0; i < kLameQualityValues.size(); ++i)
        if (kLameQualityValues[i] == value) return static_cast<int>(i);
    return 1;
}

int16_t lameQualityFromIndex(int index) {
    if (index < 0 || index >= static_cast<int>(kLameQualityValues.size())) return kLameQualityValues[1];
    return kLameQualityValues[static_cast<std::size_t>(index)];
}

std::string bitrateText(int kbits) { return std::to_string(kbits) + " kB/s"; }

std::string oggQualityText(int position) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2f (~ %2.2f kB/s)", position * 0.01,
                  (position + 100) * 0.41273 + 46);
    return buf;
}

int32_t oggQualityFromBar(int position) {
    const int p = std::clamp(position, kOggBarMin, kOggBarMax);
    return p == kOggBarMax ? kOggBarMax - 1 : p;
}

int oggBarPosition(int32_t level) {
    return std::clamp<int32_t>(level, kOggBarMin, kOggBarMax);
}

FlacLevel flacLevel(int level) {
    static constexpr std::array<FlacLevel, 9> kLevels = {{
        {0, 3, 2, 2, false, false},
        {0, 3, 2, 2, false, true},
        {0, 3, 0, 3, false, false},
        {3, 6, 3, 3, false, true},
        {4, 6, 3, 3, false, true},
        {4, 6, 3, 3, false, false},
        {4, 6, 0, 4, false, false},
        {4, 6, 0, 6, true, false},
        {6, 6, 0, 6, true, false},
    }};
    return kLevels[static_cast<std::size_t>(std::clamp(level, 0, 8))];
}

std::string flacLevelText(int level) { return "Level = " + std::to_string(level); }

std::optional<uint32_t> storedColorToRgb(uint32_t stored) {
    if (stored & 0xFF000000u) return std::nullopt;
    return ((stored & 0xFF) << 16) | (stored & 0xFF00) | ((stored >> 16) & 0xFF);
}

uint32_t rgbToStoredColor(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

std::vector<FreedbSite> parseSiteList(std::string_view text) {
    std::vector<FreedbSite> sites;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::array<std::string, 3> fields;
        std::size_t from = 0;
        for (std::string& field : fields) {
            if (from > line.size()) break;
            std::size_t hash = line.find('#', from);
            if (hash == std::string_view::npos) hash = line.size();
            const std::string_view raw = line.substr(from, hash - from);
            field = Cp1251::isValidUtf8(raw) ? std::string(raw) : Cp1251::toUtf8(raw);
            from = hash + 1;
        }
        if (fields[1].empty()) continue;
        sites.push_back({fields[0], fields[1], fields[2]});
    }
    return sites;
}

std::string siteText(const FreedbSite& site) {
    return site.description + " (" + site.host + site.path + ")";
}

}  // namespace melvarin
