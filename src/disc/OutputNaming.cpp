#include "disc/OutputNaming.h"

#include <cstdio>
#include <set>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "disc/SampleText.h"
#include "platform/Cp1251.h"
#include "platform/FileUtil.h"

namespace melvarin {
namespace {

constexpr std::size_t kMaxRelativeLength = 260;

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

std::string trimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string safeComponent(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\\') c = ' ';
    std::erase_if(text, isControl);
    text = trimBlanks(text);
    if (text == "." || text == "..") return "_";
    return text;
}

// Every "/"-separated component trimmed of blanks, empty folders dropped;
// an empty file name becomes "Track NN".
std::string tidyComponents(const std::string& relative, int track) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = relative.find('/', start);
        const bool last = slash == std::string::npos;
        std::string part = trimBlanks(relative.substr(start, last ? std::string::npos : slash - start));
        if (last) {
            out += part.empty() ? "Track " + TwoDigits(track + 1) : part;
            return out;
        }
        if (!part.empty()) out += part + "/";
        start = slash + 1;
    }
}

std::size_t characters(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// Each "/"-separated component that is "." or ".." becomes "_".
std::string confine(const std::string& relative) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = relative.find('/', start);
        const std::string part = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        out += (part == "." || part == "..") ? "_" : part;
        if (slash == std::string::npos) break;
        out += '/';
        start = slash + 1;
    }
    return out;
}

std::string hexId(const DiscRecord& disc) {
    std::string id = disc.hexId();
    if (id.empty()) {
        char buf[9];
        std::snprintf(buf, sizeof buf, "%08x", disc.DiscId);
        id = buf;
    }
    return id;
}

// The value of pattern code `code`; nothing when it is no code.
std::optional<std::string> codeValue(char32_t code, const TrackTexts& t, int track, const DiscRecord& disc) {
    switch (code) {
    case 'A': case U'А': return t.Artist;
    case 'D': case U'Д': return t.Album;
    case 'T': case U'Т': return t.Title;
    case 'N': case U'Н': return TwoDigits(track + 1);
    case 'Y': case U'Г': return t.Year;
    case 'G': case U'Ж': return t.Genre;
    case 'C': return std::to_string(disc.trackCount());
    case 'I': return hexId(disc);
    default: return std::nullopt;
    }
}

std::string checkBoxName(const SettingsRecord& s, const TrackTexts& t, int track, bool withAlbum,
                         const std::string& ext) {
    std::string f;
    if (s.Dir_AsArtistName) f += t.Artist + "/";
    if (s.Dir_AsAlbumName) f += t.Album + "/";
    if (s.File_UseTrackNum) f += std::to_string(track + 1) + " - ";
    if (s.File_UseArtistName) f += t.Artist + " - ";
    if (withAlbum && s.File_UseAlbumName) f += t.Album + " - ";
    if (s.File_UseTrackName) f += t.Title;
    if (!f.empty() && f.back() == ' ') f.pop_back();
    return f + ext;
}

}  // namespace

TrackTexts TextsForTrack(const DiscRecord& disc, const TDiscTags* tags, int track, bool onlyWithTitle) {
    TrackTexts t;
    const TIDTag* tag = (disc.Compilation && tags && track >= 0) ? tags->GetTag(static_cast<unsigned>(track)) : nullptr;
    if (tag && (!onlyWithTitle || !tag->Title.empty())) {
        t = {tag->Artist, tag->Album, tag->Title, tag->Year, tag->Genre};
    } else {
        t = {disc.artist(), disc.album(), disc.title(track), disc.year(), disc.genre()};
    }
    t.Artist = safeComponent(std::move(t.Artist));
    t.Album = safeComponent(std::move(t.Album));
    t.Title = safeComponent(std::move(t.Title));
    t.Year = safeComponent(std::move(t.Year));
    t.Genre = safeComponent(std::move(t.Genre));
    if (t.Artist.empty()) t.Artist = Message(12);
    if (t.Album.empty()) t.Album = Message(13);
    if (t.Title.empty()) t.Title = "Track " + TwoDigits(track + 1);
    return t;
}

std::string ExtensionFor(int encoderIndex, std::string_view acmFileExt) {
    switch (encoderIndex) {
    case 0: return ".wav";
    case 1: return ".mp3";
    case 2: return ".wma";
    case 3: return ".ogg";
    case 4: return ".ape";
    case 5: return ".aac";
    case 6: {
        std::string ext = "." + std::string(acmFileExt);
        if (ext.size() >= 2 && ext[1] == '.') ext = std::string(acmFileExt);
        return ext;
    }
    case 7: return ".flac";
    default: return {};
    }
}

