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
    pos_ = size_ = stored_ = 0;
    held_ = 0;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return fail("cannot create");
    struct stat st {};
    buffered_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
    return true;
}

bool FileSink::put(const char* data, std::size_t size, std::uint64_t at, std::size_t& stored) {
    stored = 0;
    while (stored < size) {
        const ssize_t n = buffered_ ? ::pwrite(fd_, data + stored, size - stored, static_cast<off_t>(at + stored))
                                    : ::write(fd_, data + stored, size - stored);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return fail("cannot write");
        }
        stored += static_cast<std::size_t>(n);
    }
    return true;
}

bool FileSink::flush() {
    if (held_ == 0) return true;
    const std::uint64_t start = pos_ - held_;
    std::size_t stored = 0;
    const bool ok = put(buffer_.get(), held_, start, stored);
    held_ = 0;
    if (!ok) {
        // What did not reach the file is gone; count only what did.
        pos_ = start + stored;
        size_ = std::max(stored_, pos_);
    }
    stored_ = std::max(stored_, start + stored);
    return ok;
}

bool FileSink::write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        error_ = "write to a closed file \"" + path_ + "\"";
        return false;
    }
    const char* p = static_cast<const char*>(data);
    if (buffered_ && size < kBufferBytes) {
        if (held_ + size > kBufferBytes && !flush()) return false;
        if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferBytes);
        std::memcpy(buffer_.get() + held_, p, size);
        held_ += size;
        pos_ += size;
        size_ = std::max(size_, pos_);
        return true;
    }
    if (!flush()) return false;
    std::size_t stored = 0;
    const bool ok = put(p, size, pos_, stored);
    pos_ += stored;
    size_ = std::max(size_, pos_);
    stored_ = std::max(stored_, pos_);
    return ok;
}

bool FileSink::seek(std::uint64_t offset) {
    if (fd_ < 0) {
        error_ = "seek in a closed file \"" + path_ + "\"";
        return false;
    }
    if (buffered_) {
        if (!flush()) return false;
    } else if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        return fail("cannot seek in");
    }
    pos_ = offset;
    return true;
}

bool FileSink::close() {
    if (fd_ < 0) return error_.empty();
    flush();
    const int fd = fd_;
    fd_ = -1;
    buffer_.reset();
    if (::close(fd) != 0) return fail("cannot close");
    return error_.empty();
}

}  // namespace melvarin
