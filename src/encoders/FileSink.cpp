#include "encoders/FileSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace melvarin {

FileSink::~FileSink() { close(); }

void FileSink::removeRegularFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
}

bool FileSink::fail(const std::string& what) {
    error_ = what + " \"" + path_ + "\": " + std::strerror(errno);
    return false;
}

bool FileSink::open(const std::string& path) {
    close();
    path_ = path;
    error_.clear();
    pos_ = size_ = 0;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return fail("cannot create");
    return true;
}

bool FileSink::write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        error_ = "write to a closed file \"" + path_ + "\"";
        return false;
    }
    const char* p = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("cannot write");
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        pos_ += static_cast<std::uint64_t>(n);
        size_ = std::max(size_, pos_);
    }
    return true;
}

bool FileSink::seek(std::uint64_t offset) {
    if (fd_ < 0) {
        error_ = "seek in a closed file \"" + path_ + "\"";
        return false;
    }
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return fail("cannot seek in");
    pos_ = offset;
    return true;
}

bool FileSink::close() {
    if (fd_ < 0) return error_.empty();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail("cannot close");
    return error_.empty();
}

}  // namespace melvarin
