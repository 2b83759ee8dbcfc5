#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cddb/XmcdRecord.h"

namespace melvarin {

// The local CDDB: xmcd entries in eleven category folders under a base folder.
// A disc's file is named after the first two hexadecimal digits of its identifier
// ("9Bto9B"); one file holds every entry sharing those digits, each beginning with
// its "#FILENAME=" line. Files are written in code page 1251 and read as UTF-8 when
// valid, else as cp1251. Not thread-safe.
class TLocalCDDB {
public:
    struct Category {
        const char* folder;
        const char* display;
    };
    static const Category kCategories[11];
    static constexpr int kMiscCategory = 10;

    // Sets the base folder; an empty path or one that is not absolute becomes
    // `defaultBase` (the program home's "LocalCDDB/"). Creates the base and the
    // category folders when missing (failures are not reported).
    void SetBasePath(const std::string& path, const std::string& defaultBase);
    const std::string& BasePath() const { return base_; }

    // "9Bto9B" for 0x9B0A6B0C.
    static std::string FileName(std::uint32_t discId);

    // The category index for a genre text: the first folder or display name equal
    // to it exactly, else misc; an empty genre is misc.
    static int CategoryOf(const std::string& genre);

    // Where the entry of a disc with this genre is stored; empty without a base.
    std::string FilePath(const std::string& genre, std::uint32_t discId) const;

    // Stores `disc` under its genre: replaces that disc's entry in the file, or
    // appends it; other entries of the file are kept. The file is replaced
    // atomically. False when there is no base or the write failed.
    bool SaveXmcd(const XmcdRecord& disc);

    // The file holding `discId`'s entry: the computed names ("9Bto9B", then the
    // identifier in decimal) in the category folders in order. Empty when none.
    std::string FindFile(std::uint32_t discId) const;

    // Finds `discId` and parses its entry into `disc` (texts only; titles of at most
    // `maxTracks` tracks). A file of one entry is read whatever identifier it names;
    // in a file of several entries only the one naming `discId` is read.
    bool Lookup(std::uint32_t discId, XmcdRecord& disc, std::size_t maxTracks = 100) const;

    // Every file of every category folder, in category order, names sorted.
    std::vector<std::string> AllFiles() const;

    // Adds every artist of the store to `artists` once, ignoring case (cp1251-aware
    // lower-casing). `progress(done, total)` is called per file, `total` first with
    // done = 0.
    void FillArtistList(std::vector<std::string>& artists,
                        const std::function<void(std::size_t, std::size_t)>& progress = {}) const;

private:
    std::string base_;
};

}  // namespace melvarin
