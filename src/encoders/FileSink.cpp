#include "encoders/FileSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace melvarin {

FileSink::~FileSink() { discard(); }

void FileSink::discard() {
    if (file_) file_->discard();
    buffer_.reset();
    held_ = 0;
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
    replaced_ = false;
    file_ = std::make_shared<PartialFile>();
    if (!file_->open(path)) {
        error_ = file_->error();
        file_.reset();
        return false;
    }
    struct stat st {};
    buffered_ = ::fstat(fd(), &st) == 0 && S_ISREG(st.st_mode);
    return true;
}

bool FileSink::put(const char* data, std::size_t size, std::uint64_t at, std::size_t& stored) {
    stored = 0;
    while (stored < size) {
        const ssize_t n = buffered_ ? ::pwrite(fd(), data + stored, size - stored, static_cast<off_t>(at + stored))
                                    : ::write(fd(), data + stored, size - stored);
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
    if (fd() < 0) {
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
    if (fd() < 0) {
        error_ = "seek in a closed file \"" + path_ + "\"";
        return false;
    }
    if (buffered_) {
        if (!flush()) return false;
    } else if (::lseek(fd(), static_cast<off_t>(offset), SEEK_SET) < 0) {
        return fail("cannot seek in");
    }
    pos_ = offset;
    return true;
}

bool FileSink::close() {
    if (!file_) return error_.empty();
    if (!file_->isOpen()) {
        // Discarded by whoever holds file().
        file_.reset();
        if (error_.empty()) error_ = "\"" + path_ + "\" was dropped";
        return false;
    }
    flush();
    buffer_.reset();
    const std::shared_ptr<PartialFile> file = std::move(file_);
    if (!error_.empty()) file->setFailed(error_);
    if (!file->commit()) {
        if (error_.empty()) error_ = file->error();
        return false;
    }
    replaced_ = file->replaced();
    return true;
}

}  // namespace melvarin
