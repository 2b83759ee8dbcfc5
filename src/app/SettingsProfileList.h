#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

// The profile list "setting/prof.lst": CR LF lines, line 0 the index of the
// current profile (-1 = the default profile in "set.dat"), then one profile file
// name ("name.prof") per line; profile i is line i + 1.
class SettingsProfileList {
public:
    int current = -1;
    std::vector<std::string> files;

    // Parses the text of a list file. A line 0 that is not a decimal number, and
    // an index that names no line, give -1. Never fails.
    static SettingsProfileList parse(std::string_view text);

    // Reads `path`; a missing, unreadable or oversized file gives the list "-1".
    static SettingsProfileList load(const std::string& path);

    // The text to store: every line followed by CR LF.
    std::string toText() const;

    // The settings file of the current profile: "set.dat" for the default
    // profile, else the profile's file name. A name that could leave the
    // settings folder ("", ".", "..", or containing "/") also gives "set.dat".
    std::string currentFileName() const;

    // Can `name` be used as a file name inside the settings folder?
    static bool isPlainFileName(std::string_view name);
};

}  // namespace melvarin
