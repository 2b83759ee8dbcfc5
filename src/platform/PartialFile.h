#pragma once
#include <ctime>
#include <string>
#include <string_view>

namespace melvarin {

// One output file that appears under its final name only when it is complete.
// open() creates ".NAME.partial" in the folder of the final name; the writer
// writes through fd(); commit() closes it and renames it over the final name
// only when every write and the close succeeded. Whatever ends otherwise (a
// failure, a cancel, the destructor without commit) removes the partial file,
// so the final name keeps what it had before. A symlink at the final name is
// never followed: the rename replaces the link itself.
//
// A device, pipe or socket at the final name (/dev/null, a FIFO) is written
// directly: there is nothing to put in place. A folder at the final name is
// refused.
class PartialFile {
public:
    PartialFile() = default;
    ~PartialFile() { discard(); }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // Creates the partial file of `finalPath` anew (a leftover of an earlier
    // run is removed first), opened for reading and writing with O_EXCL and
    // O_NOFOLLOW. False with error() naming `finalPath` and the cause.
    bool open(const std::string& finalPath);

    // The descriptor to write through; -1 when not open (never opened,
    // committed or discarded).
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    const std::string& finalPath() const { return final_; }
    // Empty when the final name is written directly.
    const std::string& partialPath() const { return partial_; }

    // Notes a failed write so that commit() refuses to put the file in place.
    // `error` becomes error().
    void setFailed(const std::string& error);

    // Closes the descriptor and renames the partial file over the final name.
    // False (the partial file removed, the final name untouched) when a write
    // failed, the close failed or the rename failed; error() says why.
    bool commit();
    // Closes and removes the partial file. Safe to call at any time.
    void discard();

    // After a successful commit: whether something was at the final name
    // before (it was replaced).
    bool replaced() const { return replaced_; }
    const std::string& error() const { return error_; }

    // "FOLDER/.NAME.partial" for "FOLDER/NAME".
    static std::string PartialPathFor(const std::string& finalPath);
    // Whether a file name (no folder) is one of PartialPathFor's.
    static bool IsPartialName(std::string_view fileName);
    // Removes every partial file directly in `folder` (regular files and
    // links only, not in subfolders) last changed before `before` (0: any).
    // Returns how many were removed.
    static int RemoveLeftovers(const std::string& folder, std::time_t before = 0);
    // Removes everything directly in `folder` last changed before `before`,
    // subfolders with their contents; links are removed, never followed.
    // Returns how many entries were removed.
    static int RemoveOlderThan(const std::string& folder, std::time_t before);

    // Writes `bytes` as the whole file `finalPath` through a partial file.
    // False with `error` (may be null) on failure; the final name is then untouched.
    static bool WriteWhole(const std::string& finalPath, std::string_view bytes, std::string* error = nullptr);

private:
    bool fail(const std::string& what, int code);

    int fd_ = -1;
    std::string final_;
    std::string partial_;
    std::string error_;
    bool failed_ = false;
    bool replaced_ = false;
};

}  // namespace melvarin
