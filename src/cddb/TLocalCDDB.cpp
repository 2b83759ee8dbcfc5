#include "cddb/TLocalCDDB.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/Cp1251.h"
#include "platform/FileUtil.h"

namespace melvarin {
namespace {

constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;

// Lower-cases Latin and Cyrillic letters of a UTF-8 text.
std::string lowerText(const std::string& s) {
    std::string out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        char32_t c = Cp1251::nextCodePoint(s, pos);
        if (c >= 'A' && c <= 'Z') c += 32;
        else if (c >= 0x410 && c <= 0x42F) c += 32;
        else if (c >= 0x400 && c <= 0x40F) c += 80;
        Cp1251::appendUtf8(out, c);
    }
    return out;
}

std::vector<std::string> listFiles(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (FileUtil::isRegularFile(dir + name)) names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

const TLocalCDDB::Category TLocalCDDB::kCategories[11] = {
    {"blues", "Blues"},   {"classical", "Classical"},   {"country", "Country"}, {"folk", "Folk"},
    {"jazz", "Jazz"},     {"newage", "New Age"},        {"reggae", "Reggae"},   {"rock", "Rock"},
    {"soundtrack", "Soundtrack"}, {"data", "Data"},     {"misc", "Other"}};

void TLocalCDDB::SetBasePath(const std::string& path, const std::string& defaultBase) {
    base_ = FileUtil::withSlash(path.empty() || path[0] != '/' ? defaultBase : path);
    if (base_.empty()) return;
    FileUtil::makeDirs(base_);
    for (const auto& c : kCategories) FileUtil::makeDirs(base_ + c.folder);
}

std::string TLocalCDDB::FileName(std::uint32_t discId) {
    const std::string d = Xmcd::hexId(discId, true).substr(0, 2);
    return d + "to" + d;
}

int TLocalCDDB::CategoryOf(const std::string& genre) {
    const std::string g = genre.empty() ? "misc" : genre;
    for (int i = 0; i < 11; ++i)
        if (g == kCategories[i].folder || g == kCategories[i].display) return i;
    return kMiscCategory;
}

std::string TLocalCDDB::FilePath(const std::string& genre, std::uint32_t discId) const {
    if (base_.empty()) return {};
    return base_ + kCategories[CategoryOf(genre)].folder + "/" + FileName(discId);
}

bool TLocalCDDB::SaveXmcd(const XmcdRecord& disc) {
    const std::string path = FilePath(disc.genre, disc.discId);
    if (path.empty()) return false;
    const std::string entry = Cp1251::fromUtf8(Xmcd::render(disc));

    std::string out;
    bool replaced = false;
    if (const auto existing = FileUtil::readAll(path, kMaxFileBytes)) {
        for (std::string_view e : Xmcd::splitEntries(*existing)) {
            std::uint32_t id = 0;
            if (Xmcd::entryId(e, id) && id == disc.discId) {
                if (!replaced) out += entry;
                replaced = true;
            } else {
                out += e;
                if (!out.empty() && out.back() != '\n') out += "\r\n";
            }
        }
    }
    if (!replaced) out += entry;
    return FileUtil::writeAtomically(path, out);
}

std::string TLocalCDDB::FindFile(std::uint32_t discId) const {
    if (base_.empty()) return {};
    const std::string names[2] = {FileName(discId), std::to_string(discId)};
    for (const auto& c : kCategories)
        for (const auto& name : names) {
            const std::string path = base_ + c.folder + "/" + name;
            if (FileUtil::isRegularFile(path)) {
                if (name == names[1]) return path;
                // A shared file answers only when it holds this disc or holds a
                // single entry (as files of one disc were always read).
                const auto text = FileUtil::readAll(path, kMaxFileBytes);
                if (!text) continue;
                const auto entries = Xmcd::splitEntries(*text);
                if (entries.size() == 1) return path;
                for (std::string_view e : entries) {
                    std::uint32_t id = 0;
                    if (Xmcd::entryId(e, id) && id == discId) return path;
                }
            }
        }
    return {};
}

bool TLocalCDDB::Lookup(std::uint32_t discId, XmcdRecord& disc, std::size_t maxTracks) const {
    const std::string path = FindFile(discId);
    if (path.empty()) return false;
    const auto bytes = FileUtil::readAll(path, kMaxFileBytes);
    if (!bytes) return false;
    const std::string text = Xmcd::decodeText(*bytes);
    const auto entries = Xmcd::splitEntries(text);
    if (entries.empty()) return false;
    std::string_view chosen = entries.size() == 1 ? entries[0] : std::string_view{};
    for (std::string_view e : entries) {
        std::uint32_t id = 0;
        if (entries.size() > 1 && Xmcd::entryId(e, id) && id == discId) {
            chosen = e;
            break;
        }
    }
    if (chosen.empty()) return false;
    Xmcd::parse(chosen, disc, maxTracks);
    return true;
}

std::vector<std::string> TLocalCDDB::AllFiles() const {
    std::vector<std::string> files;
    if (base_.empty()) return files;
    for (const auto& c : kCategories) {
        const std::string dir = base_ + c.folder + "/";
        for (const auto& name : listFiles(dir)) files.push_back(dir + name);
    }
    return files;
}

void TLocalCDDB::FillArtistList(std::vector<std::string>& artists,
                                const std::function<void(std::size_t, std::size_t)>& progress) const {
    const std::vector<std::string> files = AllFiles();
    if (progress) progress(0, files.size());
    std::set<std::string> seen;
    for (const auto& a : artists) seen.insert(lowerText(a));
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const auto bytes = FileUtil::readAll(files[i], kMaxFileBytes)) {
            const std::string text = Xmcd::decodeText(*bytes);
            for (std::string_view e : Xmcd::splitEntries(text)) {
                XmcdRecord scratch;
                Xmcd::parse(e, scratch, 0);
                if (scratch.artist.empty()) continue;
                if (seen.insert(lowerText(scratch.artist)).second) artists.push_back(scratch.artist);
            }
        }
        if (progress) progress(i + 1, files.size());
    }
}

}  // namespace melvarin