std::string ExpandPattern(std::string_view pattern, int track, const DiscRecord& disc, const TDiscTags* tags) {
    std::string p(pattern);
    if (p.empty() || p.back() != '%') p += "%R";
    if (p.front() == '%') p.insert(0, 1, ' ');
    const TrackTexts texts = TextsForTrack(disc, tags, track, false);

    std::string out;
    bool first = true;
    std::size_t pos = 0;
    while (pos < p.size()) {
        const std::size_t next = p.find('%', pos);
        const std::string_view piece =
            std::string_view(p).substr(pos, next == std::string::npos ? std::string::npos : next - pos);
        pos = next == std::string::npos ? p.size() : next + 1;
        if (piece.empty()) continue;
        if (first) {
            out += piece;
            first = false;
            continue;
        }
        std::size_t after = 0;
        const char32_t code = Cp1251::nextCodePoint(piece, after);
        const auto value = codeValue(code, texts, track, disc);
        if (!value) break;
        out += *value;
        out += piece.substr(after);
    }
    for (char& c : out)
        if (c == '\\') c = '/';
    return tidyComponents(out, track);
}

void CleanFileName(std::string& path) {
    std::erase_if(path, isControl);
    for (std::size_t i = 0; i < path.size(); ++i) {
        switch (path[i]) {
        case ':':
            if (i == 1 && i + 1 < path.size() && (path[2] == '\\' || path[2] == '/')) break;
            [[fallthrough]];
        case '*': case '|': case '<': case '>': case '"': case '?':
            path[i] = ' ';
            break;
        default:
            break;
        }
    }
}

std::string BuildOutputName(const SettingsRecord& s, const DiscRecord& disc, const TDiscTags* tags, int track) {
    const std::string workDir = FileUtil::withSlash(getText(s.WorkDir));
    const std::string ext = ExtensionFor(s.EncoderConfig.EncoderIndex, getText(s.EncoderConfig.ACMFileExt));
    std::string relative;
    if (s.UseFormatString) {
        relative = ExpandPattern(getText(s.Format), track, disc, tags);
    } else {
        const TrackTexts texts = TextsForTrack(disc, tags, track, true);
        relative = checkBoxName(s, texts, track, true, ext);
        if (characters(relative) > kMaxRelativeLength && s.File_UseAlbumName)
            relative = checkBoxName(s, texts, track, false, ext);
        relative.resize(relative.size() - ext.size());
    }
    CleanFileName(relative);
    return workDir + confine(tidyComponents(relative, track)) + ext;
}

std::string UniqueOutputName(const std::string& path, std::set<std::string>& used) {
    std::string name = path;
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= start) dot = path.size();
    for (int n = 2; !used.insert(name).second; ++n)
        name = path.substr(0, dot) + " (" + std::to_string(n) + ")" + path.substr(dot);
    return name;
}

bool EnsureWorkDir(SettingsRecord& settings, UserPrompt& prompt,
                   const std::function<bool(SettingsRecord&)>& openSettings) {
    while (!FileUtil::isDirectory(getText(settings.WorkDir))) {
        prompt.message(Message(14, getText(settings.WorkDir)), Icon::Warning);
        if (!openSettings || !openSettings(settings)) return false;
    }
    return true;
}

bool FormatKeyAllowed(char32_t key) {
    switch (key) {
    case '"': case '*': case ':': case '<': case '>': case '?': case '|':
        return false;
    default:
        return true;
    }
}

std::string ReduceDoublePercent(std::string_view pattern) {
    std::string out;
    for (char c : pattern)
        if (!(c == '%' && !out.empty() && out.back() == '%')) out += c;
    return out;
}

std::optional<std::string> PatternPreview(std::string_view pattern, const DiscRecord* loadedDisc,
                                          const TDiscTags* tags) {
    if (pattern.empty() || pattern == "%") return std::string();
    if (!loadedDisc || pattern.back() == '%') return std::nullopt;
    return ExpandPattern(pattern, 0, *loadedDisc, tags) + ".mp3";
}

bool PatternAcceptable(std::string_view pattern) {
    if (pattern.empty() || pattern.back() == '\\' || pattern.back() == '/' || pattern.back() == '%') return false;
    return pattern.substr(0, pattern.size() - 1).find('%') != std::string_view::npos;
}

}  // namespace melvarin
