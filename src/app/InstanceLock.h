#pragma once
#include <string>

namespace melvarin {

// Single-instance guard of the GUI: an exclusive flock on a lock file named
// after "Melvarin v3.x mutex". Held while the object lives; released by the
// kernel when the process ends, however it ends.
class InstanceLock {
public:
    // Tries once, without waiting, to take the lock in `dir` (defaultDir() when
    // empty). held() tells whether it was taken.
    explicit InstanceLock(const std::string& dir = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object holds the lock. False when another process holds
    // it, or when the lock file cannot be opened (see error()).
    bool held() const { return held_; }
    // Why the lock file could not be opened; empty otherwise.
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }

    // $XDG_RUNTIME_DIR when it is an absolute folder, else "/tmp".
    static std::string defaultDir();
    // The lock file's name: per user in a shared folder.
    static std::string fileName(const std::string& dir);

private:
    int fd_ = -1;
    bool held_ = false;
    std::string path_;
    std::string error_;
};

}  // namespace melvarin
