#include "app/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/FileUtil.h"

namespace melvarin {

std::string InstanceLock::defaultDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && FileUtil::isDirectory(runtime)) return runtime;
    return "/tmp";
}

std::string InstanceLock::fileName(const std::string& dir) {
    // $XDG_RUNTIME_DIR is private to the user; /tmp is shared, so add the user.
    if (dir == "/tmp" || dir == "/tmp/") return "Melvarin v3.x mutex." + std::to_string(::getuid()) + ".lock";
    return "Melvarin v3.x mutex.lock";
}

InstanceLock::InstanceLock(const std::string& dir) {
    const std::string folder = dir.empty() ? defaultDir() : dir;
    path_ = FileUtil::withSlash(folder) + fileName(folder);
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        error_ = "cannot open the lock file " + path_ + ": " + std::strerror(errno);
        return;
    }
    int rc;
    do rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    held_ = rc == 0;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace melvarin
