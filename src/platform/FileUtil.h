#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace melvarin {

// Small file helpers shared by every store of the program.
class FileUtil {
public:
    // Replaces `path` with `bytes`: writes a temporary file in the same folder,
    // flushes it and renames it over `path`. On failure the old file is untouched,
    // no temporary file is left and false is returned.
    static bool writeAtomically(const std::string& path, std::string_view bytes);

    // Reads a whole regular file of at most `maxBytes` bytes. Returns nothing when
    // the file is missing, is not a regular file, is larger or cannot be read.
    static std::optional<std::string> readAll(const std::string& path,
                                              std::size_t maxBytes = std::size_t(64) << 20);

    // Creates `dir` and its parents. True when it exists as a folder afterwards;
    // else `why` (when given) gets the reason ("Not a directory" when a file is
    // in the way).
    static bool makeDirs(const std::string& dir, std::string* why = nullptr);

    // Writes all `size` bytes at `data` to `fd`, going on after short writes and
    // interruptions. 0 when done, else the errno of the failure (EIO for a
    // write that stored nothing).
    static int writeAll(int fd, const void* data, std::size_t size);

    // Appends a "/" unless `dir` is empty or already ends with one.
    static std::string withSlash(const std::string& dir);

    static bool isDirectory(const std::string& path);
    static bool isRegularFile(const std::string& path);
};

}  // namespace melvarin
