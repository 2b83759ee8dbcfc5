#include "app/TLanguage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/LanguageLine.h"

namespace melvarin {

TLanguage::TLanguage() = default;
TLanguage::~TLanguage() = default;

TLanguage::FilePtr TLanguage::openFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "r");
    if (!f) ::close(fd);
    return FilePtr(f);
}

bool TLanguage::findEntry(std::FILE* file, int n, std::string& text) {
    std::string line;
    while (LanguageLine::read(file, line)) {
        int number = 0;
        std::string_view raw;
        if (LanguageLine::parseEntry(line, number, raw) && number == n) {
            text = LanguageLine::decode(raw);
            return true;
        }
    }
    return false;
}

void TLanguage::closeLocked() {
    handle_.reset();
    messages_.reset();
    current_ = -1;
    messagesPos_ = -1;
}

void TLanguage::SetFiles(std::vector<std::string> files) {
    std::lock_guard lock(mutex_);
    closeLocked();
    files_ = std::move(files);
}

std::vector<std::string> TLanguage::Files() const {
    std::lock_guard lock(mutex_);
    return files_;
}

int TLanguage::Current() const {
    std::lock_guard lock(mutex_);
    return current_;
}

long TLanguage::MessagesPos() const {
    std::lock_guard lock(mutex_);
    return messagesPos_;
}

bool TLanguage::Select(int index) {
    std::lock_guard lock(mutex_);
    closeLocked();
    if (index < 0 || static_cast<std::size_t>(index) >= files_.size()) return false;
    FilePtr handle = openFile(files_[static_cast<std::size_t>(index)]);
    if (!handle) return false;
    FilePtr messages = openFile(files_[static_cast<std::size_t>(index)]);
    if (!messages) return false;

    std::string line;
    while (LanguageLine::read(handle.get(), line)) {
        if (LanguageLine::isSection(line, "R")) {
            messagesPos_ = std::ftell(handle.get());
            break;
        }
    }
    handle_ = std::move(handle);
    messages_ = std::move(messages);
    current_ = index;
    return true;
}

bool TLanguage::FindSection(int n) {
    std::lock_guard lock(mutex_);
    if (!handle_) return false;
    std::FILE* f = handle_.get();
    const std::string name = LanguageLine::sectionName(n);
    std::rewind(f);
    std::string line;
    while (LanguageLine::read(f, line))
        if (LanguageLine::isSection(line, name)) return true;
    return false;
}

std::string TLanguage::GetEntry(int n) {
    std::lock_guard lock(mutex_);
    std::string text;
    if (!handle_) return text;
    std::FILE* f = handle_.get();
    const long before = std::ftell(f);
    if (!findEntry(f, n, text)) {
        std::clearerr(f);
        if (before >= 0) std::fseek(f, before, SEEK_SET);
    }
    return text;
}

std::string TLanguage::GetMessage(int n) {
    std::lock_guard lock(mutex_);
    std::string text;
    if (!messages_ || messagesPos_ < 0) return text;
    std::FILE* f = messages_.get();
    std::clearerr(f);
    if (std::fseek(f, messagesPos_, SEEK_SET) != 0) return text;
    findEntry(f, n, text);
    return text;
}

void TLanguage::ListLanguages(std::vector<std::string>& list) const {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < files_.size(); ++i) {
        FilePtr f = openFile(files_[i]);
        if (!f) continue;
        std::string line;
        while (LanguageLine::read(f.get(), line)) {
            if (!line.empty() && line[0] == '#') break;
            std::string_view name;
            if (LanguageLine::parseLanguageName(line, name)) {
                list.push_back(LanguageLine::decode(name) + "#" + std::to_string(i));
                break;
            }
        }
    }
}

}  // namespace melvarin
