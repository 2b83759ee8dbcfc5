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

    // Creates `dir` and its parents. True when it exists as a folder afterwards.
    static bool makeDirs(const std::string& dir);

    // Appends a "/" unless `dir` is empty or already ends with one.
    static std::string withSlash(const std::string& dir);

    static bool isDirectory(const std::string& path);
    static bool isRegularFile(const std::string& path);
};

}  // namespace melvarin
