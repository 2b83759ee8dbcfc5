#include "platform/PartialFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/FileUtil.h"

namespace melvarin {

namespace {

constexpr std::string_view kSuffix = ".partial";

bool IsDirectWrite(mode_t mode) {
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

}  // namespace

std::string PartialFile::PartialPathFor(const std::string& finalPath) {
    const std::size_t slash = finalPath.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return finalPath.substr(0, start) + "." + finalPath.substr(start) + std::string(kSuffix);
}

bool PartialFile::IsPartialName(std::string_view name) {
    return name.size() > kSuffix.size() + 1 && name.front() == '.' &&
           name.substr(name.size() - kSuffix.size()) == kSuffix;
}

bool PartialFile::fail(const std::string& what, int code) {
    error_ = what + " \"" + final_ + "\": " + std::strerror(code);
    return false;
}

void PartialFile::setFailed(const std::string& error) {
    failed_ = true;
    if (error_.empty()) error_ = error;
}

bool PartialFile::open(const std::string& finalPath) {
    discard();
    final_ = finalPath;
    partial_.clear();
    error_.clear();
    failed_ = replaced_ = false;

    struct stat st {};
    if (::lstat(finalPath.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return fail("cannot create", EISDIR);
        if (IsDirectWrite(st.st_mode)) {
            fd_ = ::open(finalPath.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
            return fd_ >= 0 || fail("cannot open", errno);
        }
    }
    partial_ = PartialPathFor(finalPath);
    if (::lstat(partial_.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(partial_.c_str());
    fd_ = ::open(partial_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) return true;
    const int code = errno;
    partial_.clear();
    return fail("cannot create", code);
}

bool PartialFile::commit() {
    if (fd_ < 0) {
        if (error_.empty()) fail("cannot finish", EBADF);
        discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && !failed_) {
        const int code = errno;
        fail("cannot close", code);
        failed_ = true;
    }
    if (failed_) {
        discard();
        return false;
    }
    if (partial_.empty()) return true;
    struct stat st {};
    replaced_ = ::lstat(final_.c_str(), &st) == 0;
    if (::rename(partial_.c_str(), final_.c_str()) != 0) {
        const int code = errno;
        replaced_ = false;
        fail("cannot put in place", code);
        discard();
        return false;
    }
    partial_.clear();
    return true;
}

void PartialFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!partial_.empty()) ::unlink(partial_.c_str());
    partial_.clear();
}

int PartialFile::RemoveLeftovers(const std::string& folder, std::time_t before) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsPartialName(entry->d_name)) continue;
        const std::string path = prefix + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || (before != 0 && st.st_mtime >= before)) continue;
        if ((S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) && ::unlink(path.c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

int PartialFile::RemoveOlderThan(const std::string& folder, std::time_t before) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int removed = 0;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        struct stat st {};
        const std::string path = it->path().string();
        if (::lstat(path.c_str(), &st) != 0 || st.st_mtime >= before) continue;
        std::error_code removeError;
        if (fs::remove_all(it->path(), removeError) > 0 && !removeError) ++removed;
    }
    return removed;
}

bool PartialFile::WriteWhole(const std::string& finalPath, std::string_view bytes, std::string* error) {
    PartialFile file;
    bool ok = file.open(finalPath);
    if (ok) {
        if (const int code = FileUtil::writeAll(file.fd(), bytes.data(), bytes.size())) {
            ok = file.fail("cannot write", code);
            file.failed_ = true;
        }
    }
    ok = ok && file.commit();
    if (!ok && error) *error = file.error();
    return ok;
}

}  // namespace melvarin
