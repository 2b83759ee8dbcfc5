#pragma once
#include <string>

namespace melvarin {

// The folders of the program home that start-up prepares and shutdown tidies.
class ProgramFolders {
public:
    // Creates "setting/", "setting/albums/", "lang/" and "TempFiles/" in the
    // program home (ProgramHome must be set). Returns false and a reason in
    // `error` when one of them cannot be made.
    static bool create(std::string& error);

    // Removes "TempFiles/" with everything in it (a symbolic link is removed,
    // not followed). True when it is gone afterwards.
    static bool removeTempFiles();
};

}  // namespace melvarin
